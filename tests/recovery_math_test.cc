// MD5, CRC-32 and GF(2^16) of the recovery pieces: known answers, and every path of this CPU
// against the portable one at lengths around the edges of blocks, vectors and tiles, from
// addresses of every alignment.
#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <string>
#include <vector>

#include "core/crc32.h"
#include "core/gf16.h"
#include "core/gf16_kernels.h"
#include "core/md5.h"

namespace {

std::vector<unsigned char> RandomBytes(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<unsigned char> bytes(count);
  for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random());
  return bytes;
}

std::string Hex(const Md5& hash) {
  unsigned char digest[kMd5Bytes];
  Md5End(&hash, digest);
  std::string hex;
  for (const unsigned char byte : digest)
    hex += {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]};
  return hex;
}

TEST(Md5, KnownDigestsAndEndingMidway) {
  // The seven of RFC 1321, appendix A.5.
  const std::pair<std::string, const char*> kCases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& [message, digest] : kCases) {
    Md5 hash;
    Md5Begin(&hash);
    Md5Add(&hash, message.data(), message.size());
    EXPECT_EQ(Hex(hash), digest) << message;
  }
  // Ended after "a", the hash goes on to "abc" as if it had never been ended.
  Md5 hash;
  Md5Begin(&hash);
  Md5Add(&hash, "a", 1);
  EXPECT_EQ(Hex(hash), "0cc175b9c0f1b6a831c399e269772661");
  Md5Add(&hash, "bc", 2);
  EXPECT_EQ(Hex(hash), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Md5, PaddingAtTheEdgesOfABlock) {
  // Runs of 'a': the padding fits the last block (55), takes a second one for the length (56,
  // 57, 63, 119), or one of its own (64, 120); and many blocks in one call.
  const std::pair<size_t, const char*> kCases[] = {
      {55, "ef1772b6dff9a122358552954ad0df65"},      {56, "3b0c8ac703f828b04c6c197006d17218"},
      {57, "652b906d60af96844ebd21b674f35e93"},      {63, "b06521f39153d618550606be297466d5"},
      {64, "014842d480b571495a4a0363793f7367"},      {65, "c743a45e0d2e6a95cb859adae0248435"},
      {119, "8a7bd0732ed6a28ce75f6dabc90e1613"},     {120, "5f61c0ccad4cac44c75ff505e1f1e537"},
      {1000000, "7707d6ae4e027c70eea2a935c2296f21"},
  };
  for (const auto& [length, digest] : kCases) {
    const std::string message(length, 'a');
    Md5 hash;
    Md5Begin(&hash);
    Md5Add(&hash, message.data(), length);
    EXPECT_EQ(Hex(hash), digest) << length;
  }
}

TEST(Md5, EveryLanePathGivesWhatOneStreamGives) {
  const std::vector<unsigned char> bytes = RandomBytes(1 << 17, 1);
  for (const Md5LanePath& path : Md5LanePaths()) {
    SCOPED_TRACE(path.name);
    // Lane counts below, at and past each path's width (4 to 32), and the 33 that leave one.
    for (const size_t lanes : {1, 3, 4, 5, 8, 9, 17, 33}) {
      // Streams that begin together or 5 bytes into a block; bytes that stop short of a
      // block, fill it, run past it, and come from addresses of every alignment.
      for (const size_t before : {0, 5}) {
        for (const size_t count : {0, 1, 58, 59, 63, 64, 65, 127, 128, 1000, 4096}) {
          std::vector<Md5> alone(lanes), together(lanes);
          std::vector<Md5*> hashes;
          std::vector<const unsigned char*> data;
          for (size_t i = 0; i < lanes; ++i) {
            const unsigned char* from = bytes.data() + 997 * i % 40000 + i % 7;
            Md5Begin(&alone[i]);
            Md5Add(&alone[i], from + 50000, before);
            Md5Add(&alone[i], from, count);
            Md5Begin(&together[i]);
            Md5Add(&together[i], from + 50000, before);
            hashes.push_back(&together[i]);
            data.push_back(from);
          }
          Md5AddLanesOn(path, hashes.data(), data.data(), lanes, count);
          for (size_t i = 0; i < lanes; ++i) {
            ASSERT_EQ(Hex(together[i]), Hex(alone[i]))
                << lanes << " lanes, stream " << i << ", " << before << " + " << count;
          }
        }
      }
    }
  }
}

TEST(Md5, LanesFedInUnevenCallsAndEndedMidway) {
  // The pieces of a set hashed as they are read: ten streams, fed by the first path in calls
  // that leave blocks unfinished, finish them and run past them, ended between calls.
  const std::vector<unsigned char> bytes = RandomBytes(1 << 16, 6);
  Md5 alone[10], together[10];
  Md5* hashes[10];
  for (int i = 0; i < 10; ++i) {
    Md5Begin(&alone[i]);
    Md5Begin(&together[i]);
    hashes[i] = &together[i];
  }
  size_t at = 0;
  for (const size_t count : {3, 61, 1, 64, 200, 7, 0, 57, 4096, 63, 129}) {
    const unsigned char* data[10];
    for (int i = 0; i < 10; ++i) {
      data[i] = bytes.data() + 6000 * i + at;
      Md5Add(&alone[i], data[i], count);
    }
    Md5AddLanes(hashes, data, 10, count);
    at += count;
    for (int i = 0; i < 10; ++i) ASSERT_EQ(Hex(together[i]), Hex(alone[i])) << at << " bytes";
  }
}

TEST(Md5, ThousandsOfStreamsAtOnce) {
  // 2001 streams: many groups of the widest path, and a few left over for a narrower one.
  // Each stream's bytes start one byte further on.
  constexpr size_t kStreams = 2001, kCount = 150;
  const std::vector<unsigned char> bytes = RandomBytes(kStreams + kCount, 7);
  std::vector<Md5> alone(kStreams), together(kStreams);
  std::vector<Md5*> hashes;
  std::vector<const unsigned char*> data;
  for (size_t i = 0; i < kStreams; ++i) {
    Md5Begin(&alone[i]);
    Md5Add(&alone[i], bytes.data() + i, kCount);
    Md5Begin(&together[i]);
    hashes.push_back(&together[i]);
    data.push_back(bytes.data() + i);
  }
  Md5AddLanes(hashes.data(), data.data(), kStreams, kCount);
  for (size_t i = 0; i < kStreams; ++i) ASSERT_EQ(Hex(together[i]), Hex(alone[i])) << i;
}

TEST(Crc32, KnownValueAndZeros) {
  EXPECT_EQ(Crc32Add(0, "123456789", 9), 0xCBF43926u);
  EXPECT_EQ(Crc32Add(Crc32Add(0, "1234", 4), "56789", 5), 0xCBF43926u);  // continued
  const std::vector<unsigned char> zeros((1 << 20) + 3);
  const std::string many(1000000, 'a');
  for (const Crc32Path& path : Crc32Paths()) {
    EXPECT_EQ(path.add(0, many.data(), many.size()), 0xDC25BFBCu) << path.name;
    EXPECT_EQ(path.add(0, zeros.data(), 1 << 20), 0xA738EA1Cu) << path.name;
  }
  for (const uint64_t count : {0, 1, 63, 64, (1 << 20) + 3}) {
    EXPECT_EQ(Crc32AddZeros(0xCBF43926u, count), Crc32Add(0xCBF43926u, zeros.data(), count))
        << count;
  }
}

TEST(Crc32, ZerosPastFourGibibytes) {
  // The power for 2^k zero bytes is the square of that for 2^(k-1), up to the last of them.
  uint32_t crc = 0x9E3779B9;
  for (int k = 1; k < 64; ++k) {
    const uint64_t half = uint64_t{1} << (k - 1);
    ASSERT_EQ(Crc32AddZeros(crc, 2 * half), Crc32AddZeros(Crc32AddZeros(crc, half), half)) << k;
  }
  // A slice of 5 GiB and 3 bytes, padded in two runs.
  const uint64_t five = uint64_t{5} << 30;
  EXPECT_EQ(Crc32AddZeros(crc, five + 3), Crc32AddZeros(Crc32AddZeros(crc, 3), five));
}

// The CRC of the definition, one bit at a time.
uint32_t BitByBit(uint32_t crc, const unsigned char* bytes, size_t count) {
  crc = ~crc;
  for (size_t i = 0; i < count; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (crc & 1 ? 0xEDB88320 : 0);
  }
  return ~crc;
}

TEST(Crc32, EveryPathGivesWhatTheTablesGive) {
  const std::vector<unsigned char> bytes = RandomBytes(100000, 2);
  const Crc32Path& tables = Crc32Paths().back();
  // The tables against the definition: each of the eight looked up some 2,300 times.
  for (size_t count = 0; count < 64; ++count) {
    ASSERT_EQ(tables.add(7, bytes.data() + 256 * count, 256 + count),
              BitByBit(7, bytes.data() + 256 * count, 256 + count))
        << count;
  }
  for (const Crc32Path& path : Crc32Paths()) {
    SCOPED_TRACE(path.name);
    // Around the 16-byte blocks, the 64 bytes of one folding step and the 256 of a wide one,
    // with every count of bytes left after it.
    for (size_t count = 0; count < 520; ++count) {
      for (const size_t offset : {0, 1, 3}) {
        ASSERT_EQ(path.add(0x12345678, bytes.data() + offset, count),
                  tables.add(0x12345678, bytes.data() + offset, count))
            << count << " bytes from +" << offset;
      }
    }
    EXPECT_EQ(path.add(0, bytes.data() + 1, 99999), tables.add(0, bytes.data() + 1, 99999));
  }
}

// The product of the definition: shift and add, folding x^16 back as x^12 + x^3 + x + 1.
uint16_t ShiftAndAddProduct(uint16_t a, uint16_t b) {
  uint32_t product = 0, shifted = a;
  for (int bit = 0; bit < 16; ++bit, shifted <<= 1) {
    if (shifted & 0x10000) shifted ^= 0x1100B;
    if (b & (1u << bit)) product ^= shifted;
  }
  return static_cast<uint16_t>(product);
}

TEST(Gf16, ProductsQuotientsPowersAndConstants) {
  // x^15 * x folds into x^12 + x^3 + x + 1.
  EXPECT_EQ(GfMultiply(0x8000, 2), 0x100B);
  EXPECT_EQ(GfMultiply(0, 0x1234), 0);
  EXPECT_EQ(GfDivide(0, 0x1234), 0);
  EXPECT_EQ(GfPower(0, 0), 1);
  EXPECT_EQ(GfPower(0, 5), 0);
  EXPECT_EQ(GfPower(2, 65535), 1);  // the order of the group
  std::mt19937 random(3);
  for (int i = 0; i < 2000; ++i) {
    const uint16_t a = static_cast<uint16_t>(random() | 1), b = static_cast<uint16_t>(random());
    const uint32_t m = random() % 100000, n = random() % 100000;
    ASSERT_EQ(GfMultiply(a, b), ShiftAndAddProduct(a, b)) << a << " * " << b;
    ASSERT_EQ(GfDivide(a, a), 1) << a;
    ASSERT_EQ(GfMultiply(GfDivide(b, a), a), b) << b << " / " << a;
    ASSERT_EQ(GfMultiply(GfDivide(1, a), a), 1) << a;
    ASSERT_EQ(GfPower(a, m + n), GfMultiply(GfPower(a, m), GfPower(a, n))) << a;
    ASSERT_EQ(GfPower(GfPower(a, m), n), GfPower(a, uint32_t(uint64_t{m} * n % 65535))) << a;
  }
  const uint16_t kFirst[] = {2, 4, 16, 128, 256, 2048, 8192, 16384, 4107, 32856, 17132};
  for (uint32_t index = 0; index < 11; ++index) {
    EXPECT_EQ(Par2InputConstant(index), kFirst[index]) << index;
  }
  // The last: 2^65534, the inverse of 2.
  EXPECT_EQ(Par2InputConstant(kPar2MaxInputSlices - 1), 0x8805);
  // And all of them, against counting the exponents one by one.
  uint32_t exponent = 0;
  for (uint32_t index = 0; index < kPar2MaxInputSlices; ++index) {
    do {
      ++exponent;
    } while (exponent % 3 == 0 || exponent % 5 == 0 || exponent % 17 == 0 || exponent % 257 == 0);
    ASSERT_EQ(Par2InputConstant(index), GfPower(2, exponent)) << index;
  }
}

// What gf2p8affineqb makes of the byte x with the matrix: bit i is the parity of x AND the
// matrix's byte 7 - i.
unsigned AffineByte(uint64_t matrix, unsigned x) {
  unsigned result = 0;
  for (int i = 0; i < 8; ++i) result |= (std::popcount((matrix >> (8 * (7 - i))) & x) & 1u) << i;
  return result;
}

TEST(Gf16, BitMatricesMultiplyAsTheGfniPathUsesThem) {
  // Checked here on every CPU, whether or not it runs the GFNI path.
  std::mt19937 random(8);
  for (int i = 0; i < 500; ++i) {
    const uint16_t factor = static_cast<uint16_t>(random()), word = static_cast<uint16_t>(random());
    uint64_t m[4];
    GfBitMatrices(factor, m);
    const unsigned low = word & 0xFF, high = word >> 8;
    const unsigned product = (AffineByte(m[0], low) ^ AffineByte(m[1], high)) |
                             (AffineByte(m[2], low) ^ AffineByte(m[3], high)) << 8;
    ASSERT_EQ(product, GfMultiply(factor, word)) << factor << " * " << word;
  }
}

TEST(Gf16, EveryPathGivesTheSumsOfProducts) {
  const std::vector<unsigned char> bytes = RandomBytes(1 << 20, 4);
  std::mt19937 random(5);
  // One output, one pair of outputs, and pairs with one output left over.
  const struct { size_t inputs, outputs; } kShapes[] = {{1, 1}, {3, 2}, {8, 11}};
  // Single words, around the 32 and 64 bytes of a vector step, and around the 16 KiB tiles.
  const size_t kLengths[] = {2, 30, 32, 34, 62, 64, 66, 16382, 16384, 16386, 40002};
  for (const GfPath& path : GfPaths()) {
    SCOPED_TRACE(path.name);
    for (const auto& shape : kShapes) {
      for (const size_t length : kLengths) {
        // Factors 1 (a plain XOR) and 0 (nothing added) here and there, so that two outputs
        // that go through an input together meet them on either side.
        std::vector<uint16_t> factors(shape.inputs * shape.outputs);
        for (size_t k = 0; k < factors.size(); ++k) {
          factors[k] = k % 5 == 0 ? 1 : k % 5 == 3 ? 0 : static_cast<uint16_t>(random());
        }
        std::vector<const unsigned char*> src;
        for (size_t i = 0; i < shape.inputs; ++i) src.push_back(bytes.data() + 1 + 50001 * i);
        std::vector<std::vector<unsigned char>> out, expected;
        std::vector<unsigned char*> dst;
        for (size_t j = 0; j < shape.outputs; ++j) {
          // Outputs that start from other bytes, at odd addresses.
          out.emplace_back(bytes.begin() + 600000 + 7 * j, bytes.begin() + 600001 + 7 * j + length);
          dst.push_back(out.back().data() + 1);
          expected.emplace_back(out.back().begin() + 1, out.back().end());
          for (size_t w = 0; w < length; w += 2) {
            uint16_t sum = expected[j][w] | expected[j][w + 1] << 8;
            for (size_t i = 0; i < shape.inputs; ++i) {
              sum ^= GfMultiply(factors[j * shape.inputs + i], src[i][w] | src[i][w + 1] << 8);
            }
            expected[j][w] = static_cast<unsigned char>(sum);
            expected[j][w + 1] = static_cast<unsigned char>(sum >> 8);
          }
        }
        path.multiplyAdd(src.data(), shape.inputs, dst.data(), shape.outputs, factors.data(),
                         length);
        for (size_t j = 0; j < shape.outputs; ++j) {
          ASSERT_EQ(std::vector<unsigned char>(out[j].begin() + 1, out[j].end()), expected[j])
              << shape.inputs << " x " << shape.outputs << ", " << length << " bytes, output " << j;
        }
      }
    }
  }
}

}  // namespace
