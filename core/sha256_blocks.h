// What core/sha256.cc shares with the per-processor files: the round constants, and the path
// that only some processors have.
#pragma once

#include <span>

#include "core/sha256.h"

// The 64 round constants, aligned so that vector code can add four of them straight from
// memory.
alignas(16) extern const uint32_t kSha256RoundConstants[64];

// The path of the CPU's SHA extensions for one stream, or none (always none on processors
// other than x86). Asks the CPU on every call; core/sha256.cc asks once.
std::span<const Sha256Path> Sha256ExtensionPaths();
