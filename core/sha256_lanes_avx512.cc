// The SHA-256 paths of AVX-512 (with its instructions on 256-bit registers too, VL) for several
// streams side by side, for the 64-bit builds alone: in 32-bit code the eight vector registers
// of the processor are too few for them. 16 streams in a 512-bit register, or 8 in a 256-bit
// one where there are few.
#include "core/lanes_x86.h"
#include "core/sha256_lanes_rounds.h"

namespace {

__attribute__((target("avx512f,avx512vl"))) void Avx512Blocks(Sha256* const* hashes,
                                                              const unsigned char* const* blocks,
                                                              size_t lanes, size_t count) {
  Lanes16 state[8], words[16];
  const unsigned char* from[16];
  LoadLaneStates<Lanes16, 16, 8>(hashes, lanes, state);
  LaneSources<16>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx512LaneWords(from, 64 * block, words);
    for (Lanes16& word : words) Sha256SwapBytes(word);
    Sha256Rounds<16, true>(state, words);
  }
  StoreLaneStates<Lanes16, 16, 8>(state, lanes, hashes);
}

__attribute__((target("avx512f,avx512vl"))) void Avx512Blocks8(Sha256* const* hashes,
                                                               const unsigned char* const* blocks,
                                                               size_t lanes, size_t count) {
  Lanes8 state[8], words[16];
  const unsigned char* from[8];
  LoadLaneStates<Lanes8, 8, 8>(hashes, lanes, state);
  LaneSources<8>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx2LaneWords(from, 64 * block, words);
    for (Lanes8& word : words) Sha256SwapBytes(word);
    Sha256Rounds<16, true>(state, words);
  }
  StoreLaneStates<Lanes8, 8, 8>(state, lanes, hashes);
}

// A group takes as long whether its lanes are all in use or not, so that few streams go
// better one at a time on the portable path: a block of a group took about as long as 1.5
// blocks of one stream there on 256 bits (1.75 on 512; filecut_bench kernels).
void Avx512Lanes(Sha256* const* hashes, const unsigned char* const* blocks, size_t lanes,
                 size_t count) {
  if (lanes > 8) return Avx512Blocks(hashes, blocks, lanes, count);
  if (lanes > 1) return Avx512Blocks8(hashes, blocks, lanes, count);
  Sha256PortableLaneBlocks(hashes, blocks, lanes, count);
}

constexpr Sha256LanePath kPaths[] = {{"avx512x16", 16, Avx512Lanes}};

}  // namespace

std::span<const Sha256LanePath> Sha256Avx512LanePaths() {
  if (WidestLaneRegisters() != LaneRegisters::kAvx512) return {};
  return kPaths;
}
