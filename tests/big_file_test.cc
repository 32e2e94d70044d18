// Big sources split and restored for real in every build, the 32-bit one included. Past 2 GiB
// and 4 GiB the engines stream through two buffers, so memory stays small whatever the size;
// at 1.5 GiB too, which a 32-bit process could not hold in one block of memory. The
// sources are sparse, zero but for marks at every piece boundary, at odd offsets, across the
// 2 GiB and 4 GiB lines and at the end; every byte of every piece and of the restored file is
// compared with that model, so a byte copied to the wrong place, twice, or not at all shows.
#include "tests/big_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/limits.h"
#include "core/restore.h"
#include "core/split.h"
#include "platform/platform.h"
#include "tests/engine_test_util.h"
#include "tests/fault_ops.h"

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kMiB = 1024 * 1024;
constexpr uint64_t kGiB = 1024 * kMiB;
constexpr uint64_t kMarkBytes = 4096;

struct Row {
  const char* name;
  uint64_t sourceBytes;
  int32_t pieceSize;  // as the split command hands it over: 4095 MB is negative
};

// Each size once, each kind of piece size once; one row at a time holds at most the pieces
// and the restored file, twice the source, in the work folder.
const Row kRows[] = {
    {"Exactly2GiBIn1GiBPieces", 2 * kGiB, static_cast<int32_t>(kGiB)},
    {"OddSizePast2GiBInOddPieces", 2 * kGiB + 4321, 700000001},
    {"Past4GiBInPiecesOf4095MB", 4 * kGiB + 1000, static_cast<int32_t>(0xFFF00000u)},
    {"OneAndAHalfGiBIn256MiBPieces", 1536 * kMiB, static_cast<int32_t>(256 * kMiB)},
};
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name;
}

// Marks at every piece boundary (the end of one piece, the start of the next), across the 2 GiB
// and 4 GiB lines, around the first buffers, and at both ends.
SparseModel ModelOf(uint64_t size, uint32_t step) {
  std::vector<uint64_t> starts = {0,
                                  size - kMarkBytes,
                                  2 * kGiB - 1001,
                                  4 * kGiB - 3,
                                  kStreamBufferBytes - 7,
                                  3 * kStreamBufferBytes + 13};
  for (uint64_t boundary = step; boundary < size; boundary += step) {
    starts.push_back(boundary - kMarkBytes / 2);
  }
  return SparseModel(size, starts);
}

class BigSourceTest : public BigFileTest, public ::testing::WithParamInterface<Row> {
 protected:
  void TearDown() override {
    RemoveFaultOps();
    BigFileTest::TearDown();
  }
};

TEST_P(BigSourceTest, SplitsAndRestoresByteForByte) {
  const Row& row = GetParam();
  const uint32_t step = static_cast<uint32_t>(row.pieceSize);
  // The pieces and the restored file, each as large as the source, which is sparse.
  EnterFolderWithRoomFor(2 * row.sourceBytes + 256 * kMiB);
  if (IsSkipped()) return;

  const SparseModel model = ModelOf(row.sourceBytes, step);
  ASSERT_NO_FATAL_FAILURE(model.Write("source"));
  InstallFaultOps();
  FixTickCount(kTickForBase53203);
  const uint64_t peakBefore = PeakMemoryBytes();

  ASSERT_EQ(SplitFile("source", row.pieceSize), 1);
  const uint64_t count = (row.sourceBytes + step - 1) / step;
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t at = i * step;
    const std::string name = PieceName(kBase53203, static_cast<int>(i));
    EXPECT_TRUE(model.Holds(name, at, std::min<uint64_t>(step, row.sourceBytes - at))) << name;
  }
  EXPECT_FALSE(fs::exists(PieceName(kBase53203, static_cast<int>(count))));
  fs::remove("source");  // the restore must not lean on it

  ASSERT_EQ(RestoreFile(kBase53203), 1);
  EXPECT_TRUE(model.Holds(kBase53203, 0, row.sourceBytes));
  // The pieces, their list and the output, nothing else.
  EXPECT_EQ(ListCurrentDir().size(), count + 2);

  EXPECT_EQ(LiveBlocks(), 0);
  EXPECT_EQ(OpenFiles(), 0);
  // Two buffers for each engine, and nothing near the size of the file in memory.
  EXPECT_EQ(BytesAllocated(), 4 * uint64_t{kStreamBufferBytes});
  EXPECT_LE(PeakMemoryBytes() - peakBefore, 64 * kMiB);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BigSourceTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
