// The restore command's handling of the path line: any text, of any length (the line holds paths
// of up to the 32,767 characters that Windows allows), is cut by BaseOfPiece and handed to
// RestoreFile. The file system is replaced by an in-memory one in
// which the pieces 00 to 02 of every base exist, so that no real file is touched and every path
// runs the whole join. The fake starts from operations that abort naming themselves, so an
// operation that the restore uses and the fake lacks stops the first input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/piece_name.h"
#include "core/restore.h"
#include "platform/platform.h"

namespace {

// An operation that names itself and aborts: every operation of the fake until it is replaced.
template <typename Op>
struct Loud;
template <typename Result, typename... Args>
struct Loud<Result (*)(Args...)> {
  template <const char* Name>
  static Result Call(Args...) {
    std::fprintf(stderr, "platform operation %s is not faked\n", Name);
    std::abort();
  }
};
#define FILECUT_LOUD(member)                      \
  static constexpr char member##Name[] = #member; \
  ops.member = &Loud<decltype(ops.member)>::Call<member##Name>;
#define FILECUT_COUNT(member) +1

// Every operation of the platform, once.
// clang-format off
#define FILECUT_ALL_OPS(X)                                                                  \
  X(openForRead) X(createNew) X(lookUpName) X(isReadOnly) X(queryFileSize) X(queryFileState) \
  X(rewindFile) X(readBlock) X(writeBlock) X(readBlockAt) X(writeBlockAt) X(closeFile)        \
  X(moveOver) X(removeFile) X(removeUnheld) X(canReplace) X(mayBeHeld) X(nameTaken)           \
  X(freeSpace) X(listFolder) X(flushFile) X(startHelper) X(endHelper) X(tickCount) X(sleep)   \
  X(lastError) X(errorText) X(allocBlock) X(freeBlock)
// clang-format on

PlatformOps LoudPlatformOps() {
  PlatformOps ops;
  FILECUT_ALL_OPS(FILECUT_LOUD)
  // An operation added to the platform makes the table larger and must be listed above.
  static_assert(sizeof ops == (0 FILECUT_ALL_OPS(FILECUT_COUNT)) * sizeof ops.openForRead,
                "an operation is not listed");
  return ops;
}

int g_open = 0;

// Pieces "...-00" to "...-02" exist, and so does anything without a piece suffix.
NameLookup FakeLookUpName(const char* path, uint64_t* size) {
  const size_t n = std::strlen(path);
  if (n < 3 || path[n - 3] != '-') return NameLookup::kMissing;
  if (path[n - 2] != '0' || path[n - 1] < '0' || path[n - 1] > '2') return NameLookup::kMissing;
  *size = 5;
  return NameLookup::kFound;
}
FileHandle FakeOpen(const char*) {
  return ++g_open, 3;
}
bool FakeSize(FileHandle, uint64_t* size) {
  return *size = 5, true;
}
bool FakeRead(FileHandle, void* buffer, uint32_t count) {
  std::memset(buffer, 'x', count);
  return true;
}
bool FakeWrite(FileHandle, const void* buffer, uint32_t count) {
  // Touch every byte so that AddressSanitizer sees any overrun of the buffer (a piece per write).
  uint32_t sum = 0;
  for (uint32_t i = 0; i < count; ++i) sum += static_cast<const uint8_t*>(buffer)[i];
  return count == 5 && sum == 5u * 'x';
}
void FakeClose(FileHandle) {
  --g_open;
}
FileHandle FakeCreateNew(const char*) {
  return ++g_open, 3;  // only the temporary file is created
}
bool FakeMove(const char*, const char*) {
  return true;
}
bool FakeRemove(const char*) {
  return true;
}
bool FakeFlush(FileHandle) {
  return true;
}
bool FakeFreeSpace(const char*, uint64_t* bytes) {
  return *bytes = 1000, true;
}
bool FakeReadOnly(const char*) {
  return false;
}
bool FakeCanReplace(const char*) {
  return true;
}
bool FakeList(const char*, bool (*)(void*, const char*), void*) {
  return true;  // no later piece
}

// Memory, the clock and error codes are the real ones; every file operation is faked.
void InstallFakeFileSystem() {
  PlatformOps ops = LoudPlatformOps();
  ops.allocBlock = RealPlatformOps().allocBlock;
  ops.freeBlock = RealPlatformOps().freeBlock;
  ops.lastError = RealPlatformOps().lastError;
  ops.tickCount = RealPlatformOps().tickCount;
  ops.lookUpName = FakeLookUpName;
  ops.openForRead = FakeOpen;
  ops.queryFileSize = FakeSize;
  ops.readBlock = FakeRead;
  ops.writeBlock = FakeWrite;
  ops.closeFile = FakeClose;
  ops.createNew = FakeCreateNew;
  ops.moveOver = FakeMove;
  ops.removeFile = FakeRemove;
  ops.freeSpace = FakeFreeSpace;
  ops.flushFile = FakeFlush;
  ops.listFolder = FakeList;
  ops.isReadOnly = FakeReadOnly;
  ops.canReplace = FakeCanReplace;
  SetPlatformOps(ops);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool installed = (InstallFakeFileSystem(), true);
  (void)installed;
  // The path line's text ends at the first NUL.
  const std::string whole(reinterpret_cast<const char*>(data), size);
  const std::string path = whole.substr(0, whole.find('\0'));
  const size_t textLength = path.size();
  // A text of fewer than three characters has no base. Characters are counted as a person
  // counts them: a lead byte (11xxxxxx) with the up to three continuation bytes (10xxxxxx) after
  // it is one, and any other byte is one of its own.
  size_t characters = 0;
  for (size_t at = 0; at < textLength; ++characters) {
    const bool lead = (static_cast<unsigned char>(path[at++]) & 0xC0) == 0xC0;
    for (int more = 0; lead && more < 3 && (static_cast<unsigned char>(path[at]) & 0xC0) == 0x80;
         ++more) {
      ++at;
    }
  }
  FilePath base;
  if (!BaseOfPiece(FilePath(path), &base)) {
    if (characters >= 3) std::abort();
    return 0;
  }
  if (characters < 3) std::abort();
  // Three characters go: three bytes, or more where the last ones are UTF-8 of several bytes.
  if (base.value().size() > textLength - 3) std::abort();
  // Every set restores, but to an empty base, which names no file to write.
  const int result = RestoreFile(base.c_str());
  if (result != (base.empty() ? 0 : 1) || g_open != 0) std::abort();
  return 0;
}
