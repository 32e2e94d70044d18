// The sizes that decide how the file engines work.
#pragma once

#include <cstdint>

// Files below 2 GiB are held whole in one block, read with one call and written with one call
// per file, wherever that block can be had. From 2 GiB on, and whenever the block is refused
// (a 32-bit process rarely finds 1.5 GiB of address space in one piece), the engines stream
// through one buffer of kStreamBufferBytes instead, so that their memory stays that small
// whatever the size.
constexpr uint64_t kMaxBlockBytes = 0x7FFFFFFFu;
constexpr uint32_t kStreamBufferBytes = 1u << 20;

// Piece indices are formatted as signed 32-bit decimals ("%d"), so a set holds at most 2^31
// pieces: 0 to 2147483647.
constexpr uint64_t kMaxPieceCount = uint64_t{1} << 31;
