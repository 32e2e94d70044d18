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

TEST_F(RealFaultTest, PieceNameTakenByAFolder) {
  WriteFileBytes("source", "aabbcc");
  fs::create_directory("53203-01");
  EXPECT_EQ(SplitFile("source", 2), 0);
  EXPECT_EQ(ReadFileBytes("53203-00"), "aa");  // the piece before stays
  EXPECT_TRUE(fs::is_directory("53203-01"));
  EXPECT_FALSE(fs::exists("53203-02"));
  EXPECT_EQ(ReadFileBytes("source"), "aabbcc");
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
  EXPECT_EQ(RestoreFile("7"), 0);  // an output that cannot be replaced: the rename's own error
  EXPECT_EQ(LastFailure().error, static_cast<unsigned>(ERROR_ACCESS_DENIED));
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
  EXPECT_EQ(SplitFile(sourcePath.string().c_str(), 4097), 0);
  const size_t complete = ExpectCompletePieces(source, 4097, {});  // and no truncated one
  EXPECT_GT(complete, 0u);
  // The reason: the disk is full, writing the piece after them.
  EXPECT_EQ(LastFailure().piece, PieceName(kBase53203, static_cast<int>(complete)));
#ifndef _WIN32  // the Windows lanes check the window's words for it
  EXPECT_EQ(ErrorText(LastFailure().error), "No space left on device");
#endif
  fs::current_path(dir_);
  for (const auto& entry : fs::directory_iterator(dir)) fs::remove(entry.path());
}

}  // namespace
