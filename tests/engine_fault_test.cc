// Every failable platform call that the engines make is made to fail in turn, once and for
// good. Each run must end with result 0 (or the documented outcome), the promised files on
// disk, and no open file or live block left behind. The stop check is one such call. Pieces of
// one buffer each and of several buffers are covered, so that a piece can fail halfway, and
// restores of a set with its checksum list and without one; and a set with recovery pieces, cut
// in one pass with them, and restored with a piece rebuilt.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/checksum_list.h"
#include "core/limits.h"
#include "core/restore.h"
#include "core/split.h"
#include "tests/engine_test_util.h"
#include "tests/fault_ops.h"

namespace fs = std::filesystem;

namespace {

const FaultOp kAllOps[] = {FaultOp::kOpenForRead,   FaultOp::kCreateNew,  FaultOp::kLookUpName,
                           FaultOp::kQueryFileSize, FaultOp::kReadBlock,  FaultOp::kWriteBlock,
                           FaultOp::kAllocBlock,    FaultOp::kMoveOver,   FaultOp::kRemoveFile,
                           FaultOp::kFreeSpace,     FaultOp::kListFolder, FaultOp::kFlushFile,
                           FaultOp::kStartHelper,   FaultOp::kStopCheck,  FaultOp::kQueryFileState};

// One shape of work: the source and piece sizes, whether a piece takes several buffers, and the
// recovery pieces of a split.
struct Mode {
  const char* name;
  size_t sourceBytes;
  size_t pieceBytes;
  bool buffers;
  RecoveryChoice recovery = RecoveryChoice::kNone;
};
void PrintTo(const Mode& mode, std::ostream* out) {
  *out << mode.name;
}
const Mode kSmall = {"OneBufferAPiece", 1000, 300, false};
const Mode kLarge = {"BuffersAPiece", 2 * kStreamBufferBytes + 1000, kStreamBufferBytes + 300,
                     true};
const Mode kRecovery = {"WithRecoveryPieces", 2000, 700, false, RecoveryChoice::kTwo};

WorkContext ContextFor(const Mode& mode) {
  WorkContext work = FaultContext();
  work.recovery = mode.recovery;
  return work;
}

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

// Failures that change nothing of the outcome: an unknown free space is no reason to refuse,
// and without a helper thread the work hashes on its own.
bool Harmless(FaultOp op) {
  return op == FaultOp::kFreeSpace || op == FaultOp::kStartHelper;
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

  int32_t Step() const { return static_cast<int32_t>(GetParam().pieceBytes); }

  // Empties the directory and puts the source back, and for a restore the pieces of `base` and an
  // old output: the pieces 53203-NN that a split makes, with their list, or pieces without one.
  void ResetFiles(const std::string& base = std::string()) {
    for (const std::string& name : ListCurrentDir()) fs::remove_all(name);
    WriteFileBytes("source.bin", source_);
    if (base.empty()) return;
    if (base == kBase53203) {
      ScopedFaultOps faults;  // only for the tick count of base 53203
      FixTickCount(kTickForBase53203);
      WorkContext work;
      work.recovery = GetParam().recovery;
      ASSERT_EQ(SplitFile("source.bin", Step(), &work), 1);
    } else {
      WritePieces(base, pieces_);
    }
    WriteFileBytes(base, "old output");
    files_ = ListCurrentDir();
  }

  void ExpectNoLeaks() {
    EXPECT_EQ(OpenFiles(), 0);
    EXPECT_EQ(LiveBlocks(), 0);
  }

  // Fails each call of a clean restore of `base` in turn: the output is the joined source or
  // the old output, and no other file is left or changed. `lose` is done to the set first. A
  // listing from the `harmless`th on changes nothing of the outcome (it looks for temporary files
  // of killed restores, or for recovery files of a whole set); with a lost piece to rebuild, a
  // piece or a recovery file that cannot be read may be rebuilt or done without too.
  template <typename Lose = void (*)()>
  void RestoreFailsCleanlyAtEveryCall(
      const std::string& base, int harmless, Lose lose = [] {}, bool rebuilds = false) {
    ResetFiles(base);
    lose();
    files_ = ListCurrentDir();
    InstallFaultOpsFor(GetParam());
    WorkContext work = FaultContext();
    ASSERT_EQ(RestoreFile(base.c_str(), &work), 1);
    const std::vector<int> counts = CallCounts();
    RemoveFaultOps();
    ForEveryFault(counts, [&](FaultOp op, int n, bool forever) {
      ResetFiles(base);
      lose();
      files_ = ListCurrentDir();
      InstallFaultOpsFor(GetParam());
      FailCall(op, n, forever);
      WorkContext faulty = FaultContext();
      const int result = RestoreFile(base.c_str(), &faulty);
      ExpectNoLeaks();
      RemoveFaultOps();
      const bool listing = op == FaultOp::kListFolder && n >= harmless;
      const bool read =
          op == FaultOp::kReadBlock || op == FaultOp::kOpenForRead || op == FaultOp::kQueryFileSize;
      if (!(rebuilds && read)) {
        EXPECT_EQ(result, Harmless(op) || listing ? 1 : 0);
      }
      EXPECT_TRUE(ReadFileBytes(base) == (result ? source_ : "old output"));
      EXPECT_EQ(ListCurrentDir(), files_);
      for (size_t i = 0; i < pieces_.size(); ++i) {
        const std::string piece = PieceName(base, static_cast<int>(i));
        if (!fs::exists(piece)) continue;  // lost before the restore
        EXPECT_TRUE(ReadFileBytes(piece) == pieces_[i]);
      }
    });
  }

  std::string source_;
  std::vector<std::string> pieces_;
  std::vector<std::string> files_;
};

TEST_P(EngineFaultTest, SplitFailsCleanlyAtEveryCall) {
  ResetFiles();
  InstallFaultOpsFor(GetParam());
  WorkContext work = ContextFor(GetParam());
  ASSERT_EQ(SplitFile("source.bin", Step(), &work), 1);
  const std::vector<int> counts = CallCounts();
  // Besides the pieces: the source, the list and the recovery files.
  std::vector<std::string> others;
  for (const std::string& name : ListCurrentDir()) {
    if (name.find('-') == std::string::npos) others.push_back(name);
  }
  RemoveFaultOps();
  ForEveryFault(counts, [&](FaultOp op, int n, bool forever) {
    ResetFiles();
    InstallFaultOpsFor(GetParam());
    FailCall(op, n, forever);
    WorkContext faulty = ContextFor(GetParam());
    const int result = SplitFile("source.bin", Step(), &faulty);
    ExpectNoLeaks();
    RemoveFaultOps();
    EXPECT_TRUE(ReadFileBytes("source.bin") == source_);
    if (Harmless(op)) {
      // The pieces are whole, and their list names them: they restore to the source.
      EXPECT_EQ(result, 1);
      EXPECT_EQ(ExpectCompletePieces(source_, GetParam().pieceBytes, others), pieces_.size());
      ASSERT_EQ(RestoreFile(kBase53203), 1);
      EXPECT_TRUE(ReadFileBytes(kBase53203) == source_);
    } else {
      // Every file the split made is gone again: nothing a restore could take for a set.
      EXPECT_EQ(result, 0);
      EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"source.bin"});
      EXPECT_EQ(faulty.leftBehindCount, 0u);
    }
  });
}

TEST_P(EngineFaultTest, RestoreWithItsListFailsCleanlyAtEveryCall) {
  // Either listing (for recovery files, for temporary files of killed restores) is no need of a
  // whole set's restore; with recovery files, a piece that cannot be read is rebuilt.
  RestoreFailsCleanlyAtEveryCall(
      kBase53203, 1, [] {}, GetParam().recovery != RecoveryChoice::kNone);
}

// A set with a piece missing, rebuilt from its recovery pieces, whatever fails.
TEST_P(EngineFaultTest, RestoreThatRebuildsFailsCleanlyAtEveryCall) {
  if (GetParam().recovery == RecoveryChoice::kNone) GTEST_SKIP() << "no recovery pieces";
  RestoreFailsCleanlyAtEveryCall(
      kBase53203, 2, [] { fs::remove(PieceName(kBase53203, 1)); }, true);
}

TEST_P(EngineFaultTest, RestoreWithoutAListFailsCleanlyAtEveryCall) {
  if (GetParam().recovery != RecoveryChoice::kNone) GTEST_SKIP() << "the same as without";
  // The first listing looks for a later piece (a gap), the second for temporary files of killed
  // restores.
  RestoreFailsCleanlyAtEveryCall("out", 2);
}

// Removing what a failure left behind may fail too: the result stays 0, nothing leaks, and what
// stays is named. A piece that stays keeps the unfinished list beside it, which no restore takes
// for a set.
TEST_P(EngineFaultTest, CleanupThatFailsIsStillAFailure) {
  if (GetParam().recovery != RecoveryChoice::kNone) GTEST_SKIP() << "the same as without";
  ResetFiles();
  {
    ScopedFaultOps faults;
    InstallFaultOpsFor(GetParam());
    FailCall(FaultOp::kWriteBlock, GetParam().buffers ? 4 : 3);  // in the second piece
    FailCall(FaultOp::kRemoveFile, 1);
    WorkContext work;
    EXPECT_EQ(SplitFile("source.bin", Step(), &work), 0);
    ExpectNoLeaks();
    EXPECT_EQ(work.leftBehindCount, 1u);
    EXPECT_EQ(work.leftBehind, PieceName(kBase53203, 0));
    EXPECT_EQ(ListCurrentDir(), (std::vector<std::string>{PieceName(kBase53203, 0),
                                                          std::string(kList53203), "source.bin"}));
    EXPECT_EQ(RestoreFile(kBase53203, &work), 0);
    EXPECT_EQ(work.failure.kind, FailureKind::kListUnreadable);
  }
  for (FaultOp first : {FaultOp::kWriteBlock, FaultOp::kFlushFile, FaultOp::kMoveOver}) {
    SCOPED_TRACE(FaultOpName(first));
    ResetFiles("out");
    ScopedFaultOps faults;
    InstallFaultOpsFor(GetParam());
    FailCall(first, 1);
    FailCall(FaultOp::kRemoveFile, 1);
    WorkContext work;
    EXPECT_EQ(RestoreFile("out", &work), 0);
    ExpectNoLeaks();
    EXPECT_EQ(ReadFileBytes("out"), "old output");
    EXPECT_EQ(ListCurrentDir().size(), files_.size() + 1);  // the temporary file that stayed
    EXPECT_EQ(work.leftBehindCount, 1u);
  }
}

// A file that another program holds for a moment is waited for, the same on both systems: the
// replacement of the output, and the removal of what a failed split made, try again.
TEST_P(EngineFaultTest, BriefHoldsAreWaitedOut) {
  if (GetParam().recovery != RecoveryChoice::kNone) GTEST_SKIP() << "the same as without";
  ResetFiles("out");
  ScopedFaultOps faults;
  InstallFaultOpsFor(GetParam());
  FailAsHeld(true);
  FailCall(FaultOp::kMoveOver, 1);
  EXPECT_EQ(RestoreFile("out"), 1);
  EXPECT_EQ(CallCount(FaultOp::kMoveOver), 2);
  EXPECT_TRUE(ReadFileBytes("out") == source_);
  ResetFiles();
  FailCall(FaultOp::kWriteBlock, CallCount(FaultOp::kWriteBlock) + 3);  // in the second piece
  FailCall(FaultOp::kRemoveFile, CallCount(FaultOp::kRemoveFile) + 1);
  WorkContext work;
  EXPECT_EQ(SplitFile("source.bin", Step(), &work), 0);
  EXPECT_EQ(work.leftBehindCount, 0u);
  EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"source.bin"});
}

INSTANTIATE_TEST_SUITE_P(Modes, EngineFaultTest, ::testing::Values(kSmall, kLarge, kRecovery),
                         [](const ::testing::TestParamInfo<Mode>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
