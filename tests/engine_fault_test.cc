// Every failable platform call that the engines make is made to fail in turn, once and for
// good. Each run must end with result 0 (or the documented outcome), the promised files on
// disk, and no open file or live block left behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/restore.h"
#include "core/split.h"
#include "tests/engine_test_util.h"
#include "tests/fault_ops.h"

namespace fs = std::filesystem;

namespace {

const FaultOp kAllOps[] = {FaultOp::kOpenForRead, FaultOp::kCreateForWrite, FaultOp::kNameSize,
                           FaultOp::kFileSize,    FaultOp::kReadBlock,      FaultOp::kWriteBlock,
                           FaultOp::kAllocBlock};

// Counts how often a clean run calls each operation.
template <typename Run>
std::vector<int> CleanCallCounts(Run run) {
  InstallFaultOps();
  FixTickCount(kTickForBase53203);
  run();
  std::vector<int> counts;
  for (FaultOp op : kAllOps) counts.push_back(CallCount(op));
  RemoveFaultOps();
  return counts;
}

class EngineFaultTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    source_ = PatternBytes(1000);
    pieces_ = {source_.substr(0, 300), source_.substr(300, 300), source_.substr(600, 300),
               source_.substr(900)};
  }

  // Empties the directory and puts the source (for splitting) or the pieces and an old output
  // (for restoring) back.
  void ResetFiles(bool forSplit) {
    for (const std::string& name : ListCurrentDir()) fs::remove_all(name);
    if (forSplit) {
      WriteFileBytes("source.bin", source_);
    } else {
      WritePieces("out", pieces_);
      WriteFileBytes("out", "old output");
    }
  }

  void ExpectNoLeaks(FaultOp op, int n) {
    EXPECT_EQ(OpenFiles(), 0) << FaultOpName(op) << " #" << n;
    EXPECT_EQ(LiveBlocks(), 0) << FaultOpName(op) << " #" << n;
  }

  std::string source_;
  std::vector<std::string> pieces_;
};

TEST_F(EngineFaultTest, SplitFailsCleanlyAtEveryCall) {
  ResetFiles(true);
  const std::vector<int> counts = CleanCallCounts([] { SplitFile("source.bin", 300); });
  for (size_t k = 0; k < std::size(kAllOps); ++k) {
    const FaultOp op = kAllOps[k];
    for (int n = 1; n <= counts[k]; ++n) {
      for (bool forever : {false, true}) {
        SCOPED_TRACE(std::string(FaultOpName(op)) + " #" + std::to_string(n) +
                     (forever ? " for good" : " once"));
        ResetFiles(true);
        ScopedFaultOps faults;
        FixTickCount(kTickForBase53203);
        FailCall(op, n, forever);
        EXPECT_EQ(SplitFile("source.bin", 300), 0);
        ExpectNoLeaks(op, n);
        EXPECT_TRUE(ReadFileBytes("source.bin") == source_);

        // Pieces before the failing one are complete; a failed write leaves its piece
        // behind, short; nothing follows.
        int whole = 0;
        if (op == FaultOp::kCreateForWrite || op == FaultOp::kWriteBlock) whole = n - 1;
        for (int i = 0; i < whole; ++i) {
          EXPECT_TRUE(ReadFileBytes(PieceName(kBase53203, i)) == pieces_[i]);
        }
        const int present = whole + (op == FaultOp::kWriteBlock ? 1 : 0);
        EXPECT_EQ(ListCurrentDir().size(), static_cast<size_t>(1 + present));
        if (op == FaultOp::kWriteBlock) {
          EXPECT_LT(fs::file_size(PieceName(kBase53203, whole)), pieces_[whole].size());
        }
      }
    }
  }
}

TEST_F(EngineFaultTest, RestoreFailsCleanlyAtEveryCall) {
  ResetFiles(false);
  const std::vector<int> counts = CleanCallCounts([] { RestoreFile("out"); });
  // Five look-ups (four pieces, then the missing fifth name) before anything is opened; one
  // block; each piece opened, measured and read once; one output written.
  ASSERT_EQ(counts, (std::vector<int>{4, 1, 5, 4, 4, 1, 1}));
  for (size_t k = 0; k < std::size(kAllOps); ++k) {
    const FaultOp op = kAllOps[k];
    for (int n = 1; n <= counts[k]; ++n) {
      for (bool forever : {false, true}) {
        SCOPED_TRACE(std::string(FaultOpName(op)) + " #" + std::to_string(n) +
                     (forever ? " for good" : " once"));
        ResetFiles(false);
        ScopedFaultOps faults;
        FailCall(op, n, forever);
        const int result = RestoreFile("out");
        ExpectNoLeaks(op, n);
        for (size_t i = 0; i < pieces_.size(); ++i) {
          EXPECT_TRUE(ReadFileBytes(PieceName("out", static_cast<int>(i))) == pieces_[i]);
        }
        if (op == FaultOp::kNameSize && n > 1) {
          // A name reported missing ends the sequence there: the pieces before it are joined.
          std::string joined;
          for (int i = 0; i < n - 1; ++i) joined += pieces_[i];
          EXPECT_EQ(result, 1);
          EXPECT_TRUE(ReadFileBytes("out") == joined);
        } else if (op == FaultOp::kWriteBlock) {
          EXPECT_EQ(result, 0);  // the output was replaced, but its failed write is reported
        } else {
          EXPECT_EQ(result, 0);
          EXPECT_EQ(ReadFileBytes("out"), "old output");
        }
      }
    }
  }
}

}  // namespace
