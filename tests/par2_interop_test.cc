// Recovery pieces and par2cmdline, both ways (the host lane, where the setup installs it): what
// a split makes verifies and repairs with `par2`, and what `par2 c` makes over the pieces
// rebuilds them in a restore.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/piece_name.h"
#include "core/restore.h"
#include "core/split.h"
#include "tests/engine_test_util.h"

namespace fs = std::filesystem;

namespace {

using Par2Test = EngineTest;

// Runs par2cmdline quietly in the current folder; its exit code.
int Par2(const std::string& arguments) {
  const int status = std::system(("par2 " + arguments + " >par2.log 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// 6 pieces of 4,002 bytes (a slice of 4,004) and a last one of 1,000.
constexpr size_t kSourceBytes = 6 * 4002 + 1000;
constexpr uint32_t kPiece = 4002;

TEST_F(Par2Test, Par2cmdlineVerifiesAndRepairsWhatASplitMakes) {
  ASSERT_EQ(std::system("par2 --version >/dev/null 2>&1"), 0) << "par2 is not installed";
  const std::string source = PatternBytes(kSourceBytes);
  WriteFileBytes("source", source);
  WorkContext work;
  work.recovery = RecoveryChoice::kTwo;
  ASSERT_EQ(SplitFile("source", kPiece, &work), 1);
  EXPECT_EQ(Par2("v 53203.par2"), 0);
  // Two pieces lost, one missing and one damaged: par2 rebuilds both byte for byte.
  const std::string second = ReadFileBytes(PieceName(kBase53203, 2));
  const std::string fifth = ReadFileBytes(PieceName(kBase53203, 5));
  fs::remove(PieceName(kBase53203, 2));
  std::string damaged = fifth;
  damaged[77] ^= 0x40;
  WriteFileBytes(PieceName(kBase53203, 5), damaged);
  EXPECT_EQ(Par2("v 53203.par2"), 1);  // repair possible
  EXPECT_EQ(Par2("r 53203.vol1+1.par2"), 0);
  EXPECT_TRUE(ReadFileBytes(PieceName(kBase53203, 2)) == second);
  EXPECT_TRUE(ReadFileBytes(PieceName(kBase53203, 5)) == fifth);
}

TEST_F(Par2Test, ARestoreRebuildsPiecesFromWhatPar2cmdlineMade) {
  ASSERT_EQ(std::system("par2 --version >/dev/null 2>&1"), 0) << "par2 is not installed";
  const std::string source = PatternBytes(kSourceBytes);
  WriteFileBytes("source", source);
  ASSERT_EQ(SplitFile("source", kPiece), 1);
  // One slice a piece: the piece size rounded up to a multiple of 4.
  ASSERT_EQ(Par2("c -s4004 -c3 53203.par2 53203-*"), 0);
  fs::remove(PieceName(kBase53203, 0));
  fs::remove(PieceName(kBase53203, 6));
  WorkContext work;
  ASSERT_EQ(RestoreFile(kBase53203, &work), 1);
  EXPECT_TRUE(ReadFileBytes(kBase53203) == source);
  EXPECT_EQ(work.repaired, PieceName(kBase53203, 0));
  EXPECT_EQ(work.repairedCount, 2u);
}

// Beside 300 pieces, a volume holds several slices, which par2cmdline reads as well.
TEST_F(Par2Test, Par2cmdlineVerifiesVolumesOfSeveralSlices) {
  ASSERT_EQ(std::system("par2 --version >/dev/null 2>&1"), 0) << "par2 is not installed";
  WriteFileBytes("source", PatternBytes(300 * 8));
  WorkContext work;
  work.recovery = RecoveryChoice::kTenth;
  ASSERT_EQ(SplitFile("source", 8, &work), 1);
  EXPECT_EQ(Par2("v 53203.par2"), 0);
  for (const uint32_t index : {3u, 100u, 299u}) fs::remove(PieceName(kBase53203, index));
  EXPECT_EQ(Par2("r 53203.par2"), 0);
  EXPECT_TRUE(ReadFileBytes(PieceName(kBase53203, 100)) == PatternBytes(300 * 8).substr(800, 8));
}

// More lost pieces than one repair rebuilds (1,024), with recovery slices enough for them:
// nothing is written, and the failure counts the slices short of what a repair can use, never
// none.
TEST_F(Par2Test, MoreLostPiecesThanARepairRebuilds) {
  ASSERT_EQ(std::system("par2 --version >/dev/null 2>&1"), 0) << "par2 is not installed";
  WriteFileBytes("source", PatternBytes(1100 * 4));
  ASSERT_EQ(SplitFile("source", 4), 1);
  ASSERT_EQ(Par2("c -s4 -c1030 -n1 53203.par2 53203-*"), 0);
  for (uint32_t index = 0; index < 1025; ++index) fs::remove(PieceName(kBase53203, index));
  WorkContext work;
  EXPECT_EQ(RestoreFile(kBase53203, &work), 0);
  EXPECT_EQ(work.failure.kind, FailureKind::kRecoveryShort);
  EXPECT_EQ(work.failure.file, PieceName(kBase53203, 0));
  EXPECT_EQ(work.failure.count, 1u);
  EXPECT_FALSE(fs::exists(kBase53203));
}

}  // namespace

// Slices longer than a stripe of the pass (they are cut into two here), in two groups of inputs:
// 17 pieces of 1,310,723 bytes, whose slices end in a byte of zeros, and a last one whose bytes
// end in the second stripe. par2cmdline finds the recovery files whole, and a restore rebuilds
// a piece of each group from them.
TEST_F(Par2Test, SlicesOfSeveralStripesInTwoGroups) {
  ASSERT_EQ(std::system("par2 --version >/dev/null 2>&1"), 0) << "par2 is not installed";
  constexpr uint32_t kLong = 1310723;
  const std::string source = PatternBytes(17 * size_t{kLong} + 800000);
  WriteFileBytes("source", source);
  WorkContext work;
  work.recovery = RecoveryChoice::kTwo;
  ASSERT_EQ(SplitFile("source", kLong, &work), 1);
  fs::remove("source");
  EXPECT_EQ(Par2("v 53203.par2"), 0);
  fs::remove(PieceName(kBase53203, 2));
  std::string last = ReadFileBytes(PieceName(kBase53203, 17));
  last[700000] ^= 0x01;
  WriteFileBytes(PieceName(kBase53203, 17), last);
  WorkContext restore;
  ASSERT_EQ(RestoreFile(kBase53203, &restore), 1);
  EXPECT_TRUE(ReadFileBytes(kBase53203) == source);
  EXPECT_EQ(restore.repairedCount, 2u);
}
