// Several MD5 streams side by side on x86 processors, one in each 32-bit lane of a vector
// register: 4 in SSE2's (always there: the program requires SSE2), 8 with AVX2, 16 with
// AVX-512. A step of MD5 waits on the one before, so one register of streams leaves the
// processor idle most of the time: the paths of SSE2 and AVX2 run two registers of streams
// side by side (8 and 16 streams), which measured more than twice as fast. AVX-512 shortens
// each step, so that one register of 8 or 16 streams does as well; its widest path runs two
// registers, 32 streams. Each path is compiled for its instructions alone; the rest of the
// program keeps its baseline.
#include "core/lanes_x86.h"
#include "core/md5_rounds.h"

namespace {

void Sse2Blocks(Md5* const* hashes, const unsigned char* const* blocks, size_t lanes,
                size_t count) {
  Lanes8 state[4], words[16];
  Lanes4 first[16], second[16];
  const unsigned char* from[8];
  LoadLaneStates<Lanes8, 8, 4>(hashes, lanes, state);
  LaneSources<8>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Sse2LaneWords(from, 64 * block, first);
    Sse2LaneWords(from + 4, 64 * block, second);
    JoinLaneWords(first, second, words);
    Md5Steps(state, words);
  }
  StoreLaneStates<Lanes8, 8, 4>(state, lanes, hashes);
}

__attribute__((target("avx2"))) void Avx2Blocks(Md5* const* hashes,
                                                const unsigned char* const* blocks, size_t lanes,
                                                size_t count) {
  Lanes16 state[4], words[16];
  Lanes8 first[16], second[16];
  const unsigned char* from[16];
  LoadLaneStates<Lanes16, 16, 4>(hashes, lanes, state);
  LaneSources<16>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx2LaneWords(from, 64 * block, first);
    Avx2LaneWords(from + 8, 64 * block, second);
    JoinLaneWords(first, second, words);
    Md5Steps(state, words);
  }
  StoreLaneStates<Lanes16, 16, 4>(state, lanes, hashes);
}

__attribute__((target("avx512f,avx512vl"))) void Avx512Blocks(Md5* const* hashes,
                                                              const unsigned char* const* blocks,
                                                              size_t lanes, size_t count) {
  Lanes32 state[4], words[16];
  Lanes16 first[16], second[16];
  const unsigned char* from[32];
  LoadLaneStates<Lanes32, 32, 4>(hashes, lanes, state);
  LaneSources<32>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx512LaneWords(from, 64 * block, first);
    Avx512LaneWords(from + 16, 64 * block, second);
    JoinLaneWords(first, second, words);
    Md5Steps(state, words);
  }
  StoreLaneStates<Lanes32, 32, 4>(state, lanes, hashes);
}

// With AVX-512's instructions on 256 and 512 bits, each step is shorter (one instruction mixes
// three words, one rotates): one register of streams runs about as fast as two without them.
__attribute__((target("avx512f,avx512vl"))) void Avx512Blocks16(Md5* const* hashes,
                                                                const unsigned char* const* blocks,
                                                                size_t lanes, size_t count) {
  Lanes16 state[4], words[16];
  const unsigned char* from[16];
  LoadLaneStates<Lanes16, 16, 4>(hashes, lanes, state);
  LaneSources<16>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx512LaneWords(from, 64 * block, words);
    Md5Steps(state, words);
  }
  StoreLaneStates<Lanes16, 16, 4>(state, lanes, hashes);
}

__attribute__((target("avx512f,avx512vl"))) void Avx512Blocks8(Md5* const* hashes,
                                                               const unsigned char* const* blocks,
                                                               size_t lanes, size_t count) {
  Lanes8 state[4], words[16];
  const unsigned char* from[8];
  LoadLaneStates<Lanes8, 8, 4>(hashes, lanes, state);
  LaneSources<8>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx2LaneWords(from, 64 * block, words);
    Md5Steps(state, words);
  }
  StoreLaneStates<Lanes8, 8, 4>(state, lanes, hashes);
}

// Widest first; of two of the same width, the faster first.
constexpr Md5LanePath kAvx512Paths[] = {{"avx512x32", 32, Avx512Blocks},
                                        {"avx512x16", 16, Avx512Blocks16},
                                        {"avx2x16", 16, Avx2Blocks},
                                        {"avx512x8", 8, Avx512Blocks8},
                                        {"sse2x8", 8, Sse2Blocks}};
constexpr Md5LanePath kAvx2Paths[] = {{"avx2x16", 16, Avx2Blocks}, {"sse2x8", 8, Sse2Blocks}};

}  // namespace

std::span<const Md5LanePath> Md5VectorLanePaths() {
  switch (WidestLaneRegisters()) {
    case LaneRegisters::kAvx512:
      return kAvx512Paths;
    case LaneRegisters::kAvx2:
      return kAvx2Paths;
    case LaneRegisters::kSse2:
      break;
  }
  return std::span(kAvx2Paths).subspan(1);
}
