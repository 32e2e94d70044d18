// Identifiers of the main window's controls.
#pragma once

enum ControlId {
  ID_SIZE = 1000,        // edit: piece size, digits only
  ID_UNIT_BYTE = 1001,   // radio: bytes
  ID_UNIT_KB = 1002,     // radio: kilobytes
  ID_UNIT_MB = 1003,     // radio: megabytes
  ID_RESTORE = 1004,     // push button: restore
  ID_INFO = 1005,        // static: information line (file size, prompts)
  ID_PATH = 1006,        // static: path line (dropped path, then results)
  ID_FRAME = 1007,       // group box around the path and information lines
  ID_SPLIT_BY = 1008,    // static: "split by" caption
  ID_UNIT_LABEL = 1009,  // static: current unit
  ID_ENTER_KEY = 1010,   // static: "Enter key" caption
  ID_SPLIT = 1011,       // push button: split
};

// Identifiers of the items the program adds to the window's system menu: WM_SYSCOMMAND values
// below 0xF000 (the system's own), with the four lowest bits clear, which Windows uses itself.
enum SystemMenuId {
  ID_RECOVERY_NONE = 0x0100,   // radio: no recovery pieces
  ID_RECOVERY_ONE = 0x0110,    // radio: one recovery piece
  ID_RECOVERY_TWO = 0x0120,    // radio: two
  ID_RECOVERY_THREE = 0x0130,  // radio: three
  ID_RECOVERY_TENTH = 0x0140,  // radio: one for every ten pieces
};

// The controls through which a work is started or changed: disabled and deaf during a work.
inline constexpr int kWorkControls[] = {ID_SIZE,    ID_UNIT_BYTE, ID_UNIT_KB,
                                        ID_UNIT_MB, ID_RESTORE,   ID_SPLIT};
