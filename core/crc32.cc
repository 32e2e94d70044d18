// The table path of the CRC-32, the CRC over runs of zeros, and the choice of path.
#include "core/crc32.h"

#include <iterator>

#include "core/crc32_kernels.h"

namespace {

// gTables[0][b] is the register after running a register holding only the byte b through 8
// bits; gTables[k][b] the same through 8 * (k + 1) bits. With them, 8 bytes are one step of 8
// lookups (slicing by 8). 8 KiB, filled before main: computed, they take no room in the file.
uint32_t gTables[8][256];

void FillTables() {
  for (uint32_t byte = 0; byte < 256; ++byte) {
    uint32_t state = byte;
    for (int bit = 0; bit < 8; ++bit) state = (state >> 1) ^ ((state & 1) ? kCrc32Polynomial : 0);
    gTables[0][byte] = state;
  }
  for (int k = 1; k < 8; ++k) {
    for (int byte = 0; byte < 256; ++byte) {
      const uint32_t previous = gTables[k - 1][byte];
      gTables[k][byte] = (previous >> 8) ^ gTables[0][previous & 0xFF];
    }
  }
}

uint32_t LoadLittleEndian32(const unsigned char* bytes) {
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
         uint32_t{bytes[3]} << 24;
}

// x^(8 * 2^k) modulo P for k = 0..63: running the register over 2^k zero bytes multiplies it
// by the k-th of them.
struct ZeroPowers {
  uint32_t power[64];
};

constexpr ZeroPowers MakeZeroPowers() {
  ZeroPowers powers{};
  powers.power[0] = Crc32PowerOfX(8);
  for (int k = 1; k < 64; ++k) {
    powers.power[k] = Crc32MultiplyModP(powers.power[k - 1], powers.power[k - 1]);
  }
  return powers;
}

constexpr ZeroPowers kZeroPowers = MakeZeroPowers();

uint32_t TableAdd(uint32_t crc, const void* bytes, size_t count) {
  return ~Crc32TableUpdate(~crc, static_cast<const unsigned char*>(bytes), count);
}

struct PathList {
  Crc32Path paths[4];
  size_t count;
};

// Runs before main: the tables, then the paths of this CPU.
PathList Setup() {
  FillTables();
  PathList list{};
  for (const Crc32Path& path : Crc32VectorPaths()) {
    if (list.count + 1 < std::size(list.paths)) list.paths[list.count++] = path;
  }
  list.paths[list.count++] = {"tables", TableAdd};
  return list;
}

const PathList gPaths = Setup();

}  // namespace

uint32_t Crc32TableUpdate(uint32_t state, const unsigned char* bytes, size_t count) {
  const auto& t = gTables;
  for (; count >= 8; count -= 8, bytes += 8) {
    const uint32_t first = state ^ LoadLittleEndian32(bytes);
    const uint32_t second = LoadLittleEndian32(bytes + 4);
    state = t[7][first & 0xFF] ^ t[6][(first >> 8) & 0xFF] ^ t[5][(first >> 16) & 0xFF] ^
            t[4][first >> 24] ^ t[3][second & 0xFF] ^ t[2][(second >> 8) & 0xFF] ^
            t[1][(second >> 16) & 0xFF] ^ t[0][second >> 24];
  }
  for (; count > 0; --count, ++bytes) state = (state >> 8) ^ t[0][(state ^ *bytes) & 0xFF];
  return state;
}

uint32_t Crc32Add(uint32_t crc, const void* bytes, size_t count) {
  return (gPaths.count > 0 ? gPaths.paths[0].add : TableAdd)(crc, bytes, count);
}

uint32_t Crc32AddZeros(uint32_t crc, uint64_t count) {
  // Zero bytes add nothing to the register but shift it: it is multiplied by x^(8 * count),
  // made of the powers for the bits set in count.
  uint32_t state = ~crc;
  for (int k = 0; count > 0; ++k, count >>= 1) {
    if (count & 1) state = Crc32MultiplyModP(state, kZeroPowers.power[k]);
  }
  return ~state;
}

std::span<const Crc32Path> Crc32Paths() {
  return {gPaths.paths, gPaths.count};
}
