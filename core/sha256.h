// SHA-256 (FIPS 180-4), computed as bytes stream past: the engines hash each piece while they
// copy it. The CPU's SHA extensions do the work where the CPU has them (asked once, before
// main); a portable C++ path does it everywhere else.
#pragma once

#include <cstddef>
#include <cstdint>

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

// Whether the CPU's SHA extensions are in use (for the benchmark's and tests' labels).
bool Sha256UsesShaExtensions();
// For tests and the benchmark: true forces the portable path from now on, false goes back to
// the best path of the CPU. Not to be called while a hash is being computed on another thread.
void Sha256ForcePortable(bool portable);
