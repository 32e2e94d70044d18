// The sizes that decide how the file engines work.
#pragma once

#include <cstdint>

// Every split and restore streams through one buffer of this size, whatever the size of the
// file: the memory stays that small, and the count of read and write calls stays low (1,024 of
// each per GiB), which matters on network shares.
constexpr uint32_t kStreamBufferBytes = 1u << 20;

// Piece indices are formatted as signed 32-bit decimals ("%d"), so a set holds at most 2^31
// pieces: 0 to 2147483647.
constexpr uint64_t kMaxPieceCount = uint64_t{1} << 31;
