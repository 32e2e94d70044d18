// Splitting real files in a fresh current directory, with the tick count fixed so that the
// piece names are known.
#include "core/split.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/failure.h"
#include "core/restore.h"
#include "tests/engine_test_util.h"
#include "tests/fault_ops.h"

namespace fs = std::filesystem;

namespace {

class SplitTest : public EngineTest {
 protected:
  // Splits `source` bytes and expects pieces of exactly the given sizes, holding consecutive
  // slices of the source, and no other file but the source; then restores them.
  void ExpectPieces(const std::string& source, int32_t pieceSize,
                    const std::vector<size_t>& sizes) {
    for (const std::string& name : ListCurrentDir()) fs::remove(name);
    WriteFileBytes("source.bin", source);
    ASSERT_EQ(SplitFile("source.bin", pieceSize), 1);
    std::vector<std::string> expectedNames = {"source.bin"};
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

TEST_F(SplitTest, SameTickReusesTheBaseAndOverwrites) {
  WriteFileBytes("first", "1111111111");
  WriteFileBytes("second", "22222");
  ASSERT_EQ(SplitFile("first", 3), 1);
  ASSERT_EQ(SplitFile("second", 3), 1);
  EXPECT_EQ(ReadFileBytes("53203-00"), "222");
  EXPECT_EQ(ReadFileBytes("53203-01"), "22");
  // The first split's later pieces stay, as nothing removes them.
  EXPECT_EQ(ReadFileBytes("53203-02"), "111");
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

TEST_F(SplitTest, SourceMustFitInTheFreeSpace) {
  const std::string source = PatternBytes(1000);
  FixFreeSpace(0);
  ExpectPieces("", 300, {0});  // nothing to store: an empty piece still goes
  fs::remove(PieceName(kBase53203, 0));
  FixFreeSpace(999);
  WriteFileBytes("source.bin", source);
  EXPECT_EQ(SplitFile("source.bin", 300), 0);
  EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"source.bin"});
  FixFreeSpace(1000);  // exactly enough
  ExpectPieces(source, 300, {300, 300, 300, 100});
  FixFreeSpace(uint64_t{1} << 32);  // more than 32 bits hold
  ExpectPieces(source, 300, {300, 300, 300, 100});
}

TEST_F(SplitTest, NeverCreatesAPieceThatIsTheSource) {
  // The source is a piece name: by that name, another spelling of it, or a hard link. With or
  // without a failing write, the split stops there with the source intact.
  struct Case {
    const char* path;
    const char* link;
  };
  const Case cases[] = {
      {"53203-01", nullptr}, {"./53203-00", nullptr}, {"elsewhere/source", "53203-01"}};
  const std::string source = PatternBytes(1000);
  fs::create_directory("elsewhere");
  for (const Case& c : cases) {
    for (bool failWrite : {false, true}) {
      SCOPED_TRACE(std::string(c.path) + (failWrite ? " w" : ""));
      for (const std::string& name : ListCurrentDir()) {
        if (name != "elsewhere") fs::remove(name);
      }
      WriteFileBytes(c.path, source);
      if (c.link) fs::create_hard_link(c.path, c.link);
      FailCall(FaultOp::kWriteBlock, failWrite ? CallCount(FaultOp::kWriteBlock) + 1 : 0);
      EXPECT_EQ(SplitFile(c.path, 300), 0);
      EXPECT_TRUE(ReadFileBytes(c.path) == source);
      const bool pieceBefore = std::string(c.link ? c.link : c.path).ends_with("01");
      EXPECT_EQ(fs::exists("53203-00") && ReadFileBytes("53203-00") == source.substr(0, 300),
                pieceBefore && !failWrite);
      EXPECT_FALSE(fs::exists("53203-02"));
      // The first failure is the reason: a failed write of piece 00, or the source met as a piece.
      EXPECT_EQ(LastFailure().kind,
                pieceBefore && failWrite ? FailureKind::kSystem : FailureKind::kPieceIsSource);
    }
  }
}

TEST_F(SplitTest, MoreThan2To31PiecesAreRefused) {
  // Piece indices are signed 32-bit numbers; a sparse source costs no disk space.
  MakeSparseFile("big.bin", (uint64_t{1} << 31) + 1);
  EXPECT_EQ(SplitFile("big.bin", 1), 0);
  EXPECT_EQ(ListCurrentDir(), std::vector<std::string>{"big.bin"});
}

}  // namespace
