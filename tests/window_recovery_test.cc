// Recovery pieces through the real window: chosen in the system menu, made by a split, and used
// by a restore that rebuilds a deleted piece.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "tests/window_test_util.h"
#include "ui/app_state.h"
#include "ui/control_ids.h"
#include "ui/texts.h"

namespace fs = std::filesystem;

namespace {

using WindowTest = MainWindowTest;

std::wstring MenuText(HMENU menu, UINT id) {
  wchar_t text[64] = {};
  GetMenuStringW(menu, id, text, 64, MF_BYCOMMAND);
  return text;
}

bool Checked(HMENU menu, UINT id) {
  return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

TEST_F(WindowTest, ARecoveryPieceChosenInTheSystemMenuRebuildsADeletedPiece) {
  // Five items after a separator at the end of the system menu, "none" checked at start.
  HMENU menu = GetSystemMenu(MainWindow, FALSE);
  const int count = GetMenuItemCount(menu);
  ASSERT_GE(count, 6);
  EXPECT_EQ(GetMenuState(menu, count - 6, MF_BYPOSITION) & MF_SEPARATOR, UINT{MF_SEPARATOR});
  const UINT ids[] = {ID_RECOVERY_NONE, ID_RECOVERY_ONE, ID_RECOVERY_TWO, ID_RECOVERY_THREE,
                      ID_RECOVERY_TENTH};
  const wchar_t* texts[] = {kTextRecoveryNone, kTextRecoveryOne, kTextRecoveryTwo,
                            kTextRecoveryThree, kTextRecoveryTenth};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(GetMenuItemID(menu, count - 5 + i), ids[i]);
    EXPECT_EQ(MenuText(menu, ids[i]), texts[i]);
  }
  EXPECT_TRUE(Checked(menu, ID_RECOVERY_NONE));

  // Chosen as the menu chooses it; the choice stays for the split.
  SendMessageW(MainWindow, WM_SYSCOMMAND, ID_RECOVERY_ONE, 0);
  EXPECT_TRUE(Checked(menu, ID_RECOVERY_ONE));
  EXPECT_FALSE(Checked(menu, ID_RECOVERY_NONE));
  const std::string source = PatternBytes(10500);
  WriteFileBytes("report.pdf", source);
  SplitBy(FullPath("report.pdf"), "1000", ID_UNIT_BYTE);
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  EXPECT_EQ(Text(ID_INFO), kTextRecoveryMade + std::wstring(L"1") + kTextRecoveryCount);
  const auto pieces = PiecesOnDisk();
  ASSERT_EQ(pieces.size(), 11u);
  const std::string base = pieces[0].first.substr(0, pieces[0].first.size() - 3);
  EXPECT_TRUE(fs::exists(base + ".par2"));
  EXPECT_TRUE(fs::exists(base + ".vol0+1.par2"));

  fs::remove(pieces[3].first);
  RestoreFrom(FullPath(pieces[0].first));
  EXPECT_EQ(Text(ID_PATH), kTextRestoreDone);
  EXPECT_EQ(Text(ID_INFO), kTextOriginalName + std::wstring(L"report.pdf") + kTextRepaired +
                               std::wstring(pieces[3].first.begin(), pieces[3].first.end()));
  EXPECT_TRUE(ReadFileBytes(base) == source);
  EXPECT_FALSE(fs::exists(pieces[3].first));  // the set stays as it was
}

}  // namespace
