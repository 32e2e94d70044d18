// What core/sha256.cc shares with the per-processor block functions: the round constants and
// the shape of a function that runs the compression over whole 64-byte blocks.
#pragma once

#include <cstddef>
#include <cstdint>

// The 64 round constants, aligned so that vector code can add four of them straight from
// memory.
alignas(16) extern const uint32_t kSha256RoundConstants[64];

// Runs the compression over `count` whole blocks of 64 bytes at `blocks`, in order, updating
// `state`.
typedef void (*Sha256BlockFunction)(uint32_t state[8], const unsigned char* blocks, size_t count);

// The block function of the CPU's SHA extensions, or null when this CPU has none (always null
// on processors other than x86). Asks the CPU on every call; core/sha256.cc asks once.
Sha256BlockFunction Sha256ExtensionBlocks();
