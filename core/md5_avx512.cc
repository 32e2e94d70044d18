// The MD5 paths of AVX-512 (with its instructions on 256-bit registers too, VL), for the 64-bit
// builds alone: in 32-bit code the eight vector registers of the processor are too few for
// them. Each step is shorter there (one instruction mixes three words, one rotates), so that
// one register of 8 or 16 streams runs about as fast as two without AVX-512; the widest path
// runs two registers, 32 streams.
#include "core/lanes_x86.h"
#include "core/md5_rounds.h"

namespace {

__attribute__((target("avx512f,avx512vl"))) void Avx512Blocks(Md5* const* hashes,
                                                              const unsigned char* const* blocks,
                                                              size_t lanes, size_t count) {
  LanePair<Lanes16> state[4];
  Lanes16 first[16], second[16];
  const unsigned char* from[32];
  LoadLaneStates<LanePair<Lanes16>, 32, 4>(hashes, lanes, state);
  LaneSources<32>(blocks, lanes, from);
  for (size_t block = 0; block < count; ++block) {
    Avx512LaneWords(from, 64 * block, first);
    Avx512LaneWords(from + 16, 64 * block, second);
    Md5Steps(state, LanePairWords<Lanes16>{first, second});
  }
  StoreLaneStates<LanePair<Lanes16>, 32, 4>(state, lanes, hashes);
}

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

// Widest first; core/md5.cc puts each before the paths of core/md5_x86.cc of its width.
constexpr Md5LanePath kPaths[] = {{"avx512x32", 32, Avx512Blocks},
                                  {"avx512x16", 16, Avx512Blocks16},
                                  {"avx512x8", 8, Avx512Blocks8}};

}  // namespace

std::span<const Md5LanePath> Md5Avx512LanePaths() {
  if (WidestLaneRegisters() != LaneRegisters::kAvx512) return {};
  return kPaths;
}
