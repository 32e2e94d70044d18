// What the hashes of 64-byte blocks (MD5, SHA-256) share in hashing several streams side by
// side: each hash holds the bytes of its unfinished block itself, and every stream is fed the
// same number of bytes at a time, so that all of them hold as many.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>

// Adds `count` bytes of data[i] to hashes[i] for each of the `lanes` streams. `runBlocks(data,
// offset, blocks)` compresses `blocks` whole blocks of every stream, from data[i] + offset, or
// from the stream's own unfinished block where data is null. The unfinished blocks are filled
// first and compressed together when they are full; the bytes after the last whole block wait
// in them for the next call.
template <typename Hash, typename RunBlocks>
void AddToLanes(Hash* const* hashes, const unsigned char* const* data, size_t lanes, size_t count,
                RunBlocks runBlocks) {
  if (lanes == 0 || count == 0) return;
  const size_t held = static_cast<size_t>(hashes[0]->length % 64);
  size_t done = 0;
  if (held > 0) {
    done = std::min(count, 64 - held);
    for (size_t i = 0; i < lanes; ++i) std::memcpy(hashes[i]->partial + held, data[i], done);
    if (held + done == 64) runBlocks(nullptr, 0, 1);
  }
  const size_t blocks = (count - done) / 64;
  if (blocks > 0) runBlocks(data, done, blocks);
  done += 64 * blocks;
  for (size_t i = 0; i < lanes; ++i) {
    if (count > done) std::memcpy(hashes[i]->partial, data[i] + done, count - done);
    hashes[i]->length += count;
  }
}
