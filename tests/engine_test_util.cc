#include "tests/engine_test_util.h"

#include <algorithm>
#include <filesystem>

#include "tests/fault_ops.h"

void EngineTest::SetUp() {
  TempDirTest::SetUp();
  InstallFaultOps();
  FixTickCount(kTickForBase53203);
}

void EngineTest::TearDown() {
  EXPECT_EQ(OpenFiles(), 0);
  EXPECT_EQ(LiveBlocks(), 0);
  RemoveFaultOps();
  TempDirTest::TearDown();
}

void WritePieces(const std::string& base, const std::vector<std::string>& pieces) {
  for (size_t i = 0; i < pieces.size(); ++i) {
    WriteFileBytes(PieceName(base, static_cast<int>(i)), pieces[i]);
  }
}

size_t ExpectCompletePieces(const std::string& source, size_t pieceSize,
                            const std::vector<std::string>& others) {
  std::vector<std::string> expected = others;
  size_t count = 0;
  while (std::filesystem::exists(PieceName(kBase53203, static_cast<int>(count)))) {
    const std::string name = PieceName(kBase53203, static_cast<int>(count));
    EXPECT_TRUE(ReadFileBytes(name) == source.substr(count * pieceSize, pieceSize)) << name;
    expected.push_back(name);
    ++count;
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ListCurrentDir(), expected);
  return count;
}
