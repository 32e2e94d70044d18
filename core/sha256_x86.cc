// SHA-256 on the SHA extensions of x86 processors, for one stream and for several side by side
// (core/sha256_x86_interleaved.cc in the 64-bit builds, core/sha256_x86_interleaved_32.cc in
// the 32-bit one), compiled for those instructions alone; the rest of the program keeps its
// baseline (SSE2 on i686).
#include <cpuid.h>

#include "core/sha256_x86_steps.h"

__attribute__((target("sha,ssse3,sse4.1"))) void Sha256ExtensionBlocks(uint32_t state[8],
                                                                       const unsigned char* blocks,
                                                                       size_t count) {
  ShaRegisters hash = ShaLoadState(state);
  for (; count > 0; --count, blocks += 64) {
    const ShaRegisters before = hash;
    __m128i words[4];
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) ShaStep(i, blocks, hash, words);
    hash.abef = _mm_add_epi32(hash.abef, before.abef);
    hash.cdgh = _mm_add_epi32(hash.cdgh, before.cdgh);
  }
  ShaStoreState(hash, state);
}

namespace {

constexpr Sha256Path kExtensionPaths[] = {{"shani", Sha256ExtensionBlocks}};
constexpr Sha256LanePath kExtensionLanePaths[] = {{"shanix8", 8, Sha256InterleavedBlocks}};

bool HasShaExtensions() {
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  if ((ecx & bit_SSSE3) == 0 || (ecx & bit_SSE4_1) == 0) return false;
  if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return false;
  return (ebx & bit_SHA) != 0;
}

}  // namespace

std::span<const Sha256Path> Sha256ExtensionPaths() {
  if (!HasShaExtensions()) return {};
  return kExtensionPaths;
}

std::span<const Sha256LanePath> Sha256ExtensionLanePaths() {
  if (!HasShaExtensions()) return {};
  return kExtensionLanePaths;
}
