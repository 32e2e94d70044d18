#include "tests/big_file.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: psapi.h needs its types.
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include <algorithm>
#include <cstring>
#include <fstream>

#include "platform/platform.h"
#include "tests/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kMarkBytes = 4096;

std::string MarkBytes(uint64_t start) {
  return PatternBytes(kMarkBytes, static_cast<unsigned>(start % 1000003));
}

}  // namespace

SparseModel::SparseModel(uint64_t size, std::vector<uint64_t> markStarts) : size_(size) {
  std::sort(markStarts.begin(), markStarts.end());
  uint64_t free = 0;
  for (uint64_t at : markStarts) {
    if (at < free || at > size || size - at < kMarkBytes) continue;
    marks_.push_back(at);
    free = at + kMarkBytes;
  }
}

void SparseModel::Write(const fs::path& path) const {
  MakeSparseFile(path, size_);
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  for (uint64_t at : marks_) {
    const std::string mark = MarkBytes(at);
    file.seekp(static_cast<std::streamoff>(at));
    file.write(mark.data(), kMarkBytes);
  }
  ASSERT_TRUE(file.good()) << "cannot write the marks of " << path;
}

void SparseModel::Fill(uint64_t at, char* out, size_t count) const {
  std::memset(out, 0, count);
  for (uint64_t mark : marks_) {
    if (mark + kMarkBytes <= at || mark >= at + count) continue;
    const std::string bytes = MarkBytes(mark);
    const uint64_t from = std::max(mark, at);
    const uint64_t to = std::min(mark + kMarkBytes, at + count);
    std::memcpy(out + (from - at), bytes.data() + (from - mark), to - from);
  }
}

bool SparseModel::Holds(const std::string& path, uint64_t at, uint64_t count) const {
  uint64_t size = 0;
  if (LookUpName(path.c_str(), &size) != NameLookup::kFound || size != count) return false;
  const FileHandle file = OpenForRead(path.c_str());
  if (file == kNoFile) return false;
  const uint32_t chunkBytes = 1u << 20;
  std::vector<char> read(chunkBytes);
  std::vector<char> expected(chunkBytes);
  bool same = true;
  for (uint64_t done = 0; same && done < count;) {
    const uint32_t chunk = static_cast<uint32_t>(std::min<uint64_t>(count - done, chunkBytes));
    Fill(at + done, expected.data(), chunk);
    same = ReadBlock(file, read.data(), chunk) &&
           std::memcmp(read.data(), expected.data(), chunk) == 0;
    done += chunk;
  }
  CloseFile(file);
  return same;
}

void BigFileTest::EnterFolderWithRoomFor(uint64_t bytes) {
#ifdef _WIN32
  const fs::path shm = "Z:\\dev\\shm";  // Wine's drive Z: is the POSIX root
#else
  const fs::path shm = "/dev/shm";
#endif
  for (const fs::path& base : {shm, fs::temp_directory_path()}) {
    std::error_code error;
    const fs::space_info space = fs::space(base, error);
    if (error || space.available < bytes) continue;
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = base / ("filecut-big-" + std::to_string(bytes) + "-" +
                   std::to_string(std::hash<std::string>()(name)));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    previous_ = fs::current_path();
    fs::current_path(dir_);
    return;
  }
  GTEST_SKIP() << "no folder here has room for " << bytes << " bytes";
}

void BigFileTest::TearDown() {
  if (dir_.empty()) return;
  fs::current_path(previous_);
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

uint64_t PeakMemoryBytes() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize;
#else
  struct rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<uint64_t>(usage.ru_maxrss) * 1024u;  // Linux counts KiB
#endif
}
