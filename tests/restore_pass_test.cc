// Restoring looks every piece up first and then copies them into a file beside the output.
// These tests change the pieces between the two passes, and fake sizes that no test should
// write to disk, to check that nothing is read into the wrong place and the output stays as it
// was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/failure.h"
#include "core/limits.h"
#include "core/restore.h"
#include "platform/platform.h"
#include "tests/engine_test_util.h"
#include "tests/fault_ops.h"

namespace fs = std::filesystem;

namespace {

class RestorePassTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ResetFiles();
  }

  void ResetFiles() {
    for (const std::string& name : ListCurrentDir()) fs::remove_all(name);
    WritePieces("out", {"aaaa", "bbbb", "cccc"});
    WriteFileBytes("out", "old output");
  }

  // Runs `change` after the last look-up and before the first piece is opened, and expects
  // the restore to fail with the output as it was and no temporary file left.
  void ExpectChangeFails(const std::function<void()>& change) {
    ResetFiles();
    InstallFaultOps();
    BeforeCall(FaultOp::kOpenForRead, 1, change);
    EXPECT_EQ(RestoreFile("out"), 0);
    EXPECT_EQ(CallCount(FaultOp::kLookUpName), 5);  // the list, three pieces, the missing 03
    EXPECT_EQ(ReadFileBytes("out"), "old output");
    for (const std::string& name : ListCurrentDir()) EXPECT_EQ(name.find('~'), name.npos);
  }
};

TEST_F(RestorePassTest, PieceThatGrowsOrShrinksFails) {
  ExpectChangeFails([] { WriteFileBytes("out-01", "bbbbb"); });
  ExpectChangeFails([] { WriteFileBytes("out-02", "ccc"); });
  ExpectChangeFails([] { WriteFileBytes("out-00", ""); });
}

TEST_F(RestorePassTest, PiecesThatTradeBytesFail) {
  // The total stays 12 bytes, but the pieces would no longer fill the places found for them.
  ExpectChangeFails([] {
    WriteFileBytes("out-00", "aaa");
    WriteFileBytes("out-01", "bbbbb");
  });
}

TEST_F(RestorePassTest, PieceThatVanishesFails) {
  ExpectChangeFails([] { fs::remove("out-01"); });
  EXPECT_EQ(OpenFiles(), 0);
}

TEST_F(RestorePassTest, PieceReplacedByAFolderFails) {
  ExpectChangeFails([] {
    fs::remove("out-02");
    fs::create_directory("out-02");
  });
}

TEST_F(RestorePassTest, PieceCutShortWhileOpenFails) {
  // Opened at its full size, then cut before it is read: the read comes up short.
  BeforeCall(FaultOp::kReadBlock, 2, [] { fs::resize_file("out-01", 2); });
  EXPECT_EQ(RestoreFile("out"), 0);
  EXPECT_EQ(ReadFileBytes("out"), "old output");
}

TEST_F(RestorePassTest, PieceAddedAfterTheLookUpIsLeftOut) {
  // The set is the one found by the look-up; a later piece 03 does not join it.
  BeforeCall(FaultOp::kOpenForRead, 1, [] { WriteFileBytes("out-03", "dddd"); });
  EXPECT_EQ(RestoreFile("out"), 1);
  EXPECT_EQ(ReadFileBytes("out"), "aaaabbbbcccc");
}

TEST_F(RestorePassTest, ContentChangedAtTheSameSizeIsRead) {
  BeforeCall(FaultOp::kOpenForRead, 1, [] { WriteFileBytes("out-01", "BBBB"); });
  EXPECT_EQ(RestoreFile("out"), 1);
  EXPECT_EQ(ReadFileBytes("out"), "aaaaBBBBcccc");
}

// Makes every piece of the base "out" look 1 GiB large, or 4 GiB + 4 for piece 02, without
// writing such files.
uint32_t g_fakeLow = 0;
uint32_t g_fakeHighOf02 = 0;
NameLookup FakeLookUpName(const char* path, uint64_t* size) {
  const NameLookup lookup = RealPlatformOps().lookUpName(path, size);
  if (lookup != NameLookup::kFound) return lookup;
  const uint32_t high = std::string(path) == "out-02" ? g_fakeHighOf02 : 0;
  *size = (uint64_t{high} << 32) | g_fakeLow;
  return lookup;
}

class RestoreLimitTest : public RestorePassTest {
 protected:
  void Fake(uint32_t low, uint32_t highOf02) {
    g_fakeLow = low;
    g_fakeHighOf02 = highOf02;
    UnderlyingOps().lookUpName = FakeLookUpName;
  }
};

TEST_F(RestoreLimitTest, JoinsOf2GiBOrMoreTakeOneBuffer) {
  // Three pieces of 0x80000001 bytes in all, or one of them 4 GiB + 4: one buffer, whatever
  // the size. The files are not that large, so the reading pass comes up short of the look-up:
  // the set has changed, and the output stays as it was.
  for (uint32_t highOf02 : {0u, 1u}) {
    SCOPED_TRACE(highOf02);
    ResetFiles();
    InstallFaultOps();
    Fake(0x2AAAAAABu, highOf02);
    WorkContext work;
    EXPECT_EQ(RestoreFile("out", &work), 0);
    EXPECT_EQ(CallCount(FaultOp::kAllocBlock), 1);
    EXPECT_EQ(BytesAllocated(), kStreamBufferBytes);
    EXPECT_EQ(work.failure.kind, FailureKind::kSetChanged);
    EXPECT_EQ(ReadFileBytes("out"), "old output");
    EXPECT_EQ(ListCurrentDir(), (std::vector<std::string>{"out", "out-00", "out-01", "out-02"}));
  }
}

TEST_F(RestoreLimitTest, JoinMustFitBesideTheOutput) {
  FixFreeSpace(11);  // the pieces hold 12 bytes
  EXPECT_EQ(RestoreFile("out"), 0);
  EXPECT_EQ(CallCount(FaultOp::kAllocBlock), 0);
  EXPECT_EQ(CallCount(FaultOp::kOpenForRead), 0);
  EXPECT_EQ(CallCount(FaultOp::kCreateNew), 0);  // no temporary file
  EXPECT_EQ(ReadFileBytes("out"), "old output");
  FixFreeSpace(12);  // exactly enough
  EXPECT_EQ(RestoreFile("out"), 1);
  EXPECT_EQ(ReadFileBytes("out"), "aaaabbbbcccc");
  // Sizes past 32 bits are compared whole: 2^32 + 12 bytes do not fit in 2^32 + 11.
  ResetFiles();
  Fake(4, 1);  // out-02 looks 4 GiB + 4 large
  FixFreeSpace((uint64_t{1} << 32) + 11);
  EXPECT_EQ(RestoreFile("out"), 0);
  EXPECT_EQ(CallCount(FaultOp::kAllocBlock), 1);  // only the first, real, restore
}

}  // namespace
