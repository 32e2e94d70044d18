// The CRC-32 of zip and Ethernet (reflected, polynomial 0xEDB88320, starting and ending
// inverted), which the PAR 2.0 format keeps for every input slice. Carry-less multiplication
// (PCLMULQDQ) folds 64 bytes at a time where the CPU has it; a portable table path does the work
// everywhere else. The path is chosen and the tables are filled before main, so none of these
// is for use by another initialiser.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The CRC of what gave `crc` followed by `count` more bytes; 0 is the CRC of no bytes:
// Crc32Add(0, "123456789", 9) == 0xCBF43926.
uint32_t Crc32Add(uint32_t crc, const void* bytes, size_t count);
// The same for `count` zero bytes, in time logarithmic in count (a slice padded with zeros).
uint32_t Crc32AddZeros(uint32_t crc, uint64_t count);

typedef uint32_t (*Crc32AddFunction)(uint32_t crc, const void* bytes, size_t count);

// One way of computing Crc32Add, for the tests and the benchmark.
struct Crc32Path {
  const char* name;
  Crc32AddFunction add;
};

// The paths this CPU can run, the one Crc32Add uses first, the portable one last.
std::span<const Crc32Path> Crc32Paths();
