// Runs one file engine on real files for the benchmark script:
//   filecut_bench split <source> <piece size in bytes>   pieces go to the current directory
//   filecut_bench restore <base text>
// and hashes a file as the engines hash pieces, to measure SHA-256 on its own:
//   filecut_bench hash <file> [portable]   prints the digest as sha256sum does, and on stderr
//                                          which path ran; "portable" forces the portable path
// Exit code 0 when the engine returned 1 or the file was hashed.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/limits.h"
#include "core/restore.h"
#include "core/sha256.h"
#include "core/split.h"
#include "core/stream_copy.h"
#include "platform/platform.h"

namespace {

// Reads the file through the platform layer, one stream buffer at a time, into the hash.
bool HashFile(const char* path, unsigned char digest[kSha256Bytes]) {
  const StreamBuffer buffer(static_cast<char*>(AllocBlock(kStreamBufferBytes)));
  const FileHandle file = OpenForRead(path);
  uint64_t size = 0;
  bool read = buffer != nullptr && file != kNoFile && QueryFileSize(file, &size);
  Sha256 hash;
  Sha256Begin(&hash);
  while (read && size > 0) {
    const uint32_t chunk =
        size < kStreamBufferBytes ? static_cast<uint32_t>(size) : kStreamBufferBytes;
    read = ReadBlock(file, buffer.get(), chunk);
    if (read) Sha256Add(&hash, buffer.get(), chunk);
    size -= chunk;
  }
  if (file != kNoFile) CloseFile(file);
  Sha256End(&hash, digest);
  return read;
}

int Hash(const char* path, bool portable) {
  Sha256ForcePortable(portable);
  std::fprintf(stderr, "sha256: %s\n", Sha256UsesShaExtensions() ? "SHA extensions" : "portable");
  unsigned char digest[kSha256Bytes];
  if (!HashFile(path, digest)) {
    std::fprintf(stderr, "cannot read %s\n", path);
    return 1;
  }
  for (const unsigned char byte : digest) std::printf("%02x", byte);
  std::printf("  %s\n", path);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "split") == 0) {
    return SplitFile(argv[2], static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10))) ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "restore") == 0) return RestoreFile(argv[2]) ? 0 : 1;
  if (argc == 3 && std::strcmp(argv[1], "hash") == 0) return Hash(argv[2], false);
  if (argc == 4 && std::strcmp(argv[1], "hash") == 0 && std::strcmp(argv[3], "portable") == 0) {
    return Hash(argv[2], true);
  }
  std::fprintf(stderr,
               "usage: filecut_bench split <source> <piece size> | restore <base> | "
               "hash <file> [portable]\n");
  return 2;
}
