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
                           FaultOp::kAllocBlock,  FaultOp::kCreateTemp,     FaultOp::kMoveOver,
                           FaultOp::kRemoveFile,  FaultOp::kFreeSpace};

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

// Calls `check(op, n, forever)` for every call that a clean run made, once for failing just
// that call and once for failing it and every later one of its kind.
template <typename Check>
void ForEveryFault(const std::vector<int>& counts, Check check) {
  for (size_t k = 0; k < std::size(kAllOps); ++k) {
    for (int n = 1; n <= counts[k]; ++n) {
      for (bool forever : {false, true}) {
        SCOPED_TRACE(std::string(FaultOpName(kAllOps[k])) + " #" + std::to_string(n) +
                     (forever ? " for good" : " once"));
        check(kAllOps[k], n, forever);
      }
    }
  }
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

  // Exactly the pieces and the output: a restore leaves no other file behind.
  void ExpectNoTemporaryFile() {
    EXPECT_EQ(ListCurrentDir(),
              (std::vector<std::string>{"out", "out-00", "out-01", "out-02", "out-03"}));
  }

  std::string source_;
  std::vector<std::string> pieces_;
};

TEST_F(EngineFaultTest, SplitFailsCleanlyAtEveryCall) {
  ResetFiles(true);
  const std::vector<int> counts = CleanCallCounts([] { SplitFile("source.bin", 300); });
  ASSERT_EQ(counts[static_cast<int>(FaultOp::kFreeSpace)], 1);  // asked before any piece
  ForEveryFault(counts, [&](FaultOp op, int n, bool forever) {
    ResetFiles(true);
    ScopedFaultOps faults;
    FixTickCount(kTickForBase53203);
    FailCall(op, n, forever);
    EXPECT_EQ(SplitFile("source.bin", 300), 0);
    ExpectNoLeaks(op, n);

    // Pieces before the failing one are complete; the failing one is gone again, even
    // when its write stored part of it; nothing follows.
    int whole = 0;
    if (op == FaultOp::kCreateForWrite || op == FaultOp::kWriteBlock) whole = n - 1;
    EXPECT_EQ(ExpectCompletePieces(source_, 300, {"source.bin"}), static_cast<size_t>(whole));
    EXPECT_TRUE(ReadFileBytes("source.bin") == source_);
  });
}

TEST_F(EngineFaultTest, RestoreFailsCleanlyAtEveryCall) {
  ResetFiles(false);
  const std::vector<int> counts = CleanCallCounts([] { RestoreFile("out"); });
  // Five look-ups (four pieces, then the missing fifth name) before anything is opened; one
  // block; each piece opened, measured and read once; one temporary file written and moved
  // over the output. Nothing removed, no free space asked for.
  ASSERT_EQ(counts, (std::vector<int>{4, 0, 5, 4, 4, 1, 1, 1, 1, 0, 0}));
  ForEveryFault(counts, [&](FaultOp op, int n, bool forever) {
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
    } else {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(ReadFileBytes("out"), "old output");
    }
    ExpectNoTemporaryFile();
  });
}

// Deleting what a failure left behind may fail too; the result stays 0 and nothing leaks.
TEST_F(EngineFaultTest, CleanupThatFailsIsStillAFailure) {
  ResetFiles(true);
  {
    ScopedFaultOps faults;
    FixTickCount(kTickForBase53203);
    FailCall(FaultOp::kWriteBlock, 2);
    FailCall(FaultOp::kRemoveFile, 1);
    EXPECT_EQ(SplitFile("source.bin", 300), 0);
    ExpectNoLeaks(FaultOp::kRemoveFile, 1);
    EXPECT_TRUE(ReadFileBytes(PieceName(kBase53203, 0)) == pieces_[0]);
    EXPECT_FALSE(fs::exists(PieceName(kBase53203, 2)));  // nothing after the failure
  }
  for (FaultOp first : {FaultOp::kWriteBlock, FaultOp::kMoveOver}) {
    SCOPED_TRACE(FaultOpName(first));
    ResetFiles(false);
    ScopedFaultOps faults;
    FailCall(first, 1);
    FailCall(FaultOp::kRemoveFile, 1);
    EXPECT_EQ(RestoreFile("out"), 0);
    ExpectNoLeaks(first, 1);
    EXPECT_EQ(ReadFileBytes("out"), "old output");
    EXPECT_EQ(ListCurrentDir().size(), 6u);  // the temporary file that could not go
  }
}

}  // namespace
