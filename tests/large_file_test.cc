// The product's reason for holding whole files in one block: a 32-bit process that is large-
// address aware can split a file of 1.5 GiB into pieces of 256 MiB and restore it byte for
// byte. The source is sparse, with marks written around the piece boundaries and at its end,
// so that a piece joined at the wrong place shows. Windows build only.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/restore.h"
#include "core/split.h"
#include "tests/engine_test_util.h"
#include "tests/fault_ops.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kMiB = 1024 * 1024;
constexpr uint32_t kSourceBytes = 1536 * kMiB;
constexpr uint32_t kPieceBytes = 256 * kMiB;

// Under Wine the pieces go to memory (/dev/shm) rather than the disk, where it is there.
fs::path WorkFolder() {
  const fs::path shm = "Z:\\dev\\shm";
  std::error_code error;
  const fs::path base = fs::is_directory(shm, error) ? shm : fs::temp_directory_path();
  return base / ("filecut-large-" + std::to_string(GetCurrentProcessId()));
}

HANDLE OpenForTest(const fs::path& path, DWORD access, DWORD creation) {
  return CreateFileA(path.string().c_str(), access, FILE_SHARE_READ, nullptr, creation,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool SeekTo(HANDLE file, uint32_t offset) {
  LARGE_INTEGER at;
  at.QuadPart = offset;
  return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != 0;
}

// A file of kSourceBytes that is all zeros but for 4 KiB marks that differ from each other.
void WriteSparseSource(const fs::path& path) {
  HANDLE file = OpenForTest(path, GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(SeekTo(file, kSourceBytes));
  ASSERT_TRUE(SetEndOfFile(file));
  std::vector<uint32_t> marks;
  for (uint32_t boundary = kPieceBytes; boundary < kSourceBytes; boundary += kPieceBytes) {
    marks.push_back(boundary - 2048);  // straddles the end of one piece and the start of the next
  }
  marks.push_back(0);
  marks.push_back(kSourceBytes - 4096);
  for (uint32_t at : marks) {
    const std::string mark = PatternBytes(4096, at);
    DWORD done = 0;
    ASSERT_TRUE(SeekTo(file, at));
    ASSERT_TRUE(WriteFile(file, mark.data(), 4096, &done, nullptr) && done == 4096);
  }
  CloseHandle(file);
}

// Compares two files in chunks, so that the test holds no more than the engines do.
bool SameBytes(const fs::path& a, const fs::path& b) {
  if (fs::file_size(a) != fs::file_size(b)) return false;
  HANDLE fa = OpenForTest(a, GENERIC_READ, OPEN_EXISTING);
  HANDLE fb = OpenForTest(b, GENERIC_READ, OPEN_EXISTING);
  std::vector<char> ba(16 * kMiB);
  std::vector<char> bb(16 * kMiB);
  bool same = fa != INVALID_HANDLE_VALUE && fb != INVALID_HANDLE_VALUE;
  for (DWORD na = 1, nb = 1; same && na > 0;) {
    same = ReadFile(fa, ba.data(), 16 * kMiB, &na, nullptr) &&
           ReadFile(fb, bb.data(), 16 * kMiB, &nb, nullptr) && na == nb &&
           std::equal(ba.begin(), ba.begin() + na, bb.begin());
  }
  CloseHandle(fa);
  CloseHandle(fb);
  return same;
}

class LargeFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = WorkFolder();
    fs::create_directories(dir_);
    previous_ = fs::current_path();
    fs::current_path(dir_);
    InstallFaultOps();
    FixTickCount(kTickForBase53203);
  }
  void TearDown() override {
    RemoveFaultOps();
    fs::current_path(previous_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  fs::path dir_;
  fs::path previous_;
};

TEST_F(LargeFileTest, SplitsAndRestores1Point5GiB) {
  ASSERT_NO_FATAL_FAILURE(WriteSparseSource("source"));
  ASSERT_EQ(SplitFile("source", static_cast<int32_t>(kPieceBytes)), 1);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(fs::file_size(PieceName(kBase53203, i)), kPieceBytes);
  EXPECT_FALSE(fs::exists(PieceName(kBase53203, 6)));
  const uint64_t before = BytesAllocated();
  ASSERT_EQ(RestoreFile(kBase53203), 1);
  EXPECT_EQ(BytesAllocated() - before, kSourceBytes);  // one block of the output's size
  EXPECT_EQ(LiveBlocks(), 0);
  EXPECT_TRUE(SameBytes("source", kBase53203));
}

}  // namespace
