// The contract of platform/platform.h, checked against the real operations of this build (no
// fault seam): the same program runs natively on the host and under Wine in both Windows
// builds, so the POSIX and the Win32 implementation are held to one set of promises.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/helper.h"
#include "tests/temp_dir.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

class PlatformTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    ResetPlatformOps();
  }
};

std::string ReadAll(const char* path, uint32_t count, int* ok) {
  std::string bytes(count, '\0');
  const FileHandle file = OpenForRead(path);
  *ok = file != kNoFile && ReadBlock(file, bytes.data(), count);
  if (file != kNoFile) CloseFile(file);
  return bytes;
}

TEST_F(PlatformTest, ReadsAreWholeOrFailures) {
  WriteFileBytes("ten", "0123456789");
  int ok = 0;
  EXPECT_EQ(ReadAll("ten", 10, &ok), "0123456789");
  EXPECT_TRUE(ok);
  ReadAll("ten", 11, &ok);  // the file ends first: a short read is a failure
  EXPECT_FALSE(ok);
  ReadAll("ten", 0, &ok);
  EXPECT_TRUE(ok);
  WriteFileBytes("empty", "");
  ReadAll("empty", 1, &ok);
  EXPECT_FALSE(ok);
}

TEST_F(PlatformTest, CreatingNewLeavesWhatIsThere) {
  WriteFileBytes("out", "someone's file");
  EXPECT_EQ(CreateNew("out"), kNoFile);
#ifdef _WIN32
  EXPECT_EQ(LastError(), 80u);  // ERROR_FILE_EXISTS
#else
  EXPECT_EQ(LastError(), static_cast<uint32_t>(EEXIST));
#endif
  EXPECT_EQ(ReadFileBytes("out"), "someone's file");
  const FileHandle file = CreateNew("new");
  ASSERT_NE(file, kNoFile);
  EXPECT_TRUE(WriteBlock(file, "new", 3));
  EXPECT_TRUE(WriteBlock(file, "", 0));
  CloseFile(file);
  EXPECT_EQ(ReadFileBytes("new"), "new");
}

TEST_F(PlatformTest, FoldersAndMissingNames) {
  fs::create_directory("folder");
  EXPECT_EQ(OpenForRead("folder"), kNoFile);  // a folder is not a file to read
  EXPECT_EQ(CreateNew("folder"), kNoFile);
  EXPECT_TRUE(fs::is_directory("folder"));
  uint64_t size = 7;
  EXPECT_EQ(LookUpName("folder", &size), NameLookup::kFound);  // a folder's name exists
  EXPECT_EQ(size, 0u);
  WriteFileBytes("file", "abc");
  // Only "no such name" is missing; a look-up that fails otherwise cannot tell.
  EXPECT_EQ(LookUpName("missing", &size), NameLookup::kMissing);
  EXPECT_EQ(LookUpName("file/sub", &size), NameLookup::kMissing);
#ifdef _WIN32
  const std::string unaskable = "\xFF";  // no UTF-8, so no name that Windows can be asked about
#else
  const std::string unaskable(300, 'a');  // longer than a name can be
#endif
  EXPECT_EQ(LookUpName(unaskable.c_str(), &size), NameLookup::kUnknown);
  EXPECT_EQ(OpenForRead("missing"), kNoFile);
  EXPECT_TRUE(RemoveFile("missing"));  // a name that does not exist counts as removed
}

TEST_F(PlatformTest, SizesHaveBothHalves) {
  MakeSparseFile("big", (uint64_t{1} << 32) + 10);  // only its size is real
  uint64_t size = 0;
  ASSERT_EQ(LookUpName("big", &size), NameLookup::kFound);
  EXPECT_EQ(size, (uint64_t{1} << 32) + 10);
  const FileHandle file = OpenForRead("big");
  ASSERT_NE(file, kNoFile);
  size = 0;
  EXPECT_TRUE(QueryFileSize(file, &size));
  CloseFile(file);
  EXPECT_EQ(size, (uint64_t{1} << 32) + 10);
}

TEST_F(PlatformTest, SharingModes) {
  WriteFileBytes("shared", "abc");
  const FileHandle reader = OpenForRead("shared");
  ASSERT_NE(reader, kNoFile);
  const FileHandle second = OpenForRead("shared");  // readers share with each other
  EXPECT_NE(second, kNoFile);
  if (second != kNoFile) CloseFile(second);
#ifdef _WIN32
  // A writer shares nothing: nothing opens what it writes.
  CloseFile(reader);
  const FileHandle writer = CreateNew("written");
  ASSERT_NE(writer, kNoFile);
  EXPECT_EQ(OpenForRead("written"), kNoFile);
  CloseFile(writer);
#else
  CloseFile(reader);
  GTEST_SKIP() << "POSIX has no sharing modes; the host build does not enforce them";
#endif
}

TEST_F(PlatformTest, TemporaryFilesBesideAPath) {
  fs::create_directory("sub");
  WriteFileBytes("sub/out~00", "someone else's");
  std::string name;
  const FileHandle file = CreateTempBeside("sub/out", &name);
  ASSERT_NE(file, kNoFile);
  EXPECT_TRUE(WriteBlock(file, "joined", 6));
  CloseFile(file);
  EXPECT_EQ(name, "sub/out~01");  // the name in use is skipped, not opened
  EXPECT_EQ(ReadFileBytes("sub/out~00"), "someone else's");
  WriteFileBytes("sub/out", "old");
  EXPECT_TRUE(MoveOver(name.c_str(), "sub/out"));  // replaces an existing file
  EXPECT_EQ(ReadFileBytes("sub/out"), "joined");
  EXPECT_FALSE(fs::exists(name));
  // No name beside an empty path: nothing is created.
  EXPECT_EQ(CreateTempBeside("", &name), kNoFile);
  EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"sub"});
}

TEST_F(PlatformTest, WhatIsHeldOpenOrAFolderStays) {
  // A file the program writes is held until it is closed (Windows: no sharing; POSIX: its lock):
  // not removed as a leftover meanwhile. A folder is nothing a rename replaces.
  const FileHandle file = CreateNew("held");
  ASSERT_NE(file, kNoFile);
  EXPECT_FALSE(RealPlatformOps().removeUnheld("held"));
#ifdef _WIN32
  EXPECT_FALSE(RealPlatformOps().canReplace("held"));  // as another program would hold it
#endif
  CloseFile(file);
  EXPECT_TRUE(CanReplace("held"));
  EXPECT_TRUE(RealPlatformOps().removeUnheld("held"));
  EXPECT_TRUE(RealPlatformOps().removeUnheld("held"));  // gone already
  EXPECT_TRUE(CanReplace("held"));                      // nothing in the way
  fs::create_directory("folder");
  EXPECT_FALSE(CanReplace("folder"));
  EXPECT_FALSE(RealPlatformOps().removeUnheld("folder"));
  EXPECT_TRUE(fs::is_directory("folder"));
}

TEST_F(PlatformTest, AnOpenFileTellsItsSizeAndLastWrite) {
  WriteFileBytes("file", "abc");
  fs::last_write_time("file", fs::last_write_time("file") - std::chrono::hours(1));
  const FileHandle file = OpenForRead("file");
  ASSERT_NE(file, kNoFile);
  FileState before;
  FileState after;
  ASSERT_TRUE(QueryFileState(file, &before));
  EXPECT_EQ(before.size, 3u);
  WriteFileBytes("file", "xyz");  // the same size, written again
  ASSERT_TRUE(QueryFileState(file, &after));
  EXPECT_EQ(after.size, 3u);
  EXPECT_NE(after.writeTime, before.writeTime);
  char bytes[3];
  ASSERT_TRUE(ReadBlock(file, bytes, 3));
  ASSERT_TRUE(RewindFile(file));
  ASSERT_TRUE(ReadBlock(file, bytes, 3));  // from the first byte again
  EXPECT_EQ(std::string(bytes, 3), "xyz");
  CloseFile(file);
}

TEST_F(PlatformTest, MoveOverAFolderFailsAndKeepsBoth) {
  WriteFileBytes("from", "bytes");
  fs::create_directory("to");
  EXPECT_FALSE(MoveOver("from", "to"));
  EXPECT_EQ(ReadFileBytes("from"), "bytes");
  EXPECT_TRUE(fs::is_directory("to"));
}

TEST_F(PlatformTest, FreeSpaceOfTheFolderThatHoldsAName) {
  fs::create_directory("sub");
  uint64_t bytes = 0;
  ASSERT_TRUE(FreeSpaceBeside("not-yet", &bytes));  // the current folder
  EXPECT_GT(bytes, 0u);
  bytes = 0;
  ASSERT_TRUE(FreeSpaceBeside("sub/not-yet", &bytes));
  EXPECT_GT(bytes, 0u);
  EXPECT_FALSE(FreeSpaceBeside("missing/not-yet", &bytes));
}

// The names beside `path`, sorted, with a visitor that stops after `most` of them.
std::vector<std::string> NamesBeside(const char* path, bool* listed, size_t most = 100) {
  std::pair<std::vector<std::string>, size_t> found = {{}, most};
  const auto visit = [](void* data, const char* name) {
    auto* names = static_cast<std::pair<std::vector<std::string>, size_t>*>(data);
    names->first.push_back(name);
    return names->first.size() < names->second;
  };
  *listed = ListBeside(path, visit, &found);
  std::sort(found.first.begin(), found.first.end());
  return found.first;
}

TEST_F(PlatformTest, ListsTheFolderThatHoldsAName) {
  WriteFileBytes("a", "");
  fs::create_directory("sub");
  WriteFileBytes("sub/b", "");
  bool listed = false;
  EXPECT_EQ(NamesBeside("not-yet", &listed), (std::vector<std::string>{"a", "sub"}));
  EXPECT_EQ(NamesBeside("sub/not-yet", &listed), std::vector<std::string>{"b"});
  EXPECT_EQ(NamesBeside("not-yet", &listed, 1).size(), 1u);  // the visitor ends it early
  EXPECT_TRUE(listed);
  NamesBeside("missing/not-yet", &listed);
  EXPECT_FALSE(listed);
}

TEST_F(PlatformTest, HelperRunsEveryTaskOnceInOrder) {
  // Tasks that keep both threads in step, tasks the caller sleeps through, and pauses of the
  // caller that the helper sleeps through: none is lost or run twice.
  Helper* helper = StartHelper();
  ASSERT_NE(helper, nullptr);
  std::pair<std::vector<int>, int> task;  // what ran, and what runs next
  const auto run = [](void* data) {
    auto* t = static_cast<std::pair<std::vector<int>, int>*>(data);
    if (t->second % 500 == 7) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    t->first.push_back(t->second);
  };
  for (task.second = 0; task.second < 3000; ++task.second) {
    HandToHelper(helper, run, &task);
    if (task.second % 500 == 9) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    WaitForHelper(helper);
    ASSERT_EQ(task.first.size(), static_cast<size_t>(task.second) + 1);
    ASSERT_EQ(task.first.back(), task.second);
  }
  WaitForHelper(helper);  // with nothing handed over: at once
  EndHelper(helper);
}

#ifndef _WIN32
TEST_F(PlatformTest, FlushOfWhatCannotBeFlushedSucceeds) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  EXPECT_TRUE(FlushFile(ends[1]));  // a pipe answers EINVAL, and its bytes went through
  close(ends[0]);
  close(ends[1]);
}
#endif

// The calls in force are each thread's own: those put in force here reach no other thread but
// one that takes them along with a scope, for the scope's lifetime (a null scope keeps them).
TEST_F(PlatformTest, CallsInForceAreEachThreadsOwn) {
  EXPECT_EQ(PlatformOpsInForce(), nullptr);
  PlatformOps ops = RealPlatformOps();
  ops.tickCount = []() -> uint32_t { return 4711; };
  SetPlatformOps(ops);
  const PlatformOps* mine = PlatformOpsInForce();
  ASSERT_NE(mine, nullptr);
  const PlatformOps* seen[4] = {};
  uint32_t ticks[2] = {};
  std::thread([&] {
    seen[0] = PlatformOpsInForce();
    {
      PlatformOpsScope taken(mine);
      PlatformOpsScope kept(nullptr);
      seen[1] = PlatformOpsInForce();
      ticks[0] = TickCount();
    }
    seen[2] = PlatformOpsInForce();
  }).join();
  seen[3] = PlatformOpsInForce();
  ticks[1] = TickCount();
  ResetPlatformOps();
  EXPECT_EQ(seen[0], nullptr);
  EXPECT_EQ(seen[1], mine);
  EXPECT_EQ(seen[2], nullptr);
  EXPECT_EQ(seen[3], mine);
  EXPECT_EQ(ticks[0], 4711u);
  EXPECT_EQ(ticks[1], 4711u);
  EXPECT_EQ(PlatformOpsInForce(), nullptr);
}

TEST_F(PlatformTest, TickCountCountsMilliseconds) {
  const uint32_t before = TickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const uint32_t elapsed = TickCount() - before;  // modulo 2^32, across a wrap too
  EXPECT_GE(elapsed, 40u);                        // the Windows tick may step in 10 to 16 ms
  EXPECT_LT(elapsed, 10000u);
}

TEST_F(PlatformTest, BlocksOfEverySizeClassAreWholeAndWritable) {
  // From nothing to far past the engines' buffer.
  for (uint32_t size : {0u, 1u, 4095u, 4096u, (4u << 20) - 1, 4u << 20, 64u << 20}) {
    SCOPED_TRACE(size);
    char* block = static_cast<char*>(AllocBlock(size));
    ASSERT_NE(block, nullptr);
    if (size > 0) {
      std::memset(block, 0x5A, size);
      EXPECT_EQ(block[0], 0x5A);
      EXPECT_EQ(block[size - 1], 0x5A);
    }
    FreeBlock(block);
  }
}

}  // namespace
