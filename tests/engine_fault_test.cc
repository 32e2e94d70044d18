// Every failable platform call that the engines make is made to fail in turn, once and for
// good. Each run must end with result 0 (or the documented outcome), the promised files on
// disk, and no open file or live block left behind. The stop check is one such call. Pieces of
// one buffer each and of several buffers are covered, so that a piece can fail halfway.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/limits.h"
#include "core/restore.h"
#include "core/split.h"
#include "tests/engine_test_util.h"
#include "tests/fault_ops.h"

namespace fs = std::filesystem;

namespace {

const FaultOp kAllOps[] = {
    FaultOp::kOpenForRead,   FaultOp::kCreateForWrite,   FaultOp::kLookUpName,
    FaultOp::kQueryFileSize, FaultOp::kReadBlock,        FaultOp::kWriteBlock,
    FaultOp::kAllocBlock,    FaultOp::kCreateTempBeside, FaultOp::kMoveOver,
    FaultOp::kRemoveFile,    FaultOp::kFreeSpaceBeside,  FaultOp::kIsSameFile,
    FaultOp::kFlushFile,     FaultOp::kStopCheck};

// One shape of work: the source and piece sizes, and whether a piece takes several buffers.
struct Mode {
  const char* name;
  size_t sourceBytes;
  size_t pieceBytes;
  bool buffers;
};
void PrintTo(const Mode& mode, std::ostream* out) {
  *out << mode.name;
}
const Mode kSmall = {"OneBufferAPiece", 1000, 300, false};
const Mode kLarge = {"BuffersAPiece", 2 * kStreamBufferBytes + 1000, kStreamBufferBytes + 300,
                     true};

void InstallFaultOpsFor(const Mode&) {
  InstallFaultOps();
  FixTickCount(kTickForBase53203);
}

std::vector<int> CallCounts() {
  std::vector<int> counts;
  for (FaultOp op : kAllOps) counts.push_back(CallCount(op));
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

class EngineFaultTest : public TempDirTest, public ::testing::WithParamInterface<Mode> {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    source_ = PatternBytes(GetParam().sourceBytes);
    for (size_t at = 0; at < source_.size(); at += GetParam().pieceBytes) {
      pieces_.push_back(source_.substr(at, GetParam().pieceBytes));
    }
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

  // How many pieces a split has completed before the failing call `n` of `op`. Each piece is
  // created once, checked against the source once, and read and written one buffer at a time.
  size_t PiecesBefore(FaultOp op, int n) const {
    if (op == FaultOp::kCreateForWrite || op == FaultOp::kIsSameFile) return n - 1;
    if (op != FaultOp::kWriteBlock && op != FaultOp::kReadBlock) return 0;  // a stop, too
    size_t pieces = 0;
    for (int calls = 0; pieces < pieces_.size(); ++pieces) {
      calls += (pieces_[pieces].size() + kStreamBufferBytes - 1) / kStreamBufferBytes;
      if (calls >= n) break;
    }
    return pieces;
  }

  void ExpectNoLeaks(FaultOp op, int n) {
    EXPECT_EQ(OpenFiles(), 0) << FaultOpName(op) << " #" << n;
    EXPECT_EQ(LiveBlocks(), 0) << FaultOpName(op) << " #" << n;
  }

  // Exactly the pieces and the output: a restore leaves no other file behind.
  void ExpectNoTemporaryFile() {
    std::vector<std::string> expected = {"out"};
    for (size_t i = 0; i < pieces_.size(); ++i) {
      expected.push_back(PieceName("out", static_cast<int>(i)));
    }
    EXPECT_EQ(ListCurrentDir(), expected);
  }

  std::string source_;
  std::vector<std::string> pieces_;
};

TEST_P(EngineFaultTest, SplitFailsCleanlyAtEveryCall) {
  const size_t step = GetParam().pieceBytes;
  ResetFiles(true);
  InstallFaultOpsFor(GetParam());
  ASSERT_EQ(SplitFile("source.bin", static_cast<int32_t>(step)), 1);
  const std::vector<int> counts = CallCounts();
  RemoveFaultOps();
  ASSERT_EQ(counts[static_cast<int>(FaultOp::kFreeSpaceBeside)], 1);  // asked before any piece
  ASSERT_EQ(counts[static_cast<int>(FaultOp::kAllocBlock)], 1);       // the buffer
  ASSERT_EQ(counts[static_cast<int>(FaultOp::kIsSameFile)], static_cast<int>(pieces_.size()));
  ForEveryFault(counts, [&](FaultOp op, int n, bool forever) {
    ResetFiles(true);
    InstallFaultOpsFor(GetParam());
    FailCall(op, n, forever);
    const int result = SplitFile("source.bin", static_cast<int32_t>(step));
    ExpectNoLeaks(op, n);
    RemoveFaultOps();
    if (op == FaultOp::kFreeSpaceBeside) {
      // An unknown free space is no reason to give up.
      EXPECT_EQ(result, 1);
      EXPECT_EQ(ExpectCompletePieces(source_, step, {"source.bin"}), pieces_.size());
    } else {
      // Pieces before the failing one are complete; the failing one is gone again, even
      // when its write stored part of it; nothing follows. A stop leaves no piece at all.
      EXPECT_EQ(result, 0);
      EXPECT_EQ(ExpectCompletePieces(source_, step, {"source.bin"}), PiecesBefore(op, n));
    }
    EXPECT_TRUE(ReadFileBytes("source.bin") == source_);
  });
}

TEST_P(EngineFaultTest, RestoreFailsCleanlyAtEveryCall) {
  ResetFiles(false);
  InstallFaultOpsFor(GetParam());
  ASSERT_EQ(RestoreFile("out"), 1);
  const std::vector<int> counts = CallCounts();
  RemoveFaultOps();
  // The look-ups (each piece, then the missing name after them) before anything is opened;
  // one free-space query; one buffer; each piece opened and measured once, and copied a buffer
  // at a time into one temporary file, which is flushed and moved over the output. Nothing
  // removed, no identity asked for. Whether to stop is asked before every name, piece and
  // buffer, and before the rename.
  const std::vector<int> expected =
      GetParam().buffers ? std::vector<int>{3, 0, 4, 3, 5, 5, 1, 1, 1, 0, 1, 0, 1, 13}
                         : std::vector<int>{4, 0, 5, 4, 4, 4, 1, 1, 1, 0, 1, 0, 1, 14};
  ASSERT_EQ(counts, expected);
  ForEveryFault(counts, [&](FaultOp op, int n, bool forever) {
    ResetFiles(false);
    InstallFaultOpsFor(GetParam());
    FailCall(op, n, forever);
    const int result = RestoreFile("out");
    ExpectNoLeaks(op, n);
    RemoveFaultOps();
    for (size_t i = 0; i < pieces_.size(); ++i) {
      EXPECT_TRUE(ReadFileBytes(PieceName("out", static_cast<int>(i))) == pieces_[i]);
    }
    // A look-up that fails cannot tell whether the name exists: it does not end the set
    // early, it fails the restore. An unknown free space is no reason to refuse.
    size_t joined = 0;
    if (op == FaultOp::kFreeSpaceBeside) joined = pieces_.size();
    if (joined > 0) {
      std::string bytes;
      for (size_t i = 0; i < joined; ++i) bytes += pieces_[i];
      EXPECT_EQ(result, 1);
      EXPECT_TRUE(ReadFileBytes("out") == bytes);
    } else {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(ReadFileBytes("out"), "old output");
    }
    ExpectNoTemporaryFile();
  });
}

// Deleting what a failure left behind may fail too; the result stays 0 and nothing leaks.
TEST_P(EngineFaultTest, CleanupThatFailsIsStillAFailure) {
  const size_t step = GetParam().pieceBytes;
  ResetFiles(true);
  {
    ScopedFaultOps faults;
    InstallFaultOpsFor(GetParam());
    FailCall(FaultOp::kWriteBlock, GetParam().buffers ? 3 : 2);  // in the second piece
    FailCall(FaultOp::kRemoveFile, 1);
    EXPECT_EQ(SplitFile("source.bin", static_cast<int32_t>(step)), 0);
    ExpectNoLeaks(FaultOp::kRemoveFile, 1);
    EXPECT_TRUE(ReadFileBytes(PieceName(kBase53203, 0)) == pieces_[0]);
    EXPECT_FALSE(fs::exists(PieceName(kBase53203, 2)));  // nothing after the failure
  }
  for (FaultOp first : {FaultOp::kWriteBlock, FaultOp::kFlushFile, FaultOp::kMoveOver}) {
    SCOPED_TRACE(FaultOpName(first));
    ResetFiles(false);
    ScopedFaultOps faults;
    InstallFaultOpsFor(GetParam());
    FailCall(first, 1);
    FailCall(FaultOp::kRemoveFile, 1);
    EXPECT_EQ(RestoreFile("out"), 0);
    ExpectNoLeaks(first, 1);
    EXPECT_EQ(ReadFileBytes("out"), "old output");
    EXPECT_EQ(ListCurrentDir().size(), pieces_.size() + 2);  // the temporary file that stayed
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, EngineFaultTest, ::testing::Values(kSmall, kLarge),
                         [](const ::testing::TestParamInfo<Mode>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
