// Several SHA-256 streams side by side on the SHA extensions, for the 32-bit build: with the 8
// XMM registers of i686 the states of several streams cannot stay in registers, and a loop over
// the streams did about as well as code unrolled for each count of them (2% slower for 8
// streams, measured on x86-64 with the compiler kept off the other 8), in a seventh of the
// code.
#include "core/sha256_x86_steps.h"

namespace {

__attribute__((target("sha,ssse3,sse4.1"))) void InterleavedBlocks(
    Sha256* const* hashes, const unsigned char* const* blocks, size_t streams, size_t count) {
  ShaInterleavedBlocks(hashes, blocks, streams, count);
}

}  // namespace

// Two streams go one after the other: in the loop, each step of one waits on the memory where the
// step before left its state, and the other stream's step is too short to fill that time.
void Sha256InterleavedBlocks(Sha256* const* hashes, const unsigned char* const* blocks,
                             size_t lanes, size_t count) {
  if (lanes > 2) return InterleavedBlocks(hashes, blocks, lanes, count);
  for (size_t s = 0; s < lanes; ++s) Sha256ExtensionBlocks(hashes[s]->state, blocks[s], count);
}
