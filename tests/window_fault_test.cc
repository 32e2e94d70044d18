// Real faults through the real window: full and read-only folders, files held without sharing,
// folders in the way, a path of 259 characters, and Shift-JIS names whose second byte is a
// backslash.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "tests/engine_test_util.h"
#include "tests/fault_dirs.h"
#include "tests/fault_ops.h"
#include "tests/win_test_util.h"
#include "tests/window_test_util.h"
#include "ui/control_ids.h"
#include "ui/texts.h"

namespace fs = std::filesystem;

namespace {

// Files by their ANSI (code page 932) names, through the A entry points the program uses.
void WriteAnsi(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
}

std::string ReadAnsi(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<cannot open>";
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  return bytes;
}

class WindowFaultTest : public MainWindowTest {
 protected:
  static void EmptyFolder(const fs::path& dir) {
    for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path());
  }
};

TEST_F(WindowFaultTest, SplitIntoAFullFolderFails) {
  FAULT_DIR_OR_SKIP(small, SmallDir);
  const std::string source = PatternBytes(3 * 512 * 1024);  // 1.5 MiB into a 1 MiB folder
  WriteFileBytes("source", source);
  const std::string sourcePath = FullPath("source");
  fs::current_path(small);
  SplitBy(sourcePath, "256", ID_UNIT_KB);
  fs::current_path(dir_);
  EXPECT_EQ(Text(ID_PATH), kTextSplitFailed);
  EXPECT_EQ(Text(ID_INFO), kReasonNoRoom);
  EXPECT_TRUE(fs::is_empty(small));  // larger than the free space: not one piece is made
  EXPECT_TRUE(ReadFileBytes("source") == source);
  EmptyFolder(small);
}

TEST_F(WindowFaultTest, SplitRunningOutOfRoomLeavesNoTruncatedPiece) {
  FAULT_DIR_OR_SKIP(small, SmallDir);
  ScopedFaultOps faults;  // only to fix the base number
  FixTickCount(kTickForBase53203);
  // 700 KiB pass the free-space check of the 1 MiB folder, but pieces of 4097 bytes take two
  // pages of 4 KiB each there, so a write runs out of room halfway.
  const std::string source = PatternBytes(700 * 1024);
  WriteFileBytes("source", source);
  const std::string sourcePath = FullPath("source");
  fs::current_path(small);
  SplitBy(sourcePath, "4097", ID_UNIT_BYTE);
  EXPECT_EQ(Text(ID_PATH), kTextSplitFailed);
  EXPECT_TRUE(ListCurrentDir().empty());  // every piece made, and the list, removed again
  // The disk is full, writing a piece after the first.
  const std::wstring info = Text(ID_INFO).wide;
  const std::wstring reason = ReasonFor(ERROR_DISK_FULL, PieceName(kBase53203, 0)).substr(8);
  EXPECT_EQ(info.substr(0, 6), L"53203-");
  EXPECT_NE(info.substr(0, 9), L"53203-00:");
  EXPECT_EQ(info.substr(info.find(L':')), reason) << info;
  fs::current_path(dir_);
  EmptyFolder(small);
}

TEST_F(WindowFaultTest, RestoreIntoAFolderWithoutRoomFails) {
  FAULT_DIR_OR_SKIP(small, SmallDir);
  // 600 KiB of pieces and an old 200 KiB output fit in the 1 MiB folder; another 600 KiB for
  // the new output do not.
  const std::vector<std::string> pieces = {PatternBytes(300 * 1024, 1),
                                           PatternBytes(300 * 1024, 2)};
  WritePieces((small / "9").string(), pieces);
  // A file named like the base, which a failed restore must leave as it is.
  const std::string existing = PatternBytes(200 * 1024, 3);
  WriteFileBytes(small / "9", existing);
  RestoreFrom((small / "9-00").string());
  EXPECT_EQ(Text(ID_PATH), kTextRestoreFailed);
  EXPECT_TRUE(ReadFileBytes(small / "9-00") == pieces[0]);
  EXPECT_TRUE(ReadFileBytes(small / "9-01") == pieces[1]);
  EXPECT_TRUE(ReadFileBytes(small / "9") == existing);
  fs::current_path(small);
  EXPECT_EQ(ListCurrentDir(), (std::vector<std::string>{"9", "9-00", "9-01"}));  // no temporary
  fs::current_path(dir_);
  EmptyFolder(small);
}

TEST_F(WindowFaultTest, ReadOnlyFolder) {
  FAULT_DIR_OR_SKIP(dir, ReadOnlyDir);
  fs::current_path(dir);
  SplitBy((dir / "source.bin").string(), "4", ID_UNIT_BYTE);
  EXPECT_EQ(Text(ID_PATH), kTextSplitFailed);
  RestoreFrom((dir / "ro-00").string());
  EXPECT_EQ(Text(ID_PATH), kTextRestoreFailed);
  EXPECT_EQ(ListCurrentDir(), (std::vector<std::string>{"ro-00", "ro-01", "source.bin"}));
  fs::current_path(dir_);
}

TEST_F(WindowFaultTest, ReadOnlyOutputIsNeverReplaced) {
  // Windows refuses the rename over it and Wine does it: the restore asks first, in both.
  WritePieces("ro", {"ab", "cd"});
  WriteFileBytes("ro", "keep me");
  ASSERT_TRUE(SetFileAttributesA("ro", FILE_ATTRIBUTE_READONLY));
  RestoreFrom(FullPath("ro-00"));
  EXPECT_EQ(Text(ID_PATH), kTextRestoreFailed);
  EXPECT_EQ(Text(ID_INFO), std::wstring(L"ro: ") + kReasonReadOnly);
  EXPECT_EQ(GetFileAttributesA("ro") & FILE_ATTRIBUTE_READONLY, DWORD{FILE_ATTRIBUTE_READONLY});
  ASSERT_TRUE(SetFileAttributesA("ro", FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(ReadFileBytes("ro"), "keep me");
  EXPECT_EQ(ListCurrentDir(), (std::vector<std::string>{"ro", "ro-00", "ro-01"}));
}

TEST_F(WindowFaultTest, SourceOrPieceHeldWithoutSharing) {
  WriteFileBytes("held", "0123456789");
  HANDLE held = HoldWithoutSharing("held");
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Drop({FullPath("held")});
  EXPECT_EQ(Text(ID_INFO), kTextOpenFailed);
  EXPECT_EQ(Text(ID_PATH), FullPath("held"));  // still usable once the file is free
  Click(ID_SPLIT);
  EXPECT_EQ(Text(ID_PATH), kTextSplitFailed);
  EXPECT_EQ(Text(ID_INFO), ReasonFor(ERROR_SHARING_VIOLATION));
  CloseHandle(held);
  EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"held"});
  // A piece held so: the reason names it.
  WritePieces("7", {"ab", "cd"});
  held = HoldWithoutSharing("7-01");
  RestoreFrom(FullPath("7-00"));
  EXPECT_EQ(Text(ID_PATH), kTextRestoreFailed);
  EXPECT_EQ(Text(ID_INFO), ReasonFor(ERROR_SHARING_VIOLATION, "7-01"));
  CloseHandle(held);
}

TEST_F(WindowFaultTest, PieceNamesTakenByFolders) {
  ScopedFaultOps faults;  // only to fix the base number
  FixTickCount(kTickForBase53203);
  // A folder where the split's piece would go: another base is drawn (29194 after 53203).
  WriteFileBytes("source", "aabbcc");
  fs::create_directory("53203-01");
  SplitBy(FullPath("source"), "2", ID_UNIT_BYTE);
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  EXPECT_EQ(ReadFileBytes("29194-01"), "bb");
  // A folder among a set's pieces: no piece to read, and no output.
  WriteFileBytes("53203-00", "aa");
  RestoreFrom(FullPath("53203-00"));
  EXPECT_EQ(Text(ID_PATH), kTextRestoreFailed);
  EXPECT_FALSE(fs::exists("53203"));
  EXPECT_EQ(OpenFiles(), 0);
  EXPECT_EQ(LiveBlocks(), 0);
}

TEST_F(WindowFaultTest, PathsOf259Characters) {
  // Nested folders so that the piece's full path is exactly 259 characters, the longest that the
  // plain Windows calls (not the "\\?\" form) open: the test writes its files through them. The
  // window takes longer paths as well (window_unicode_test.cc).
  std::string dir = FullPath("");
  while (dir.back() == '\\') dir.pop_back();
  const size_t wanted = 259 - std::string("\\7-00").size();
  while (dir.size() < wanted) {
    size_t take = std::min<size_t>(40, wanted - dir.size() - 1);
    // Never leave one character to go, which no folder of its own can take.
    if (wanted - dir.size() - 1 - take == 1) --take;
    if (take == 0) break;
    dir.append(1, '\\').append(take, 'd');
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
  }
  ASSERT_EQ(dir.size(), wanted);
  const std::string piece0 = dir + "\\7-00";
  ASSERT_EQ(piece0.size(), 259u);
  WriteAnsi(piece0, "first ");
  WriteAnsi(dir + "\\7-01", "second");
  Drop({piece0});
  EXPECT_EQ(Text(ID_INFO), "6 byte");
  EXPECT_EQ(Text(ID_PATH), piece0);
  Click(ID_RESTORE);
  EXPECT_EQ(Text(ID_PATH), kTextRestoreDone);
  EXPECT_EQ(ReadAnsi(dir + "\\7"), "first second");
  // The same 259-character path as a source to split.
  SplitBy(piece0, "2", ID_UNIT_BYTE);
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  EXPECT_EQ(PiecesOnDisk().size(), 3u);
}

TEST_F(WindowFaultTest, ShiftJisNamesWithBackslashTrailBytes) {
  // "ソ" is 83 5C and "表" is 95 5C: their second byte is the backslash.
  const std::string folder = FullPath("\x83\x5C\x95\x5C");
  const std::string tail = FullPath("\x95\x5C\x83\x5C");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(tail.c_str(), nullptr));
  WriteAnsi(folder + "\\data.bin", "0123456789");
  Drop({folder + "\\data.bin"});
  EXPECT_EQ(Text(ID_INFO), "10 byte");
  EXPECT_EQ(Text(ID_PATH), folder + "\\data.bin");
  SplitBy("4", ID_UNIT_BYTE);
  EXPECT_EQ(Text(ID_PATH), kTextSplitDone);
  EXPECT_EQ(PiecesOnDisk().size(), 3u);

  WriteAnsi(tail + "\\5-00", "abc");
  WriteAnsi(tail + "\\5-01", "def");
  RestoreFrom(tail + "\\5-01");
  EXPECT_EQ(Text(ID_PATH), kTextRestoreDone);
  EXPECT_EQ(ReadAnsi(tail + "\\5"), "abcdef");
  EXPECT_EQ(ReadAnsi(folder + "\\data.bin"), "0123456789");

  // A base whose own name ends in such a byte replaces the old file of that name, through a
  // temporary file beside it that is gone afterwards.
  const std::string base = tail + "\\\x83\x5C";
  WriteAnsi(base, "old");
  WriteAnsi(base + "-00", "new ");
  WriteAnsi(base + "-01", "bytes");
  RestoreFrom(base + "-00");
  EXPECT_EQ(Text(ID_PATH), kTextRestoreDone);
  EXPECT_EQ(ReadAnsi(base), "new bytes");
  EXPECT_EQ(GetFileAttributesA((base + "~00").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
