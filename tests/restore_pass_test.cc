// Restoring looks every piece up first and then reads them into one block of their total size.
// These tests change the pieces between the two passes, and fake sizes that no test should
// write to disk, to check that nothing is read into the wrong place and the output stays as it
// was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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
    WritePieces("out", {"aaaa", "bbbb", "cccc"});
    WriteFileBytes("out", "old output");
  }

  // Runs `change` after the last look-up and before the first piece is opened, and expects
  // the restore to fail with the output as it was. Starts from the pieces of SetUp.
  void ExpectChangeFails(std::function<void()> change) {
    ResetFiles();
    InstallFaultOps();
    BeforeCall(FaultOp::kOpenForRead, 1, std::move(change));
    EXPECT_EQ(RestoreFile("out"), 0);
    EXPECT_EQ(CallCount(FaultOp::kNameSize), 4);
    EXPECT_EQ(ReadFileBytes("out"), "old output");
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
int FakeNameSize(const char* path, uint32_t* low, uint32_t* high) {
  if (!RealPlatformOps().nameSize(path, low, high)) return 0;
  *low = g_fakeLow;
  *high = std::string(path) == "out-02" ? g_fakeHighOf02 : 0;
  return 1;
}

class RestoreLimitTest : public RestorePassTest {
 protected:
  void Fake(uint32_t low, uint32_t highOf02) {
    g_fakeLow = low;
    g_fakeHighOf02 = highOf02;
    UnderlyingOps().nameSize = FakeNameSize;
  }
};

TEST_F(RestoreLimitTest, TotalOf2GiBFailsBeforeAnyPieceIsOpened) {
  Fake(0x2AAAAAABu, 0);  // three pieces: 0x80000001 bytes in all
  EXPECT_EQ(RestoreFile("out"), 0);
  EXPECT_EQ(CallCount(FaultOp::kAllocBlock), 0);
  EXPECT_EQ(CallCount(FaultOp::kOpenForRead), 0);
  EXPECT_EQ(ReadFileBytes("out"), "old output");
}

TEST_F(RestoreLimitTest, PieceOf4GiBOrMoreFailsBeforeAnyPieceIsOpened) {
  Fake(4, 1);
  EXPECT_EQ(RestoreFile("out"), 0);
  EXPECT_EQ(CallCount(FaultOp::kAllocBlock), 0);
  EXPECT_EQ(CallCount(FaultOp::kOpenForRead), 0);
}

TEST_F(RestoreLimitTest, BlockThatCannotBeObtainedFailsBeforeAnyPieceIsOpened) {
  // Just below 2 GiB in all passes the limit; the block for it is then refused.
  Fake(0x2AAAAAAAu, 0);
  FailCall(FaultOp::kAllocBlock, 1);
  EXPECT_EQ(RestoreFile("out"), 0);
  EXPECT_EQ(CallCount(FaultOp::kAllocBlock), 1);
  EXPECT_EQ(CallCount(FaultOp::kOpenForRead), 0);
  EXPECT_EQ(ReadFileBytes("out"), "old output");
}

}  // namespace
