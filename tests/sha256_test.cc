// SHA-256: known digests and any chunking of the input on every path of one stream, and every
// path of several streams side by side against one stream alone.
#include "core/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Hex(const unsigned char (&digest)[kSha256Bytes]) {
  std::string hex;
  for (const unsigned char byte : digest)
    hex += {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]};
  return hex;
}

// Hashes `bytes` on `path`, fed in pieces of the sizes of `chunks`, repeated until the bytes
// end.
std::string Digest(const Sha256Path& path, const std::string& bytes,
                   const std::vector<size_t>& chunks) {
  Sha256 hash;
  Sha256Begin(&hash);
  for (size_t at = 0, i = 0; at < bytes.size(); ++i) {
    const size_t count = std::min(chunks[i % chunks.size()], bytes.size() - at);
    Sha256AddOn(path, &hash, bytes.data() + at, count);
    at += count;
  }
  unsigned char digest[kSha256Bytes];
  Sha256EndOn(path, &hash, digest);
  return Hex(digest);
}

// All the bytes in one call.
const std::vector<size_t> kWhole = {~size_t{0}};

const Sha256Path& Portable() {
  return Sha256Paths().back();
}

TEST(Sha256, KnownDigestsOnEveryPath) {
  const struct {
    std::string message;
    const char* digest;
  } kCases[] = {
      // No bytes: the padding block alone.
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      // Three bytes.
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      // 56 bytes: the length no longer fits into the block, which takes a second.
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      // 112 bytes: a whole block, then the padding after 48 bytes of the next.
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmn"
       "opqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      // One million 'a': many blocks in one call.
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  EXPECT_STREQ(Portable().name, "portable");
  for (const Sha256Path& path : Sha256Paths()) {
    for (const auto& test : kCases) {
      EXPECT_EQ(Digest(path, test.message, kWhole), test.digest)
          << path.name << ", " << test.message.size() << " bytes";
    }
  }
  // The plain functions, on the first path.
  Sha256 hash;
  Sha256Begin(&hash);
  Sha256Add(&hash, "abc", 3);
  unsigned char digest[kSha256Bytes];
  Sha256End(&hash, digest);
  EXPECT_EQ(Hex(digest), kCases[1].digest);
}

TEST(Sha256, AnyChunkingGivesTheDigestOfTheWhole) {
  std::mt19937 random(4711);
  std::string bytes(1048577, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  const std::vector<size_t> kChunkings[] = {{1}, {63}, {64}, {65}, {1, 63, 64, 65, 200, 4099, 0}};
  for (const size_t length : {0, 1, 55, 56, 63, 64, 65, 1048575, 1048576, 1048577}) {
    const std::string message = bytes.substr(0, length);
    // The whole at once on the portable path is the reference for every path.
    const std::string whole = Digest(Portable(), message, kWhole);
    for (const Sha256Path& path : Sha256Paths()) {
      EXPECT_EQ(Digest(path, message, kWhole), whole) << path.name << ", " << length << " bytes";
      for (const auto& chunks : kChunkings) {
        EXPECT_EQ(Digest(path, message, chunks), whole)
            << path.name << ", " << length << " bytes, first chunk " << chunks[0];
      }
    }
  }
}

std::string End(Sha256 hash) {
  unsigned char digest[kSha256Bytes];
  Sha256EndOn(Portable(), &hash, digest);
  return Hex(digest);
}

TEST(Sha256, EveryLanePathGivesWhatOneStreamGives) {
  std::mt19937 random(1);
  std::vector<unsigned char> bytes(1 << 17);
  for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random());
  EXPECT_STREQ(Sha256LanePaths().back().name, "portable");
  for (const Sha256LanePath& path : Sha256LanePaths()) {
    SCOPED_TRACE(path.name);
    // Every count of streams up to past the widest path (16), whole groups and every rest.
    for (size_t lanes = 1; lanes <= 17; ++lanes) {
      // Streams that begin together, 5 bytes into a block, or 3 bytes before its end; bytes
      // that stop short of a block, fill it, run past it, and come from addresses of every
      // alignment.
      for (const size_t before : {0, 5, 61}) {
        for (const size_t count : {0, 1, 3, 55, 56, 59, 63, 64, 65, 127, 128, 1000}) {
          std::vector<Sha256> alone(lanes), together(lanes);
          std::vector<Sha256*> hashes;
          std::vector<const unsigned char*> data;
          for (size_t i = 0; i < lanes; ++i) {
            const unsigned char* from = bytes.data() + 997 * i % 40000 + i % 7;
            Sha256Begin(&alone[i]);
            Sha256AddOn(Portable(), &alone[i], from + 50000, before);
            Sha256AddOn(Portable(), &alone[i], from, count);
            Sha256Begin(&together[i]);
            Sha256AddOn(Portable(), &together[i], from + 50000, before);
            hashes.push_back(&together[i]);
            data.push_back(from);
          }
          Sha256AddLanesOn(path, hashes.data(), data.data(), lanes, count);
          for (size_t i = 0; i < lanes; ++i) {
            ASSERT_EQ(End(together[i]), End(alone[i]))
                << lanes << " lanes, stream " << i << ", " << before << " + " << count;
          }
        }
      }
    }
  }
}

TEST(Sha256, LanesFedInUnevenCalls) {
  // The pieces of a set hashed as they are read: ten streams on the first path, in calls that
  // leave blocks unfinished, finish them and run past them; then 4099 streams at once.
  std::mt19937 random(6);
  std::vector<unsigned char> bytes(1 << 16);
  for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random());
  Sha256 alone[10], together[10];
  Sha256* hashes[10];
  for (int i = 0; i < 10; ++i) {
    Sha256Begin(&alone[i]);
    Sha256Begin(&together[i]);
    hashes[i] = &together[i];
  }
  size_t at = 0;
  for (const size_t count : {3, 61, 1, 64, 200, 7, 0, 57, 4096, 63, 129}) {
    const unsigned char* data[10];
    for (int i = 0; i < 10; ++i) {
      data[i] = bytes.data() + 6000 * i + at;
      Sha256Add(&alone[i], data[i], count);
    }
    Sha256AddLanes(hashes, data, 10, count);
    at += count;
    for (int i = 0; i < 10; ++i) ASSERT_EQ(End(together[i]), End(alone[i])) << at << " bytes";
  }
  std::vector<Sha256> many(4099);
  std::vector<Sha256*> manyHashes;
  std::vector<const unsigned char*> manyData;
  for (size_t i = 0; i < many.size(); ++i) {
    Sha256Begin(&many[i]);
    manyHashes.push_back(&many[i]);
    manyData.push_back(bytes.data() + 11 * i);
  }
  Sha256AddLanes(manyHashes.data(), manyData.data(), many.size(), 150);
  for (size_t i = 0; i < many.size(); ++i) {
    Sha256 one;
    Sha256Begin(&one);
    Sha256AddOn(Portable(), &one, manyData[i], 150);
    ASSERT_EQ(End(many[i]), End(one)) << i;
  }
}

}  // namespace
