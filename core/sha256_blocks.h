// What core/sha256.cc and core/sha256_lanes.cc share with each other and with the per-processor
// files: the round constants, the portable block function, and the lists of paths that only
// some processors have.
#pragma once

#include <cstdint>
#include <span>

#include "core/sha256.h"

// The 64 round constants, aligned so that vector code can add four of them straight from
// memory.
alignas(16) extern const uint32_t kSha256RoundConstants[64];

// The portable block function, of every processor, for one stream and for several one at a
// time.
void Sha256PortableBlocks(uint32_t state[8], const unsigned char* blocks, size_t count);
void Sha256PortableLaneBlocks(Sha256* const* hashes, const unsigned char* const* blocks,
                              size_t lanes, size_t count);

// The path of the CPU's SHA extensions for one stream, or none (always none on processors
// other than x86). Asks the CPU on every call; core/sha256.cc asks once.
std::span<const Sha256Path> Sha256ExtensionPaths();

// The paths of several streams that this CPU can run besides the portable one: the SHA
// extensions', AVX-512's (which only the 64-bit builds have) and those of SSE2 and AVX2, each
// fastest first; none on processors other than x86. Ask the CPU on every call;
// core/sha256_lanes.cc asks once.
std::span<const Sha256LanePath> Sha256ExtensionLanePaths();
std::span<const Sha256LanePath> Sha256Avx512LanePaths();
std::span<const Sha256LanePath> Sha256VectorLanePaths();
