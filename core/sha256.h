// SHA-256 (FIPS 180-4), computed as bytes stream past: the engines hash each piece while they
// copy it, and the pass of the recovery pieces hashes all the pieces of a set side by side. One
// stream runs on the CPU's SHA extensions where it has them, and on a portable C++ path
// elsewhere; several independent streams run interleaved on the SHA extensions, or one in each
// 32-bit lane of the widest vector registers the CPU has. The paths are chosen once, before
// main.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

constexpr size_t kSha256Bytes = 32;

// A SHA-256 in progress: fed bytes in pieces of any size, in order.
struct Sha256 {
  uint32_t state[8];
  uint64_t length;            // bytes fed so far
  unsigned char partial[64];  // the bytes of an unfinished block
};

void Sha256Begin(Sha256* hash);
void Sha256Add(Sha256* hash, const void* bytes, size_t count);
// Finishes the hash and stores its 32 bytes in `digest`.
void Sha256End(Sha256* hash, unsigned char digest[kSha256Bytes]);

// Feeds `count` bytes to each of `lanes` hashes at once, hashes[i] from data[i]; every hash
// must have been fed the same number of bytes modulo 64. The same results as Sha256Add on each.
void Sha256AddLanes(Sha256* const* hashes, const unsigned char* const* data, size_t lanes,
                    size_t count);

// Runs the compression over `count` whole blocks of 64 bytes at `blocks`, in order, updating
// `state`.
typedef void (*Sha256BlockFunction)(uint32_t state[8], const unsigned char* blocks, size_t count);

// One way of hashing one stream.
struct Sha256Path {
  const char* name;
  Sha256BlockFunction blocks;
};

// The paths this CPU can run, the one Sha256Add and Sha256End use first, the portable one last.
std::span<const Sha256Path> Sha256Paths();

// Sha256Add and Sha256End on `path`, one of Sha256Paths().
void Sha256AddOn(const Sha256Path& path, Sha256* hash, const void* bytes, size_t count);
void Sha256EndOn(const Sha256Path& path, Sha256* hash, unsigned char digest[kSha256Bytes]);

// Runs the compression of `count` whole 64-byte blocks for each of `lanes` hashes (at most a
// path's width), hashes[i] from blocks[i], leaving `length` and `partial` alone.
typedef void (*Sha256LaneBlocksFunction)(Sha256* const* hashes, const unsigned char* const* blocks,
                                         size_t lanes, size_t count);

// One way of hashing several streams side by side, `width` of them at a time.
struct Sha256LanePath {
  const char* name;
  size_t width;
  Sha256LaneBlocksFunction blocks;
};

// The paths this CPU can run: the first is the one Sha256AddLanes uses (the SHA extensions'
// where the CPU has them, else the widest vector registers'), the last the portable one, one
// stream at a time.
std::span<const Sha256LanePath> Sha256LanePaths();

// Sha256AddLanes on `path` (one of Sha256LanePaths()): groups of its width, and the streams
// left over as one smaller group, which the path runs as fast as it can (fewer streams side by
// side, or one at a time).
void Sha256AddLanesOn(const Sha256LanePath& path, Sha256* const* hashes,
                      const unsigned char* const* data, size_t lanes, size_t count);
