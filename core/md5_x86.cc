// Several MD5 streams side by side on x86 processors, one in each 32-bit lane of a vector
// register: 4 in SSE2's (always there: the program requires SSE2), 8 with AVX2. A step of MD5
// waits on the one before, so one register of streams leaves the processor idle most of the
// time: both paths run two registers of streams side by side (8 and 16 streams), which measured
// more than twice as fast. Each path is compiled for its instructions alone; the rest of the
// program keeps its baseline. The paths of AVX-512 are in a file of their own
// (core/md5_avx512.cc), which only the 64-bit builds compile.
#include "core/lanes_x86.h"
#include "core/md5_rounds.h"

namespace {

void Sse2Blocks(Md5* const* hashes, const unsigned char* const* blocks, size_t lanes,
                size_t count) {
  LanePair<Lanes4> state[4];
  Lanes4 first[16], second[16];
  const unsigned char* from[8];
  LoadLaneStates<LanePair<Lanes4>, 8, 4>(hashes, lanes, state);
  LaneSources<8>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Sse2LaneWords(from, 64 * block, first);
    Sse2LaneWords(from + 4, 64 * block, second);
    Md5Steps(state, LanePairWords<Lanes4>{first, second});
  }
  StoreLaneStates<LanePair<Lanes4>, 8, 4>(state, lanes, hashes);
}

__attribute__((target("avx2"))) void Avx2Blocks(Md5* const* hashes,
                                                const unsigned char* const* blocks, size_t lanes,
                                                size_t count) {
  LanePair<Lanes8> state[4];
  Lanes8 first[16], second[16];
  const unsigned char* from[16];
  LoadLaneStates<LanePair<Lanes8>, 16, 4>(hashes, lanes, state);
  LaneSources<16>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx2LaneWords(from, 64 * block, first);
    Avx2LaneWords(from + 8, 64 * block, second);
    Md5Steps(state, LanePairWords<Lanes8>{first, second});
  }
  StoreLaneStates<LanePair<Lanes8>, 16, 4>(state, lanes, hashes);
}

constexpr Md5LanePath kPaths[] = {{"avx2x16", 16, Avx2Blocks}, {"sse2x8", 8, Sse2Blocks}};

}  // namespace

std::span<const Md5LanePath> Md5VectorLanePaths() {
  return std::span(kPaths).subspan(WidestLaneRegisters() == LaneRegisters::kSse2 ? 1 : 0);
}
