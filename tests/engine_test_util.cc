#include "tests/engine_test_util.h"

#include <cstdio>

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

std::string PieceName(const std::string& base, int index) {
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "-%02d", index);
  return base + suffix;
}

void WritePieces(const std::string& base, const std::vector<std::string>& pieces) {
  for (size_t i = 0; i < pieces.size(); ++i) {
    WriteFileBytes(PieceName(base, static_cast<int>(i)), pieces[i]);
  }
}
