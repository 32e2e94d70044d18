// MD5 (RFC 1321), computed as bytes stream past: the PAR 2.0 format names every file and
// slice by its MD5. One stream is inherently serial and slow, so several independent streams
// (the pieces of a set) can also be hashed side by side, one in each 32-bit lane of the
// widest vector registers the CPU has (asked once, before main).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

constexpr size_t kMd5Bytes = 16;

// An MD5 in progress: fed bytes in pieces of any size, in order.
struct Md5 {
  uint32_t state[4];
  uint64_t length;            // bytes fed so far
  unsigned char partial[64];  // the bytes of an unfinished block
};

void Md5Begin(Md5* hash);
void Md5Add(Md5* hash, const void* bytes, size_t count);
// Stores the digest of what was fed so far and leaves `hash` as it was, so that a hash can be
// finished at a point and go on (the MD5 of a file and of its zero-padded slice share a stream).
void Md5End(const Md5* hash, unsigned char digest[kMd5Bytes]);

// Feeds `count` bytes to each of `lanes` hashes at once, hashes[i] from data[i]; every hash
// must have been fed the same number of bytes modulo 64. The same results as Md5Add on each.
void Md5AddLanes(Md5* const* hashes, const unsigned char* const* data, size_t lanes, size_t count);

// Runs the compression of `count` whole 64-byte blocks for each of `lanes` hashes (at most a
// path's width), hashes[i] from blocks[i], leaving `length` and `partial` alone.
typedef void (*Md5LaneBlocksFunction)(Md5* const* hashes, const unsigned char* const* blocks,
                                      size_t lanes, size_t count);

// One way of hashing several streams side by side, `width` of them at a time.
struct Md5LanePath {
  const char* name;
  size_t width;
  Md5LaneBlocksFunction blocks;
};

// The paths this CPU can run, widest first: the first is the one Md5AddLanes uses, the last
// the portable one, one stream at a time.
std::span<const Md5LanePath> Md5LanePaths();

// Md5AddLanes on `path` (one of Md5LanePaths()): groups of its width, and the streams left
// over on it or on a narrower path of the list, whichever is faster.
void Md5AddLanesOn(const Md5LanePath& path, Md5* const* hashes, const unsigned char* const* data,
                   size_t lanes, size_t count);
