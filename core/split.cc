#include "core/split.h"

#include "conv/random.h"
#include "core/limits.h"
#include "core/piece_name.h"
#include "core/whole_file.h"
#include "platform/platform.h"

namespace {

// Whether `size` more bytes fit on the volume of the current directory, where the pieces go.
// The pieces together hold exactly the source's bytes. An unknown free space counts as too
// little: nothing is created when the outcome cannot be foreseen.
bool FitsInCurrentFolder(uint32_t size) {
  uint64_t free = 0;
  return FreeSpace(".", &free) && size <= free;
}

// Reads the whole file into a new block. Returns null, with nothing left open or allocated,
// when the file cannot be opened, is too large, cannot be read whole, or would not fit as
// pieces in the current folder; that is known from its size, before any byte is read.
char* ReadWholeFile(const char* path, uint32_t* size) {
  FileHandle source = OpenForRead(path);
  if (source == kNoFile) return nullptr;
  uint32_t low = 0;
  uint32_t high = 0;
  char* block = nullptr;
  if (GetFileSize32(source, &low, &high) && high == 0 && low <= kMaxFileBytes &&
      FitsInCurrentFolder(low)) {
    block = static_cast<char*>(AllocBlock(low));
    if (block && !ReadBlock(source, block, low)) {
      FreeBlock(block);
      block = nullptr;
    }
  }
  CloseFile(source);
  *size = low;
  return block;
}

// Draws the base number of the piece names: 0 to 99998.
int32_t DrawBaseNumber() {
  SeedRandom();
  return static_cast<int32_t>(RandomFraction() * 99999.0);
}

}  // namespace

int SplitFile(const char* sourcePath, int32_t pieceSize) {
  // A size of 0 would make no progress and write empty pieces without end.
  if (pieceSize == 0) return 0;
  const uint32_t step = static_cast<uint32_t>(pieceSize);

  uint32_t size = 0;
  char* block = ReadWholeFile(sourcePath, &size);
  if (!block) return 0;

  const int32_t base = DrawBaseNumber();
  int result = 0;
  for (uint32_t index = 0;; ++index) {
    char name[kPieceNameBytes];
    if (!FormatPieceName(name, base, index)) break;
    // The source is below 2 GiB, so the offset never wraps while pieces remain.
    const uint32_t offset = index * step;
    const uint32_t remaining = size - offset;
    const uint32_t count = remaining < step ? remaining : step;
    if (!WriteWholeFile(name, block + offset, count)) break;
    if (offset + count >= size) {
      result = 1;
      break;
    }
  }
  FreeBlock(block);
  return result;
}
