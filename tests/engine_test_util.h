// Shared set-up for the split and restore tests.
#pragma once

#include <string>

#include "core/piece_name.h"
#include "tests/temp_dir.h"

// With the tick count fixed at 1 the generator draws 0.53204, so the base number is 53203.
constexpr unsigned kTickForBase53203 = 1;
inline const char kBase53203[] = "53203";
// Its checksum list.
inline const char kList53203[] = "53203.sha256";

// A fresh current directory, the counting platform operations with the tick count fixed (so
// the base number is 53203), and a check afterwards that nothing was left open or allocated.
class EngineTest : public TempDirTest {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// Expects the current directory to hold, besides the names in `others`, only the pieces
// 53203-00, 53203-01, ... of `source` cut every `pieceSize` bytes: from 00 on without a gap,
// each one complete. Returns how many there are.
size_t ExpectCompletePieces(const std::string& source, size_t pieceSize,
                            const std::vector<std::string>& others);
// Writes the pieces base-00, base-01, ... with the given contents.
void WritePieces(const std::string& base, const std::vector<std::string>& pieces);
