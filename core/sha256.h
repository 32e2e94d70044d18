// SHA-256 (FIPS 180-4), computed as bytes stream past: the engines hash each piece while they
// copy it. The CPU's SHA extensions do the work where the CPU has them, and a portable C++ path
// everywhere else; the path is chosen once, before main.
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
