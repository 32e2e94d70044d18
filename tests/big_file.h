// Big sparse files for the tests of files larger than the test machine would like to write:
// zero but for marks at chosen places, written without the zeros, and compared with the model
// a buffer at a time. Also the folder where such tests put their bytes, and the process's peak
// memory.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A file of `size` bytes, zero but for marks of 4 KiB, each different, starting at the given
// offsets (marks that would overlap an earlier one or run past the end are left out).
class SparseModel {
 public:
  SparseModel(uint64_t size, std::vector<uint64_t> markStarts);

  // Makes the file: sparse, so only the marks take room.
  void Write(const std::filesystem::path& path) const;
  // Whether the file holds exactly the model's `count` bytes from offset `at` on.
  bool Holds(const std::string& path, uint64_t at, uint64_t count) const;

 private:
  void Fill(uint64_t at, char* out, size_t count) const;

  uint64_t size_;
  std::vector<uint64_t> marks_;
};

// The largest resident memory (working set) this process has had so far, in bytes.
uint64_t PeakMemoryBytes();

// A fresh current folder with room for `bytes`: in memory (/dev/shm) where it has that room,
// else in the temporary folder. Removed again, with the previous current folder restored, in
// TearDown. Without room anywhere the test is skipped, saying so.
class BigFileTest : public ::testing::Test {
 protected:
  void EnterFolderWithRoomFor(uint64_t bytes);
  void TearDown() override;

 private:
  std::filesystem::path dir_;
  std::filesystem::path previous_;
};
