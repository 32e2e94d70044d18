// SHA-256 of several streams at once: the streams in groups, the blocks they hold unfinished,
// and the choice of path.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/block_lanes.h"
#include "core/sha256.h"
#include "core/sha256_blocks.h"

namespace {

// The widest path there is: 16 streams in one 512-bit register.
constexpr size_t kMaxWidth = 16;

struct PathList {
  Sha256LanePath paths[16];
  size_t count;
};

PathList ListPaths() {
  PathList list{};
  for (const auto paths :
       {Sha256ExtensionLanePaths(), Sha256Avx512LanePaths(), Sha256VectorLanePaths()}) {
    for (const Sha256LanePath& path : paths) {
      if (list.count + 1 < std::size(list.paths)) list.paths[list.count++] = path;
    }
  }
  list.paths[list.count++] = {"portable", 1, Sha256PortableLaneBlocks};
  return list;
}

// Asked once, before main. Before then the list is empty and the portable path does the work.
const PathList gPaths = ListPaths();

// Compresses `count` blocks of every stream, from data[i] + offset, or from the stream's own
// partial block where data is null.
void RunBlocks(const Sha256LanePath& path, Sha256* const* hashes, const unsigned char* const* data,
               size_t offset, size_t lanes, size_t count) {
  for (size_t at = 0; at < lanes;) {
    const size_t group = std::min(path.width, lanes - at);
    const unsigned char* blocks[kMaxWidth];
    for (size_t i = 0; i < group; ++i) {
      blocks[i] = data != nullptr ? data[at + i] + offset : hashes[at + i]->partial;
    }
    path.blocks(hashes + at, blocks, group, count);
    at += group;
  }
}

}  // namespace

void Sha256PortableLaneBlocks(Sha256* const* hashes, const unsigned char* const* blocks,
                              size_t lanes, size_t count) {
  for (size_t lane = 0; lane < lanes; ++lane) {
    Sha256PortableBlocks(hashes[lane]->state, blocks[lane], count);
  }
}

void Sha256AddLanesOn(const Sha256LanePath& path, Sha256* const* hashes,
                      const unsigned char* const* data, size_t lanes, size_t count) {
  AddToLanes(hashes, data, lanes, count,
             [&](const unsigned char* const* from, size_t offset, size_t blocks) {
               RunBlocks(path, hashes, from, offset, lanes, blocks);
             });
}

void Sha256AddLanes(Sha256* const* hashes, const unsigned char* const* data, size_t lanes,
                    size_t count) {
  static constexpr Sha256LanePath kPortable = {"portable", 1, Sha256PortableLaneBlocks};
  Sha256AddLanesOn(gPaths.count > 0 ? gPaths.paths[0] : kPortable, hashes, data, lanes, count);
}

std::span<const Sha256LanePath> Sha256LanePaths() {
  return {gPaths.paths, gPaths.count};
}
