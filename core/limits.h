// The sizes that decide how the file engines work, and the layout of a set of pieces.
#pragma once

#include <cstdint>

// Every split and restore streams through buffers of this size (one, or two where the bytes
// are hashed), whatever the size of the file: the memory stays that small, and the count of
// read and write calls stays low (1,024 of each per GiB), which matters on network shares.
constexpr uint32_t kStreamBufferBytes = 1u << 20;

// Piece indices are formatted as signed 32-bit decimals ("%d"), so a set holds at most 2^31
// pieces: 0 to 2147483647.
constexpr uint64_t kMaxPieceCount = uint64_t{1} << 31;

// How many pieces a source of `size` bytes gives with pieces of `step` (at least 1) bytes: the
// size divided by the piece size, rounded up, and at least one, because an empty source gives
// one empty piece.
inline uint64_t PieceCount(uint64_t size, uint32_t step) {
  return size == 0 ? 1 : (size - 1) / step + 1;
}

// The bytes of piece `index` of such a set: the piece size, or what is left for the last one.
inline uint64_t PieceBytes(uint64_t size, uint32_t step, uint64_t index) {
  const uint64_t remaining = size - index * step;
  return remaining < step ? remaining : step;
}
