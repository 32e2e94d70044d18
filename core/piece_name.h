// The names of pieces, in one place: "<base>-NN", where the base is a number (when splitting)
// or a path text (when restoring), and NN is the index in decimal with at least two digits:
// 4711-00 ... 4711-99, then 4711-100.
#pragma once

#include <cstdint>

// Room for any piece name: a base of up to 259 bytes, a hyphen, and an index of up to ten
// digits, with the terminating NUL.
constexpr unsigned kPieceNameBytes = 272;

// Writes the name of piece `index` of base number `base` ("4711-00") into `name`, which holds
// kPieceNameBytes. Returns false, with `name` emptied, when it does not fit.
bool FormatPieceName(char* name, int32_t base, uint32_t index);
// The same for a base text, which may hold a folder: "C:\work\4711" gives "C:\work\4711-00".
bool FormatPieceName(char* name, const char* baseText, uint32_t index);

// Cuts a dropped piece's path back to its base text, in place, by removing its last three
// bytes: "C:\work\4711-00" becomes "C:\work\4711". This is what the restore command does, and
// it gives the base only for two-digit indices: "4711-100" becomes "4711-", whose pieces
// "4711--00" ... normally do not exist. Returns false, leaving the text as it was, when it is
// shorter than three bytes.
bool CutPieceSuffix(char* path);
