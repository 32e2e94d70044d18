// Each test runs in a fresh, empty current directory of its own, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::filesystem::path dir_;

 private:
  std::filesystem::path previous_;
};

// Whole-file helpers for checking what the engines left on disk.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
// `size` bytes of a repeatable pattern that differs at every offset within 2^24 bytes.
std::string PatternBytes(size_t size, unsigned seed = 1);
// Makes a sparse file of `size` bytes: only its size is real, so it costs no disk space.
void MakeSparseFile(const std::filesystem::path& path, uint64_t size);
// Names of the regular files and folders in the current directory, sorted.
std::vector<std::string> ListCurrentDir();
