// The product's reason for holding whole files in one block below 2 GiB: a 32-bit process that
// is large-address aware can split a file of 1.5 GiB into pieces of 256 MiB and restore it byte
// for byte, each through one block of the file's size. The source is sparse, with marks around
// the piece boundaries and at its end, so that a piece joined at the wrong place shows.
// Windows build only.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "core/restore.h"
#include "core/split.h"
#include "tests/engine_test_util.h"
#include "tests/fault_ops.h"
#include "tests/sparse_model.h"

namespace {

constexpr uint64_t kMiB = 1024 * 1024;
constexpr uint64_t kSourceBytes = 1536 * kMiB;
constexpr uint64_t kPieceBytes = 256 * kMiB;

class LargeFileTest : public BigFileTest {
 protected:
  void TearDown() override {
    RemoveFaultOps();
    BigFileTest::TearDown();
  }
};

TEST_F(LargeFileTest, SplitsAndRestores1Point5GiBInOneBlock) {
  EnterFolderWithRoomFor(3 * kSourceBytes);
  if (IsSkipped()) return;
  std::vector<uint64_t> marks = {0, kSourceBytes - 4096};
  for (uint64_t boundary = kPieceBytes; boundary < kSourceBytes; boundary += kPieceBytes) {
    marks.push_back(boundary - 2048);  // straddles the end of one piece and the start of the next
  }
  const SparseModel model(kSourceBytes, marks);
  ASSERT_NO_FATAL_FAILURE(model.Write("source"));
  InstallFaultOps();
  FixTickCount(kTickForBase53203);

  ASSERT_EQ(SplitFile("source", static_cast<int32_t>(kPieceBytes)), 1);
  EXPECT_EQ(BytesAllocated(), kSourceBytes);  // the whole source in one block
  for (int i = 0; i < 6; ++i) {
    EXPECT_TRUE(model.Holds(PieceName(kBase53203, i), i * kPieceBytes, kPieceBytes)) << i;
  }
  EXPECT_FALSE(std::filesystem::exists(PieceName(kBase53203, 6)));
  ASSERT_EQ(RestoreFile(kBase53203), 1);
  EXPECT_EQ(BytesAllocated(), 2 * kSourceBytes);  // one block of the output's size
  EXPECT_EQ(LiveBlocks(), 0);
  EXPECT_TRUE(model.Holds(kBase53203, 0, kSourceBytes));
}

}  // namespace
