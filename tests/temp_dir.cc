#include "tests/temp_dir.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

void TempDirTest::SetUp() {
  static std::atomic<unsigned> serial{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::ostringstream name;
  name << "filecut-test-" << stamp << "-" << serial++;
  dir_ = fs::temp_directory_path() / name.str();
  fs::create_directories(dir_);
  previous_ = fs::current_path();
  fs::current_path(dir_);
}

void TempDirTest::TearDown() {
  fs::current_path(previous_);
  std::error_code ignored;
#ifdef _WIN32
  // In the "\\?\" form, so that names that Windows would otherwise change (a trailing dot or
  // space) go too.
  fs::remove_all(L"\\\\?\\" + dir_.wstring(), ignored);
#else
  fs::remove_all(dir_, ignored);
#endif
}

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot open " << path;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFileBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string PatternBytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    bytes[i] = static_cast<char>(x);
  }
  return bytes;
}

std::vector<std::string> ListCurrentDir() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(fs::current_path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void MakeSparseFile(const std::filesystem::path& path, uint64_t size) {
  { std::ofstream create(path, std::ios::binary); }
  std::filesystem::resize_file(path, size);
}
