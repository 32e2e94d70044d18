// Runs one file engine on real files for the benchmark script:
//   filecut_bench split <source> <piece size in bytes> [1|2|3|tenth]
//                                          pieces go to the current directory, with as many
//                                          recovery pieces as the last word says
//   filecut_bench restore <base text>
// and hashes a file as the engines hash pieces, to measure SHA-256 on its own:
//   filecut_bench hash <file> [path]       prints the digest as sha256sum does, and on stderr
//                                          which path ran: the first of this CPU, or the one
//                                          named (a path of SHA-256 for one stream: "portable")
// and measures the hashes and the arithmetic of the recovery pieces in memory, every path of
// this CPU:
//   filecut_bench kernels [what]           one line per path and shape, in MB/s; `what` (sha256,
//                                          md5, crc32 or gf16) measures that one alone
// Exit code 0 when the engine returned 1 or the file was hashed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/crc32.h"
#include "core/gf16.h"
#include "core/limits.h"
#include "core/md5.h"
#include "core/restore.h"
#include "core/sha256.h"
#include "core/split.h"
#include "core/stream_copy.h"
#include "platform/platform.h"

namespace {

// Reads the file through the platform layer, one stream buffer at a time, into the hash.
bool HashFile(const Sha256Path& on, const char* path, unsigned char digest[kSha256Bytes]) {
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
    if (read) Sha256AddOn(on, &hash, buffer.get(), chunk);
    size -= chunk;
  }
  if (file != kNoFile) CloseFile(file);
  Sha256EndOn(on, &hash, digest);
  return read;
}

// Hashes the file on the path called `name`, or on the first where it is null.
int Hash(const char* path, const char* name) {
  const Sha256Path* on = &Sha256Paths().front();
  for (const Sha256Path& other : Sha256Paths()) {
    if (name != nullptr && std::strcmp(other.name, name) == 0) on = &other;
  }
  if (name != nullptr && std::strcmp(on->name, name) != 0) {
    std::fprintf(stderr, "no SHA-256 path %s on this CPU\n", name);
    return 2;
  }
  std::fprintf(stderr, "sha256: %s\n", on->name);
  unsigned char digest[kSha256Bytes];
  if (!HashFile(*on, path, digest)) {
    std::fprintf(stderr, "cannot read %s\n", path);
    return 1;
  }
  for (const unsigned char byte : digest) std::printf("%02x", byte);
  std::printf("  %s\n", path);
  return 0;
}

// MB/s of `bytes` bytes per call of `run`: the best of three runs of about 0.2 s each.
template <typename Run>
double Throughput(double bytes, Run run) {
  double best = 0;
  for (int round = 0; round < 3; ++round) {
    const auto start = std::chrono::steady_clock::now();
    double seconds = 0;
    long calls = 0;
    for (; seconds < 0.2; ++calls) {
      run();
      seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (calls * bytes / seconds > best) best = calls * bytes / seconds;
  }
  return best / 1e6;
}

void Report(const char* what, const char* path, double megabytesPerSecond) {
  std::printf("%-34s %-9s %8.0f MB/s\n", what, path, megabytesPerSecond);
}

// Every path of SHA-256 of one stream and of several, over 1 MiB per stream in memory.
void Sha256Kernels(const unsigned char* const data[10], size_t stream) {
  Sha256 hashes[10];
  Sha256* lanes[10];
  for (int i = 0; i < 10; ++i) {
    Sha256Begin(&hashes[i]);
    lanes[i] = &hashes[i];
  }
  for (const Sha256Path& path : Sha256Paths()) {
    Report("SHA-256, 1 stream", path.name,
           Throughput(stream, [&] { Sha256AddOn(path, &hashes[0], data[0], stream); }));
  }
  for (const Sha256LanePath& path : Sha256LanePaths()) {
    for (const size_t streams : {8, 10}) {
      const double rate = Throughput(streams * stream,
                                     [&] { Sha256AddLanesOn(path, lanes, data, streams, stream); });
      Report(streams == 8 ? "SHA-256, 8 streams side by side" : "SHA-256, 10 streams side by side",
             path.name, rate);
    }
  }
}

// Every path of MD5, CRC-32 and GfMultiplyAdd over bytes in memory: 1 MiB per stream, and for
// GfMultiplyAdd regions of 256 KiB, counted as the bytes of the inputs times the outputs. Those
// that `what` names, or all where it is null.
int Kernels(const char* what) {
  const auto wanted = [&](const char* name) {
    return what == nullptr || std::strcmp(what, name) == 0;
  };
  constexpr size_t kStream = 1 << 20, kRegion = 256 << 10;
  std::vector<unsigned char> bytes(10 * kStream);
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<unsigned char>(i * 2654435761u >> 13);
  Md5 hashes[10];
  Md5* lanes[10];
  const unsigned char* data[10];
  for (int i = 0; i < 10; ++i) {
    Md5Begin(&hashes[i]);
    lanes[i] = &hashes[i];
    data[i] = bytes.data() + i * kStream;
  }
  if (wanted("sha256")) Sha256Kernels(data, kStream);
  if (wanted("md5")) {
    Report("MD5, 1 stream", "portable",
           Throughput(kStream, [&] { Md5Add(&hashes[0], data[0], kStream); }));
  }
  for (const Md5LanePath& path : wanted("md5") ? Md5LanePaths() : std::span<const Md5LanePath>()) {
    for (const size_t streams : {8, 10}) {
      const double rate = Throughput(streams * kStream,
                                     [&] { Md5AddLanesOn(path, lanes, data, streams, kStream); });
      Report(streams == 8 ? "MD5, 8 streams side by side" : "MD5, 10 streams side by side",
             path.name, rate);
    }
  }
  uint32_t crc = 0;
  for (const Crc32Path& path : wanted("crc32") ? Crc32Paths() : std::span<const Crc32Path>()) {
    Report("CRC-32", path.name,
           Throughput(kStream, [&] { crc = path.add(crc, data[0], kStream); }));
  }
  const struct {
    const char* what;
    size_t inputs, outputs;
    uint16_t factor;  // of every pair; 0 for a different factor each
  } kShapes[] = {{"GfMultiplyAdd 1 x 1, factor 1", 1, 1, 1},
                 {"GfMultiplyAdd 1 x 1, factor 0x1234", 1, 1, 0x1234},
                 {"GfMultiplyAdd 8 x 11", 8, 11, 0}};
  std::vector<unsigned char> outputs(11 * kRegion);
  unsigned char* dst[11];
  for (int j = 0; j < 11; ++j) dst[j] = outputs.data() + j * kRegion;
  for (const GfPath& path : wanted("gf16") ? GfPaths() : std::span<const GfPath>()) {
    for (const auto& shape : kShapes) {
      std::vector<uint16_t> factors(shape.inputs * shape.outputs, shape.factor);
      for (size_t k = 0; k < factors.size() && shape.factor == 0; ++k) {
        factors[k] = GfPower(Par2InputConstant(static_cast<uint32_t>(k % shape.inputs)),
                             static_cast<uint32_t>(k / shape.inputs + 1));
      }
      Report(shape.what, path.name, Throughput(double(kRegion) * shape.inputs * shape.outputs, [&] {
               path.multiplyAdd(data, shape.inputs, dst, shape.outputs, factors.data(), kRegion);
             }));
    }
  }
  return 0;
}

// The recovery pieces that a word asks for.
RecoveryChoice RecoveryOf(const char* word) {
  if (std::strcmp(word, "tenth") == 0) return RecoveryChoice::kTenth;
  const char choices[] = "123";
  const char* at = std::strchr(choices, word[0]);
  return at && word[1] == '\0' && *at ? static_cast<RecoveryChoice>(at - choices + 1)
                                      : RecoveryChoice::kNone;
}

}  // namespace

int main(int argc, char** argv) {
  if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "split") == 0) {
    WorkContext work;
    if (argc == 5) work.recovery = RecoveryOf(argv[4]);
    const uint32_t piece = static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10));
    return SplitFile(argv[2], piece, &work) ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "restore") == 0) return RestoreFile(argv[2]) ? 0 : 1;
  if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "hash") == 0) {
    return Hash(argv[2], argc == 4 ? argv[3] : nullptr);
  }
  if ((argc == 2 || argc == 3) && std::strcmp(argv[1], "kernels") == 0) {
    return Kernels(argc == 3 ? argv[2] : nullptr);
  }
  std::fprintf(stderr,
               "usage: filecut_bench split <source> <piece size> [1|2|3|tenth] | restore <base> | "
               "hash <file> [path] | kernels [sha256|md5|crc32|gf16]\n");
  return 2;
}
