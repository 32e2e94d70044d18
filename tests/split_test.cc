// Splitting real files in a fresh current directory, with the tick count fixed so that the
// piece names are known.
#include "core/split.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/checksum_list.h"
#include "core/failure.h"
#include "core/restore.h"
#include "tests/engine_test_util.h"
#include "tests/fault_ops.h"

namespace fs = std::filesystem;

namespace {

class SplitTest : public EngineTest {
 protected:
  // Splits `source` bytes and expects pieces of exactly the given sizes, holding consecutive
  // slices of the source, and no other file but their list and the source; then restores them.
  void ExpectPieces(const std::string& source, int32_t pieceSize,
                    const std::vector<size_t>& sizes) {
    for (const std::string& name : ListCurrentDir()) fs::remove(name);
    WriteFileBytes("source.bin", source);
    ASSERT_EQ(SplitFile("source.bin", pieceSize), 1);
    std::vector<std::string> expectedNames = {"source.bin", std::string(kList53203)};
    size_t offset = 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
      const std::string name = PieceName(kBase53203, static_cast<int>(i));
      expectedNames.push_back(name);
      EXPECT_EQ(ReadFileBytes(name), source.substr(offset, sizes[i])) << name;
      offset += sizes[i];
    }
    EXPECT_EQ(offset, source.size());
    std::sort(expectedNames.begin(), expectedNames.end());
    EXPECT_EQ(ListCurrentDir(), expectedNames);
    EXPECT_EQ(ReadFileBytes("source.bin"), source);

    ASSERT_EQ(RestoreFile(kBase53203), 1);
    EXPECT_EQ(ReadFileBytes(kBase53203), source);
    fs::remove(kBase53203);
  }
};

TEST_F(SplitTest, PieceLayouts) {
  ExpectPieces(PatternBytes(1000), 300, {300, 300, 300, 100});
}

TEST_F(SplitTest, ExactMultipleHasNoTrailingEmptyPiece) {
  ExpectPieces(PatternBytes(900), 300, {300, 300, 300});
}

TEST_F(SplitTest, EmptySourceGivesOneEmptyPiece) {
  ExpectPieces("", 300, {0});
}

TEST_F(SplitTest, PieceAtLeastAsLargeAsSourceGivesOnePiece) {
  ExpectPieces(PatternBytes(300), 300, {300});
  ExpectPieces(PatternBytes(299), 0x7FFFFFFF, {299});
}

TEST_F(SplitTest, NegativeSizeCountsAsHugeUnsigned) {
  // 2048 MB wraps to -2^31 as a signed 32-bit number.
  ExpectPieces(PatternBytes(5000), INT32_MIN, {5000});
  ExpectPieces(PatternBytes(10), -1, {10});
}

TEST_F(SplitTest, OneBytePiecesTakeThreeDigitIndicesFrom100) {
  const std::string source = PatternBytes(101);
  std::vector<size_t> sizes(101, 1);
  ExpectPieces(source, 1, sizes);
  EXPECT_TRUE(fs::exists("53203-99"));
  EXPECT_TRUE(fs::exists("53203-100"));
  EXPECT_FALSE(fs::exists("53203-100-"));
}

TEST_F(SplitTest, BaseNumberFollowsTheTickCount) {
  WriteFileBytes("a", "abc");
  FixTickCount(0);  // the first draw is 0, so the fraction and the base are 0
  ASSERT_EQ(SplitFile("a", 2), 1);
  EXPECT_EQ(ReadFileBytes("0-00"), "ab");
  EXPECT_EQ(ReadFileBytes("0-01"), "c");
}

TEST_F(SplitTest, TakenNamesMakeTheGeneratorDrawAgain) {
  // The next draw after 0.53204 from the same tick is 0.29195: base 29194. A name of the set is
  // taken by an older set cut within the same tick, by a file named like its list, its output
  // or a piece of it (past the end of the new set too), or by a folder.
  WriteFileBytes("first", "1111111111");
  WriteFileBytes("second", "22222");
  ASSERT_EQ(SplitFile("first", 3), 1);
  for (const char* taken : {"", "53203.sha256", "53203", "53203-01", "53203-02"}) {
    SCOPED_TRACE(taken);
    for (const std::string& name : ListCurrentDir()) {
      if (name.starts_with("29194")) fs::remove(name);
    }
    if (*taken && !fs::exists(taken)) fs::create_directory(taken);
    const std::vector<std::string> before = ListCurrentDir();
    ASSERT_EQ(SplitFile("second", 3), 1);
    EXPECT_EQ(ReadFileBytes("29194-00"), "222");
    EXPECT_EQ(ReadFileBytes("29194-01"), "22");
    EXPECT_FALSE(fs::exists("29194-02"));
    for (const std::string& name : before) EXPECT_TRUE(fs::exists(name));  // nothing replaced
  }
  EXPECT_EQ(ReadFileBytes("53203-00"), "111");
}

TEST_F(SplitTest, RefusesWithoutCreatingAnything) {
  WriteFileBytes("source.bin", "abcdef");
  EXPECT_EQ(SplitFile("missing.bin", 3), 0);
  EXPECT_EQ(SplitFile("source.bin", 0), 0);  // no progress possible
  EXPECT_EQ(SplitFile("", 3), 0);
  fs::create_directory("folder");
  EXPECT_EQ(SplitFile("folder", 3), 0);
  EXPECT_EQ(ListCurrentDir(), (std::vector<std::string>{"folder", "source.bin"}));
}

TEST_F(SplitTest, SourceAndListMustFitInTheFreeSpace) {
  const std::string source = PatternBytes(1000);
  ExpectPieces(source, 300, {300, 300, 300, 100});
  const uint64_t listBytes = fs::file_size(std::string(kList53203));
  for (const std::string& name : ListCurrentDir()) fs::remove(name);
  FixFreeSpace(999 + listBytes);
  WriteFileBytes("source.bin", source);
  EXPECT_EQ(SplitFile("source.bin", 300), 0);
  EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"source.bin"});
  FixFreeSpace(1000 + listBytes);  // exactly enough
  ExpectPieces(source, 300, {300, 300, 300, 100});
  FixFreeSpace(uint64_t{1} << 32);  // more than 32 bits hold
  ExpectPieces(source, 300, {300, 300, 300, 100});
}

TEST_F(SplitTest, SourceNamedLikeAPieceIsNeverReplaced) {
  // That base is taken, and the split draws another.
  const std::string source = PatternBytes(1000);
  WriteFileBytes("53203-01", source);
  ASSERT_EQ(SplitFile("53203-01", 300), 1);
  EXPECT_TRUE(ReadFileBytes("53203-01") == source);
  EXPECT_TRUE(ReadFileBytes("29194-01") == source.substr(300, 300));
}

TEST_F(SplitTest, SourceChangedWhileItIsCutFailsNamingIt) {
  // Before the second piece's read: bytes appended, the first ones written again at the same
  // size, or the source cut short in that piece. Its time is set back an hour first, so that a
  // write within the clock's last tick changes it all the same.
  const std::function<void()> changes[] = {
      [] { std::ofstream("source.bin", std::ios::binary | std::ios::app) << "more"; },
      [] { std::fstream("source.bin", std::ios::binary | std::ios::in | std::ios::out) << "X"; },
      [] { fs::resize_file("source.bin", 500); }};
  for (const auto& change : changes) {
    WriteFileBytes("source.bin", PatternBytes(1000));
    fs::last_write_time("source.bin", fs::last_write_time("source.bin") - std::chrono::hours(1));
    BeforeCall(FaultOp::kReadBlock, CallCount(FaultOp::kReadBlock) + 2, change);
    WorkContext work;
    EXPECT_EQ(SplitFile("source.bin", 300, &work), 0);
    EXPECT_EQ(work.failure.kind, FailureKind::kSourceChanged);
    EXPECT_EQ(work.failure.file, "source.bin");
    EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"source.bin"});
  }
}

TEST_F(SplitTest, AMillionNamesAreCheckedWithinASecond) {
  // A million pieces of a byte, beside a million names of base 53203's set (a listing made up
  // here): the free space is asked first, and the names take one listing, however many.
  WriteFileBytes("source.bin", std::string(1000000, 'x'));
  static std::vector<std::string> names;
  for (uint32_t index = 0; index < 1000000; ++index) names.push_back(PieceName(kBase53203, index));
  UnderlyingOps().listFolder = [](const char*, bool (*visit)(void*, const char*), void* data) {
    for (const std::string& name : names) visit(data, name.c_str());
    return true;
  };
  FixFreeSpace(1000000);  // the pieces' bytes, but not their list
  WorkContext work;
  EXPECT_EQ(SplitFile("source.bin", 1, &work), 0);
  EXPECT_EQ(work.failure.kind, FailureKind::kNoRoom);
  EXPECT_EQ(CallCount(FaultOp::kListFolder), 0);
  // With room, stopped once the first piece is written: under the next base, 29194.
  FixFreeSpace(uint64_t{1} << 40);
  work.stopCheck = [](void*) { return fs::exists("29194-00"); };
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(SplitFile("source.bin", 1, &work), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(work.failure.kind, FailureKind::kStopped);
  EXPECT_EQ(CallCount(FaultOp::kLookUpName), 0);
  EXPECT_EQ(CallCount(FaultOp::kCreateNew), 2);  // the list and piece 00
  EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"source.bin"});
}

TEST_F(SplitTest, MoreThan2To31PiecesAreRefused) {
  // Piece indices are signed 32-bit numbers; a sparse source costs no disk space.
  MakeSparseFile("big.bin", (uint64_t{1} << 31) + 1);
  EXPECT_EQ(SplitFile("big.bin", 1), 0);
  EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"big.bin"});
}

}  // namespace
