// The split and restore commands through the real window: sizes and units, every result
// message, and a typical run from a drop to the restored file.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "tests/window_test_util.h"
#include "ui/control_ids.h"
#include "ui/texts.h"

namespace fs = std::filesystem;

namespace {

using WindowTest = MainWindowTest;

TEST_F(WindowTest, SplitButtonSplitsByTheChosenUnit) {
  WriteFileBytes("ten.bin", "0123456789");
  SplitBy(FullPath("ten.bin"), "3", ID_UNIT_BYTE);
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  const auto pieces = PiecesOnDisk();
  ASSERT_EQ(pieces.size(), 4u);
  EXPECT_EQ(pieces[0].second, "012");
  EXPECT_EQ(pieces[1].second, "345");
  EXPECT_EQ(pieces[2].second, "678");
  EXPECT_EQ(pieces[3].second, "9");
  // The path line now holds the message: a second split names no file and fails.
  Click(ID_SPLIT);
  EXPECT_EQ(Text(ID_PATH), kTextSplitFailed);
}

TEST_F(WindowTest, SizeTextsAndUnits) {
  struct Case {
    const char* size;
    int unit;
    size_t source;
    std::vector<size_t> pieces;
  };
  const Case cases[] = {
      {"500", ID_UNIT_KB, 1200000, {512000, 512000, 176000}},
      {"1.9", ID_UNIT_BYTE, 3, {1, 1, 1}},  // the fraction is cut off
      {"&H2", ID_UNIT_BYTE, 5, {2, 2, 1}},  // pasted notations reach the parser
      {"1", ID_UNIT_MB, 1048577, {1048576, 1}},
      {"2048", ID_UNIT_MB, 3000, {3000}},          // 2^31: negative, one piece
      {"4294967297", ID_UNIT_BYTE, 3, {1, 1, 1}},  // low 32 bits of the integer
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    for (const auto& [name, bytes] : PiecesOnDisk()) fs::remove(name);
    const std::string source = PatternBytes(c.source);
    WriteFileBytes("source", source);
    SplitBy(FullPath("source"), c.size, c.unit);
    EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
    const auto pieces = PiecesOnDisk();
    ASSERT_EQ(pieces.size(), c.pieces.size());
    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
      EXPECT_EQ(pieces[i].second.size(), c.pieces[i]);
      joined += pieces[i].second;
    }
    EXPECT_TRUE(joined == source);
  }
}

TEST_F(WindowTest, SizesThatGiveZeroOnlyAskForASize) {
  WriteFileBytes("source", "abc");
  const struct {
    const char* size;
    int unit;
  } cases[] = {
      {"", ID_UNIT_KB},
      {"0", ID_UNIT_KB},
      {"abc", ID_UNIT_BYTE},
      {"0.5", ID_UNIT_BYTE},
      {"-0", ID_UNIT_BYTE},
      {"4294967296", ID_UNIT_BYTE},
      {"4194304", ID_UNIT_KB},                 // 2^22 * 2^10 wraps to 0
      {"4096", ID_UNIT_MB},                    // 2^12 * 2^20 wraps to 0
      {"99999999999999999999", ID_UNIT_BYTE},  // beyond 2^63: no 64-bit integer
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    SplitBy(FullPath("source"), c.size, c.unit);
    EXPECT_EQ(Text(ID_INFO), kTextAskSize);
    EXPECT_EQ(Text(ID_PATH), FullPath("source"));
    EXPECT_TRUE(PiecesOnDisk().empty());
  }
}

TEST_F(WindowTest, SplitOfTheStartTextFails) {
  WriteFileBytes("file", "not the file named file...");
  Click(ID_SPLIT);  // the path line still shows "file..."
  EXPECT_EQ(Text(ID_PATH), kTextSplitFailed);
  EXPECT_EQ(Text(ID_INFO), ReasonFor(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"file"});
}

TEST_F(WindowTest, RestoreFromADroppedPiece) {
  const std::vector<std::string> parts = {"aaa", "bbb", "c"};
  for (size_t i = 0; i < parts.size(); ++i) {
    WriteFileBytes("4711-0" + std::to_string(i), parts[i]);
  }
  // A later piece beside them: 03 and 04 are missing, and nothing is joined.
  WriteFileBytes("4711-05", "a later piece");
  RestoreFrom(FullPath("4711-02"));  // any piece names the set
  EXPECT_EQ(Text(ID_PATH), kTextRestoreFailed);
  EXPECT_EQ(Text(ID_INFO), std::wstring(L"4711-03: ") + kReasonPieceMissing);
  EXPECT_FALSE(fs::exists("4711"));
  fs::remove("4711-05");
  RestoreFrom(FullPath("4711-02"));
  EXPECT_EQ(Text(ID_PATH), kTextRestoreDone);
  EXPECT_EQ(Text(ID_INFO), kTextClearInfo);
  EXPECT_EQ(ReadFileBytes("4711"), "aaabbbc");
  // Again without a new drop: the message is no piece path.
  Click(ID_RESTORE);
  EXPECT_EQ(Text(ID_PATH), kTextRestoreFailed);
}

TEST_F(WindowTest, RestoreFailures) {
  WriteFileBytes("4711-100", "x");
  WriteFileBytes("4711-", "old");
  const struct {
    std::string path;
    std::wstring reason;
  } cases[] = {
      // Cuts "100" and looks for "4711--00".
      {FullPath("4711-100"), ReasonFor(ERROR_FILE_NOT_FOUND, "4711--00")},
      {FullPath("none-00"), ReasonFor(ERROR_FILE_NOT_FOUND, "none-00")},  // no pieces at all
      {"ab", ReasonFor(ERROR_INVALID_NAME)},                              // too short to cut
      {"", ReasonFor(ERROR_INVALID_NAME)},
      {"file...", ReasonFor(ERROR_FILE_NOT_FOUND, "file-00")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    SetText(ID_INFO, "info");
    SetText(ID_PATH, c.path);
    Click(ID_RESTORE);
    EXPECT_EQ(Text(ID_PATH), kTextRestoreFailed);
    EXPECT_EQ(Text(ID_INFO), c.reason);
  }
  EXPECT_EQ(ReadFileBytes("4711-"), "old");
  EXPECT_FALSE(fs::exists("none"));
}

TEST_F(WindowTest, RestoreChecksThePiecesAgainstTheirList) {
  const std::string source = PatternBytes(1000);
  WriteFileBytes("report.pdf", source);
  SplitBy(FullPath("report.pdf"), "300", ID_UNIT_BYTE);
  ASSERT_EQ(Text(ID_PATH), kTextSplitDone);
  const auto pieces = PiecesOnDisk();
  ASSERT_EQ(pieces.size(), 4u);
  const std::string base = pieces[0].first.substr(0, pieces[0].first.size() - 3);
  ASSERT_TRUE(fs::exists(base + ".sha256"));
  const std::wstring wideBase(base.begin(), base.end());
  // Pieces given other bytes (none: removed), and what the information line then says.
  const auto flipped = [&](size_t index) {
    std::string bytes = pieces[index].second;
    bytes[0] = static_cast<char>(bytes[0] ^ 1);
    return bytes;
  };
  const struct {
    const char* what;
    std::vector<std::pair<const char*, std::string>> changes;  // suffix, bytes
    std::wstring info;                                         // empty: the restore succeeds
  } cases[] = {
      {"flipped byte", {{"-01", flipped(1)}}, wideBase + L"-01: " + kReasonPieceDamaged},
      {"short piece", {{"-00", "xyz"}}, wideBase + L"-00: " + kReasonPieceMissing},
      {"longer piece",
       {{"-00", pieces[0].second + "x"}},
       wideBase + L"-00: " + kReasonPieceDamaged},
      {"missing last", {{"-03", ""}}, wideBase + L"-03: " + kReasonPieceMissing},
      // Every piece is looked up before any is read: the missing one is found first.
      {"damaged, missing",
       {{"-00", flipped(0)}, {"-02", ""}},
       wideBase + L"-02: " + kReasonPieceMissing},
      {"stale extra", {{"-04", "an older set's"}}, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& [suffix, bytes] : c.changes) {
      if (bytes.empty()) {
        fs::remove(base + suffix);
      } else {
        WriteFileBytes(base + suffix, bytes);
      }
    }
    WriteFileBytes(base, "old");
    RestoreFrom(FullPath(pieces[0].first));
    EXPECT_EQ(Text(ID_PATH), c.info.empty() ? kTextRestoreDone : kTextRestoreFailed);
    EXPECT_EQ(Text(ID_INFO),
              c.info.empty() ? kTextOriginalName + std::wstring(L"report.pdf") : c.info);
    EXPECT_TRUE(ReadFileBytes(base) == (c.info.empty() ? source : "old"));
    for (const auto& [name, bytes] : pieces) WriteFileBytes(name, bytes);
  }
  // The list itself, dropped, names its set.
  fs::remove(base);
  RestoreFrom(FullPath(base + ".sha256"));
  EXPECT_EQ(Text(ID_PATH), kTextRestoreDone);
  EXPECT_TRUE(ReadFileBytes(base) == source);
}

TEST_F(WindowTest, TypicalRunEndToEnd) {
  // Drop a 1,200,000-byte file, split with 500 KB by Enter, drop piece 00, restore.
  const std::string source = PatternBytes(1200000);
  WriteFileBytes("report.pdf", source);
  Drop({FullPath("report.pdf")});
  EXPECT_EQ(Text(ID_INFO), "1200000 byte");
  PressEnter();
  ReleaseEnter();
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  const auto pieces = PiecesOnDisk();
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[0].second.size(), 512000u);
  EXPECT_EQ(pieces[1].second.size(), 512000u);
  EXPECT_EQ(pieces[2].second.size(), 176000u);

  Drop({FullPath(pieces[0].first)});
  EXPECT_EQ(Text(ID_INFO), "512000 byte");
  Click(ID_RESTORE);
  EXPECT_EQ(Text(ID_PATH), kTextRestoreDone);
  const std::string base = pieces[0].first.substr(0, pieces[0].first.size() - 3);
  EXPECT_TRUE(ReadFileBytes(base) == source);
  EXPECT_TRUE(ReadFileBytes("report.pdf") == source);
}

}  // namespace
