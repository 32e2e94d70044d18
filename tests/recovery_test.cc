// Recovery pieces: what a split makes of them, and a restore that rebuilds lost and damaged
// pieces from them, using only what is whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "core/piece_name.h"
#include "core/recovery_make.h"
#include "core/restore.h"
#include "core/split.h"
#include "tests/engine_test_util.h"

namespace fs = std::filesystem;

namespace {

// How a piece is lost, in turn.
enum class Loss { kMissing, kShort, kLonger, kDamaged };

void Lose(const std::string& name, Loss loss) {
  std::string bytes = ReadFileBytes(name);
  switch (loss) {
    case Loss::kMissing:
      fs::remove(name);
      return;
    case Loss::kShort:
      bytes.pop_back();
      break;
    case Loss::kLonger:
      bytes += '!';
      break;
    case Loss::kDamaged:
      bytes[bytes.size() / 2] ^= 0x20;
      break;
  }
  WriteFileBytes(name, bytes);
}

std::map<std::string, std::string> FilesOnDisk() {
  std::map<std::string, std::string> files;
  for (const std::string& name : ListCurrentDir()) files[name] = ReadFileBytes(name);
  return files;
}

void PutBack(const std::map<std::string, std::string>& files) {
  for (const std::string& name : ListCurrentDir()) {
    if (!files.count(name)) fs::remove(name);
  }
  for (const auto& [name, bytes] : files) WriteFileBytes(name, bytes);
}

class RecoveryTest : public EngineTest {
 protected:
  // Splits `bytes` of a pattern into pieces of `piece` bytes with the recovery pieces of
  // `choice`.
  void Split(size_t bytes, size_t piece, RecoveryChoice choice, unsigned seed = 1) {
    source_ = PatternBytes(bytes, seed);
    WriteFileBytes("source", source_);
    WorkContext work;
    work.recovery = choice;
    ASSERT_EQ(SplitFile("source", static_cast<uint32_t>(piece), &work), 1);
    made_ = work.recoveryMade;
    fs::remove("source");
  }
  std::string source_;
  uint32_t made_ = 0;
};

TEST_F(RecoveryTest, RebuildsEveryPatternOfUpToTwoLostPieces) {
  Split(7667, 1000, RecoveryChoice::kTwo);
  ASSERT_EQ(made_, 2u);
  const auto set = FilesOnDisk();
  int turn = 0;
  for (uint32_t a = 0; a < 8; ++a) {
    for (uint32_t b = a; b < 8; ++b) {
      SCOPED_TRACE(std::to_string(a) + " and " + std::to_string(b));
      Lose(PieceName(53203, a), static_cast<Loss>(turn++ % 4));
      if (b != a) Lose(PieceName(53203, b), static_cast<Loss>(turn++ % 4));
      const auto lost = FilesOnDisk();
      WorkContext work;
      ASSERT_EQ(RestoreFile(kBase53203, &work), 1);
      EXPECT_EQ(ReadFileBytes(kBase53203), source_);
      EXPECT_EQ(work.repaired, PieceName(53203, a));
      EXPECT_EQ(work.repairedCount, b == a ? 1u : 2u);
      // Nothing of the set changed, and nothing was left but the output.
      fs::remove(kBase53203);
      EXPECT_EQ(FilesOnDisk(), lost);
      PutBack(set);
    }
  }
  // Three lost with two recovery pieces: nothing is written, the first is named, and one
  // recovery piece is missing.
  for (const uint32_t index : {1u, 4u, 7u}) Lose(PieceName(53203, index), Loss::kDamaged);
  WorkContext work;
  EXPECT_EQ(RestoreFile(kBase53203, &work), 0);
  EXPECT_EQ(work.failure.kind, FailureKind::kRecoveryShort);
  EXPECT_EQ(work.failure.file, PieceName(53203, 1));
  EXPECT_EQ(work.failure.count, 1u);
  EXPECT_FALSE(fs::exists(kBase53203));
}

// A set of more pieces than are cut in one pass: the pieces first, then the source read again
// for the slices, several in a volume beside so many pieces; the rebuild reads each piece
// where it lies instead of holding them all open.
TEST_F(RecoveryTest, ASetCutFirstAndReadAgainRebuildsToo) {
  Split(300 * 8 - 3, 8, RecoveryChoice::kTenth);
  ASSERT_EQ(made_, 30u);
  Lose(PieceName(53203, 0), Loss::kMissing);
  Lose(PieceName(53203, 150), Loss::kDamaged);
  Lose(PieceName(53203, 299), Loss::kShort);
  WorkContext work;
  ASSERT_EQ(RestoreFile(kBase53203, &work), 1) << static_cast<int>(work.failure.kind) << " "
                                               << work.failure.file << " " << work.failure.count;
  EXPECT_TRUE(ReadFileBytes(kBase53203) == source_);
  EXPECT_EQ(work.repaired, PieceName(53203, 0));
  EXPECT_EQ(work.repairedCount, 3u);
}

// A file smaller than the piece size: its recovery piece is as long as the piece, not as the
// piece size chosen, and rebuilds it.
TEST_F(RecoveryTest, AFileSmallerThanAPieceHasASmallRecoveryPiece) {
  Split(10, 4000000, RecoveryChoice::kOne);
  ASSERT_EQ(made_, 1u);
  EXPECT_LT(fs::file_size("53203.vol0+1.par2"), 4096u);
  Lose(PieceName(53203, 0), Loss::kDamaged);
  WorkContext work;
  ASSERT_EQ(RestoreFile(kBase53203, &work), 1);
  EXPECT_EQ(ReadFileBytes(kBase53203), source_);
}

TEST_F(RecoveryTest, OnlyWholeRecoveryPacketsOfTheSetCount) {
  // A recovery file of another set of the same names: a split of other bytes, renamed.
  Split(4500, 2000, RecoveryChoice::kOne, 2);
  const std::string foreign = ReadFileBytes("53203.vol0+1.par2");
  PutBack({});
  Split(4500, 2000, RecoveryChoice::kTwo);
  const auto set = FilesOnDisk();
  ASSERT_EQ(set.count("53203.vol1+1.par2"), 1u);

  // A byte of the first volume's slice is damaged: the second volume rebuilds the piece.
  std::string vol0 = ReadFileBytes("53203.vol0+1.par2");
  vol0[100] ^= 1;
  WriteFileBytes("53203.vol0+1.par2", vol0);
  Lose(PieceName(53203, 2), Loss::kMissing);
  WorkContext work;
  ASSERT_EQ(RestoreFile(kBase53203, &work), 1);
  EXPECT_EQ(ReadFileBytes(kBase53203), source_);
  PutBack(set);

  // The second volume is another set's: the first alone is of use, one piece short of two.
  WriteFileBytes("53203.vol1+1.par2", foreign);
  Lose(PieceName(53203, 0), Loss::kDamaged);
  Lose(PieceName(53203, 2), Loss::kMissing);
  EXPECT_EQ(RestoreFile(kBase53203, &work), 0);
  EXPECT_EQ(work.failure.kind, FailureKind::kRecoveryShort);
  EXPECT_EQ(work.failure.count, 1u);
}

TEST_F(RecoveryTest, HowManyRecoveryPieces) {
  const struct {
    RecoveryChoice choice;
    uint64_t pieces;
    uint64_t size;
    uint32_t count;
  } kCases[] = {
      {RecoveryChoice::kNone, 10, 10, 0},
      {RecoveryChoice::kThree, 2, 2, 2},  // never more than the pieces
      {RecoveryChoice::kTenth, 1, 1, 1},  // one for every ten, rounded up
      {RecoveryChoice::kTenth, 10, 10, 1},
      {RecoveryChoice::kTenth, 11, 11, 2},
      {RecoveryChoice::kTenth, 32768, 32768, 3277},  // the most the format holds
      {RecoveryChoice::kOne, 32769, 32769, 0},       // one piece more: none
      {RecoveryChoice::kOne, 1, 0, 0},               // an empty source: nothing to protect
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(RecoveryCount(c.choice, c.pieces, c.size), c.count) << c.pieces;
  }
}

}  // namespace
