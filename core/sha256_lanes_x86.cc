// Several SHA-256 streams side by side on x86 processors, one in each 32-bit lane of a vector
// register: 4 in SSE2's (always there: the program requires SSE2), 8 with AVX2, for processors
// without SHA extensions. Each path is compiled for its instructions alone; the rest of the
// program keeps its baseline. The paths of AVX-512 are in a file of their own
// (core/sha256_lanes_avx512.cc), which only the 64-bit builds compile.
#include "core/lanes_x86.h"
#include "core/sha256_lanes_rounds.h"

namespace {

void Sse2Blocks(Sha256* const* hashes, const unsigned char* const* blocks, size_t lanes,
                size_t count) {
  Lanes4 state[8], words[16];
  const unsigned char* from[4];
  LoadLaneStates<Lanes4, 4, 8>(hashes, lanes, state);
  LaneSources<4>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Sse2LaneWords(from, 64 * block, words);
    for (Lanes4& word : words) Sha256SwapBytes(word);
    Sha256Rounds<8, false>(state, words);
  }
  StoreLaneStates<Lanes4, 4, 8>(state, lanes, hashes);
}

__attribute__((target("avx2"))) void Avx2Blocks(Sha256* const* hashes,
                                                const unsigned char* const* blocks, size_t lanes,
                                                size_t count) {
  Lanes8 state[8], words[16];
  const unsigned char* from[8];
  LoadLaneStates<Lanes8, 8, 8>(hashes, lanes, state);
  LaneSources<8>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx2LaneWords(from, 64 * block, words);
    for (Lanes8& word : words) Sha256SwapBytes(word);
    Sha256Rounds<8, false>(state, words);
  }
  StoreLaneStates<Lanes8, 8, 8>(state, lanes, hashes);
}

// A group takes as long whether its lanes are all in use or not, so that few streams go
// better one at a time on the portable path: a block of a group took about as long as 2.4
// blocks of one stream there with AVX2 and 2.5 with SSE2 (filecut_bench kernels, x86-64), and
// 2.2 to 2.9 with only the 8 vector registers of i686 (measured with the compiler kept off the
// others).
void Avx2Lanes(Sha256* const* hashes, const unsigned char* const* blocks, size_t lanes,
               size_t count) {
  if (lanes > 2) return Avx2Blocks(hashes, blocks, lanes, count);
  Sha256PortableLaneBlocks(hashes, blocks, lanes, count);
}

void Sse2Lanes(Sha256* const* hashes, const unsigned char* const* blocks, size_t lanes,
               size_t count) {
  if (lanes > 2) return Sse2Blocks(hashes, blocks, lanes, count);
  Sha256PortableLaneBlocks(hashes, blocks, lanes, count);
}

// Fastest first: a CPU without AVX2 runs the last.
constexpr Sha256LanePath kPaths[] = {{"avx2x8", 8, Avx2Lanes}, {"sse2x4", 4, Sse2Lanes}};

}  // namespace

std::span<const Sha256LanePath> Sha256VectorLanePaths() {
  return std::span(kPaths).subspan(WidestLaneRegisters() == LaneRegisters::kSse2 ? 1 : 0);
}
