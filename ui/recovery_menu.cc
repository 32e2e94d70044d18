#include "ui/recovery_menu.h"

#include <iterator>

#include "ui/control_ids.h"
#include "ui/texts.h"

namespace {

struct Item {
  UINT command;
  const wchar_t* text;
  RecoveryChoice choice;
};
const Item kItems[] = {
    {ID_RECOVERY_NONE, kTextRecoveryNone, RecoveryChoice::kNone},
    {ID_RECOVERY_ONE, kTextRecoveryOne, RecoveryChoice::kOne},
    {ID_RECOVERY_TWO, kTextRecoveryTwo, RecoveryChoice::kTwo},
    {ID_RECOVERY_THREE, kTextRecoveryThree, RecoveryChoice::kThree},
    {ID_RECOVERY_TENTH, kTextRecoveryTenth, RecoveryChoice::kTenth},
};

void Check(HMENU menu, UINT command) {
  CheckMenuRadioItem(menu, kItems[0].command, kItems[std::size(kItems) - 1].command, command,
                     MF_BYCOMMAND);
}

}  // namespace

void AddRecoveryChoices(HWND window) {
  HMENU menu = GetSystemMenu(window, FALSE);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  for (const Item& item : kItems) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    info.fType = MFT_STRING | MFT_RADIOCHECK;
    info.wID = item.command;
    info.dwTypeData = const_cast<wchar_t*>(item.text);
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
  }
  Check(menu, ID_RECOVERY_NONE);
}

bool ChooseRecovery(HWND window, UINT command, bool allowed) {
  for (const Item& item : kItems) {
    if (item.command != command) continue;
    if (allowed) Check(GetSystemMenu(window, FALSE), command);
    return true;
  }
  return false;
}

void EnableRecoveryChoices(HWND window, bool enable) {
  HMENU menu = GetSystemMenu(window, FALSE);
  for (const Item& item : kItems) {
    EnableMenuItem(menu, item.command, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
  }
}

RecoveryChoice ChosenRecovery(HWND window) {
  HMENU menu = GetSystemMenu(window, FALSE);
  for (const Item& item : kItems) {
    if (GetMenuState(menu, item.command, MF_BYCOMMAND) & MF_CHECKED) return item.choice;
  }
  return RecoveryChoice::kNone;
}
