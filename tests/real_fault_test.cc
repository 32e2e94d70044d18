// Faults made by the real file system rather than by the test seam: names taken by folders,
// files held open without sharing, folders that are read-only.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#ifdef _WIN32
#include "tests/win_test_util.h"
#endif

#include "core/failure.h"
#include "core/restore.h"
#include "core/split.h"
#include "tests/engine_test_util.h"
#include "tests/fault_dirs.h"
#include "tests/fault_ops.h"

namespace fs = std::filesystem;

namespace {

using RealFaultTest = EngineTest;

TEST_F(RealFaultTest, NameTakenAfterTheLookUpDrawsAnotherBase) {
  // Another program takes the list's name (a folder, as a second split at the same moment takes
  // it with its list) or a piece's, after the look-up and before the split creates it: the split
  // removes what it made of that set and cuts the source again under the next draw, 29194.
  // (Taken before the look-up: tests/split_test.cc.)
  WriteFileBytes("source", "aabbcc");
  for (const auto& [n, taken] : {std::pair<int, const char*>{1, "53203.sha256"}, {3, "53203-01"}}) {
    SCOPED_TRACE(taken);
    BeforeCall(FaultOp::kCreateNew, CallCount(FaultOp::kCreateNew) + n,
               [name = taken, folder = n == 1] {
                 if (folder) fs::create_directory(name);
                 if (!folder) WriteFileBytes(name, "someone's");
               });
    ASSERT_EQ(SplitFile("source", 2), 1);
    EXPECT_EQ(ListCurrentDir(), (std::vector<std::string>{"29194-00", "29194-01", "29194-02",
                                                          "29194.sha256", taken, "source"}));
    ASSERT_EQ(RestoreFile("29194"), 1);
    EXPECT_EQ(ReadFileBytes("29194"), "aabbcc");
    for (const std::string& name : ListCurrentDir()) {
      if (name != "source") fs::remove_all(name);
    }
  }
}

TEST_F(RealFaultTest, SourceHeldOpenWithoutSharing) {
#ifdef _WIN32
  WriteFileBytes("source", "aabbcc");
  HANDLE held = HoldWithoutSharing("source");
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(SplitFile("source", 2), 0);
  CloseHandle(held);
  EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"source"});
#else
  GTEST_SKIP() << "sharing modes exist only on Windows";
#endif
}

TEST_F(RealFaultTest, PieceOrOutputHeldOpenWithoutSharing) {
#ifdef _WIN32
  WritePieces("7", {"aa", "bb"});
  WriteFileBytes("7", "old");
  HANDLE held = HoldWithoutSharing("7-01");
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RestoreFile("7"), 0);  // a piece that cannot be read
  CloseHandle(held);
  EXPECT_EQ(ReadFileBytes("7"), "old");
  held = HoldWithoutSharing("7");
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  WorkContext work;
  EXPECT_EQ(RestoreFile("7", &work), 0);  // an output that cannot be replaced, found before
  EXPECT_EQ(work.failure.error, static_cast<unsigned>(ERROR_SHARING_VIOLATION));  // the join
  EXPECT_EQ(work.failure.file, "7");
  CloseHandle(held);
  EXPECT_EQ(ReadFileBytes("7"), "old");
  EXPECT_EQ(ListCurrentDir(), (std::vector<std::string>{"7", "7-00", "7-01"}));
#else
  GTEST_SKIP() << "sharing modes exist only on Windows";
#endif
}

TEST_F(RealFaultTest, OutputHeldForAMomentIsWaitedFor) {
#ifdef _WIN32
  // As a virus scanner does: read and write sharing, but no delete sharing, so the output
  // cannot be replaced until it lets go, 400 ms later.
  WritePieces("7", {"aa", "bb"});
  WriteFileBytes("7", "old");
  HANDLE held = CreateFileA("7", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const DWORD start = GetTickCount();
  std::thread release([held] {
    Sleep(400);
    CloseHandle(held);
  });
  const int result = RestoreFile("7");
  const DWORD waited = GetTickCount() - start;
  release.join();
  EXPECT_EQ(result, 1);
  EXPECT_GE(waited, 350u);  // the hold was real, and was waited out
  EXPECT_EQ(ReadFileBytes("7"), "aabb");
  EXPECT_EQ(ListCurrentDir(), (std::vector<std::string>{"7", "7-00", "7-01"}));
#else
  GTEST_SKIP() << "sharing modes exist only on Windows";
#endif
}

TEST_F(RealFaultTest, ReadOnlyCurrentDirectory) {
  FAULT_DIR_OR_SKIP(dir, ReadOnlyDir);
  fs::current_path(dir);
  EXPECT_EQ(SplitFile("source.bin", 4), 0);  // no piece can be created
  EXPECT_EQ(RestoreFile("ro"), 0);           // the output cannot be created
  EXPECT_EQ(ListCurrentDir(), (std::vector<std::string>{"ro-00", "ro-01", "source.bin"}));
  EXPECT_EQ(ReadFileBytes("source.bin"), "source bytes");
  EXPECT_EQ(ReadFileBytes("ro-00"), "abc");
  fs::current_path(dir_);
}

TEST_F(RealFaultTest, FolderThatFillsUp) {
  FAULT_DIR_OR_SKIP(dir, SmallDir);
  // 1.5 MiB into pieces of 256 KiB in a 1 MiB folder: a write runs out of room.
  const std::string source = PatternBytes(3 * 512 * 1024);
  WriteFileBytes("source", source);
  const fs::path sourcePath = fs::absolute("source");
  fs::current_path(dir);
  EXPECT_EQ(SplitFile(sourcePath.string().c_str(), 256 * 1024), 0);
  EXPECT_TRUE(ListCurrentDir().empty());  // the source was too large: no piece at all
  fs::current_path(dir_);
  EXPECT_TRUE(ReadFileBytes("source") == source);
  for (const auto& entry : fs::directory_iterator(dir)) fs::remove(entry.path());
}

TEST_F(RealFaultTest, FolderThatFillsUpDuringTheWrites) {
  FAULT_DIR_OR_SKIP(dir, SmallDir);
  // 700 KiB fit in the 1 MiB folder by their bytes, but each piece of 4097 bytes takes two
  // pages of 4 KiB there, so the room runs out halfway through the pieces.
  const std::string source = PatternBytes(700 * 1024);
  WriteFileBytes("source", source);
  const fs::path sourcePath = fs::absolute("source");
  fs::current_path(dir);
  WorkContext work;
  EXPECT_EQ(SplitFile(sourcePath.string().c_str(), 4097, &work), 0);
  EXPECT_TRUE(ListCurrentDir().empty());  // every piece made, and the list, removed again
  // The reason: the disk is full, writing a piece after the first.
  EXPECT_TRUE(work.failure.file.starts_with("53203-")) << work.failure.file;
  EXPECT_NE(work.failure.file, "53203-00");
#ifndef _WIN32  // the Windows lanes check the window's words for it
  EXPECT_EQ(ErrorText(work.failure.error), "No space left on device");
#endif
  fs::current_path(dir_);
  for (const auto& entry : fs::directory_iterator(dir)) fs::remove(entry.path());
}

}  // namespace
