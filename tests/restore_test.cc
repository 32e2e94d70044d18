// Restoring real pieces in a fresh current directory.
#include "core/restore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "core/failure.h"
#include "core/limits.h"
#include "core/split.h"
#include "tests/engine_test_util.h"
#include "tests/fault_ops.h"

namespace fs = std::filesystem;

namespace {

using RestoreTest = EngineTest;

std::string Concat(const std::vector<std::string>& parts, size_t count) {
  std::string all;
  for (size_t i = 0; i < count; ++i) all += parts[i];
  return all;
}

TEST_F(RestoreTest, JoinsPiecesInIndexOrder) {
  const std::vector<std::string> pieces = {PatternBytes(300, 1), PatternBytes(300, 2),
                                           PatternBytes(300, 3), PatternBytes(100, 4)};
  WritePieces("4711", pieces);
  ASSERT_EQ(RestoreFile("4711"), 1);
  EXPECT_EQ(ReadFileBytes("4711"), Concat(pieces, 4));
  for (size_t i = 0; i < pieces.size(); ++i) {
    EXPECT_EQ(ReadFileBytes(PieceName("4711", static_cast<int>(i))), pieces[i]);
  }
}

TEST_F(RestoreTest, StopsAtTheFirstMissingIndexUnlessItIsAGap) {
  WritePieces("7", {"aa", "bb"});
  WriteFileBytes("7-1", "not a piece's name");
  WriteFileBytes("70-03", "another base");
  WriteFileBytes("7-002", "not a piece's name either");
  ASSERT_EQ(RestoreFile("7"), 1);
  EXPECT_EQ(ReadFileBytes("7"), "aabb");
  // A later piece beside them makes 02 a gap: nothing is joined.
  for (const char* later : {"7-03", "7-100"}) {
    SCOPED_TRACE(later);
    WriteFileBytes("7", "old");
    WriteFileBytes(later, "dd");
    WorkContext work;
    EXPECT_EQ(RestoreFile("7", &work), 0);
    EXPECT_EQ(work.failure.kind, FailureKind::kPieceMissing);
    EXPECT_EQ(work.failure.file, "7-02");
    EXPECT_EQ(ReadFileBytes("7"), "old");
    fs::remove(later);
  }
}

TEST_F(RestoreTest, EmptyPiecesDoNotEndTheSequence) {
  WritePieces("7", {"", "x", "", "", "yz", ""});
  ASSERT_EQ(RestoreFile("7"), 1);
  EXPECT_EQ(ReadFileBytes("7"), "xyz");
}

TEST_F(RestoreTest, OnlyEmptyPiecesGiveAnEmptyFile) {
  WritePieces("7", {""});
  WriteFileBytes("7", "old contents");
  ASSERT_EQ(RestoreFile("7"), 1);
  EXPECT_EQ(ReadFileBytes("7"), "");
}

TEST_F(RestoreTest, ThreeDigitIndicesFollow99) {
  std::vector<std::string> pieces;
  for (int i = 0; i < 101; ++i) pieces.push_back(std::string(1, static_cast<char>('A' + i % 26)));
  WritePieces("9", pieces);
  ASSERT_EQ(RestoreFile("9"), 1);
  EXPECT_EQ(ReadFileBytes("9"), Concat(pieces, 101));
}

TEST_F(RestoreTest, ReplacesAnExistingOutput) {
  WriteFileBytes("4711", std::string(5000, 'z'));
  WritePieces("4711", {"new"});
  ASSERT_EQ(RestoreFile("4711"), 1);
  EXPECT_EQ(ReadFileBytes("4711"), "new");
  EXPECT_EQ(ListCurrentDir(), (std::vector<std::string>{"4711", "4711-00"}));
}

TEST_F(RestoreTest, TemporaryFileNeverTakesAnExistingName) {
  // 00 is held open by a restore at work, 01 is a folder: both stay, unopened. 03 and 0F were
  // left by restores that were killed: they go. Names of another shape stay.
  const FileHandle held = CreateNew("4711~00");
  ASSERT_TRUE(WriteBlock(held, "at work", 7));
  fs::create_directory("4711~01");
  for (const char* name : {"4711~03", "4711~0F", "4711~0G", "4711~1", "4711~001"}) {
    WriteFileBytes(name, "left");
  }
  WritePieces("4711", {"ab", "c"});
  ASSERT_EQ(RestoreFile("4711"), 1);
  CloseFile(held);
  EXPECT_EQ(ReadFileBytes("4711"), "abc");
  EXPECT_EQ(ReadFileBytes("4711~00"), "at work");
  EXPECT_EQ(ListCurrentDir(),
            (std::vector<std::string>{"4711", "4711-00", "4711-01", "4711~00", "4711~001",
                                      "4711~01", "4711~0G", "4711~1"}));
}

TEST_F(RestoreTest, NoFreeTemporaryNameLeavesTheOutputAlone) {
  char name[16];
  for (int serial = 0; serial < 256; ++serial) {
    std::snprintf(name, sizeof name, "4711~%02X", serial);
    fs::create_directory(name);
  }
  WriteFileBytes("4711", "keep me");
  WritePieces("4711", {"ab"});
  WorkContext work;
  EXPECT_EQ(RestoreFile("4711", &work), 0);
  EXPECT_EQ(work.failure.file, "4711");  // the output whose temporary names are all taken
  EXPECT_EQ(ReadFileBytes("4711"), "keep me");
  EXPECT_EQ(ListCurrentDir().size(), 258u);
}

TEST_F(RestoreTest, BaseTextMayHoldAFolder) {
  fs::create_directory("work");
  WritePieces("work/4711", {"ab", "c"});
  ASSERT_EQ(RestoreFile("work/4711"), 1);
  EXPECT_EQ(ReadFileBytes("work/4711"), "abc");
}

TEST_F(RestoreTest, WithoutPiece00NothingIsCreatedOrChanged) {
  EXPECT_EQ(RestoreFile("4711"), 0);
  EXPECT_TRUE(ListCurrentDir().empty());
  EXPECT_EQ(CallCount(FaultOp::kAllocBlock), 0);
  WriteFileBytes("4711", "keep me");
  WriteFileBytes("4711-01", "orphan");
  EXPECT_EQ(RestoreFile("4711"), 0);
  EXPECT_EQ(ReadFileBytes("4711"), "keep me");
}

TEST_F(RestoreTest, PieceThatCannotBeOpenedLeavesTheOutputAlone) {
  WriteFileBytes("4711", "keep me");
  WritePieces("4711", {"aa", "bb"});
  fs::create_directory("4711-02");  // exists, but is no file
  EXPECT_EQ(RestoreFile("4711"), 0);
  EXPECT_EQ(ReadFileBytes("4711"), "keep me");
}

TEST_F(RestoreTest, OutputThatCannotBeCreatedFails) {
  fs::create_directory("4711");
  WritePieces("4711", {"aa"});
  // A folder stays a folder however long one waits: no retry as for a file held for a moment.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RestoreFile("4711"), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
  EXPECT_TRUE(fs::is_directory("4711"));
  EXPECT_EQ(ReadFileBytes("4711-00"), "aa");
  EXPECT_EQ(ListCurrentDir(), (std::vector<std::string>{"4711", "4711-00"}));  // no leftover
}

TEST_F(RestoreTest, OverlongBaseTextIsRefused) {
  // Names longer than a file system allows: the look-up cannot tell, and the restore fails.
  EXPECT_EQ(RestoreFile(std::string(300, 'a').c_str()), 0);
  EXPECT_EQ(RestoreFile(std::string(1100, 'a').c_str()), 0);
}

TEST_F(RestoreTest, RoundTripThroughSplit) {
  const std::string source = PatternBytes(1234567);
  WriteFileBytes("report.pdf", source);
  ASSERT_EQ(SplitFile("report.pdf", 500 * 1024), 1);
  ASSERT_EQ(RestoreFile(kBase53203), 1);
  EXPECT_EQ(ReadFileBytes(kBase53203), source);
}

TEST_F(RestoreTest, ManySmallPiecesTakeOneBlock) {
  // 10,000 pieces of 3 bytes, with their list: one block of two buffers for all of them, however
  // many pieces there are.
  const std::string source = PatternBytes(30000);
  WriteFileBytes("source", source);
  ASSERT_EQ(SplitFile("source", 3), 1);
  ASSERT_TRUE(fs::exists("53203-9999"));
  ASSERT_FALSE(fs::exists("53203-10000"));
  const int allocsBefore = CallCount(FaultOp::kAllocBlock);
  const uint64_t bytesBefore = BytesAllocated();
  ASSERT_EQ(RestoreFile(kBase53203), 1);
  EXPECT_EQ(CallCount(FaultOp::kAllocBlock) - allocsBefore, 1);
  EXPECT_EQ(BytesAllocated() - bytesBefore, 2 * kStreamBufferBytes);
  EXPECT_EQ(ReadFileBytes(kBase53203), source);
}

}  // namespace
