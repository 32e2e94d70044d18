// Sources past 2 GiB and 4 GiB, split and restored for real in every build, the 32-bit product
// included: the engines stream them through one buffer, so memory stays small whatever the
// size. The sources are sparse, zero but for marks at every piece boundary, at odd offsets,
// across the 2 GiB and 4 GiB lines and at the end; every byte of every piece and of the
// restored file is compared with that model, so a byte copied to the wrong place, twice, or
// not at all shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/limits.h"
#include "core/restore.h"
#include "core/split.h"
#include "platform/platform.h"
#include "tests/engine_test_util.h"
#include "tests/fault_ops.h"
#include "tests/peak_memory.h"

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kMiB = 1024 * 1024;
constexpr uint64_t kGiB = 1024 * kMiB;
constexpr uint64_t kMarkBytes = 4096;

struct Row {
  const char* name;
  uint64_t sourceBytes;
  int32_t pieceSize;  // as the split command hands it over: 4095 MB is negative
};

// Each size once, each kind of piece size once; one row at a time holds at most the pieces
// and the restored file, twice the source, in the work folder.
const Row kRows[] = {
    {"Exactly2GiBIn1GiBPieces", 2 * kGiB, static_cast<int32_t>(kGiB)},
    {"OddSizePast2GiBInOddPieces", 2 * kGiB + 4321, 700000001},
    {"Past4GiBInPiecesOf4095MB", 4 * kGiB + 1000, static_cast<int32_t>(0xFFF00000u)},
};
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name;
}

// The source, as its maker wrote it: zero but for marks of kMarkBytes, each different.
class SparseModel {
 public:
  SparseModel(uint64_t size, uint32_t step) : size_(size) {
    std::vector<uint64_t> starts = {0,
                                    size - kMarkBytes,
                                    2 * kGiB - 1001,
                                    4 * kGiB - 3,
                                    kStreamBufferBytes - 7,
                                    3 * kStreamBufferBytes + 13};
    for (uint64_t boundary = step; boundary < size; boundary += step) {
      starts.push_back(boundary - kMarkBytes / 2);  // the end of one piece, the start of the next
    }
    std::sort(starts.begin(), starts.end());
    uint64_t free = 0;
    for (uint64_t at : starts) {
      if (at < free || at + kMarkBytes > size) continue;  // no overlaps, nothing past the end
      marks_.push_back(at);
      free = at + kMarkBytes;
    }
  }

  void Write(const fs::path& path) const {
    MakeSparseFile(path, size_);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    for (uint64_t at : marks_) {
      const std::string mark = PatternBytes(kMarkBytes, static_cast<unsigned>(at % 1000003));
      file.seekp(static_cast<std::streamoff>(at));
      file.write(mark.data(), kMarkBytes);
    }
    ASSERT_TRUE(file.good()) << "cannot write the marks of " << path;
  }

  // The model's bytes from `at` on.
  void Fill(uint64_t at, char* out, size_t count) const {
    std::memset(out, 0, count);
    for (uint64_t mark : marks_) {
      if (mark + kMarkBytes <= at || mark >= at + count) continue;
      const std::string bytes = PatternBytes(kMarkBytes, static_cast<unsigned>(mark % 1000003));
      const uint64_t from = std::max(mark, at);
      const uint64_t to = std::min(mark + kMarkBytes, at + count);
      std::memcpy(out + (from - at), bytes.data() + (from - mark), to - from);
    }
  }

  // Whether the file holds exactly the model's bytes from `at` on, `count` of them.
  bool Holds(const std::string& path, uint64_t at, uint64_t count) const {
    uint64_t size = 0;
    if (!GetNameSize(path.c_str(), &size) || size != count) return false;
    const FileHandle file = OpenForRead(path.c_str());
    if (file == kNoFile) return false;
    std::vector<char> read(kStreamBufferBytes);
    std::vector<char> expected(kStreamBufferBytes);
    bool same = true;
    for (uint64_t done = 0; same && done < count;) {
      const uint32_t chunk = static_cast<uint32_t>(std::min<uint64_t>(count - done, read.size()));
      Fill(at + done, expected.data(), chunk);
      same = ReadBlock(file, read.data(), chunk) &&
             std::memcmp(read.data(), expected.data(), chunk) == 0;
      done += chunk;
    }
    CloseFile(file);
    return same;
  }

 private:
  uint64_t size_;
  std::vector<uint64_t> marks_;
};

// Where the bytes go: memory (/dev/shm) where it has room for them, else the temporary folder.
fs::path WorkFolder(uint64_t bytes) {
#ifdef _WIN32
  const fs::path shm = "Z:\\dev\\shm";
#else
  const fs::path shm = "/dev/shm";
#endif
  for (const fs::path& base : {shm, fs::temp_directory_path()}) {
    std::error_code error;
    const fs::space_info space = fs::space(base, error);
    if (!error && space.available >= bytes) return base;
  }
  return {};
}

class HugeFileTest : public ::testing::TestWithParam<Row> {
 protected:
  void TearDown() override {
    RemoveFaultOps();
    if (dir_.empty()) return;
    fs::current_path(previous_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  fs::path dir_;
  fs::path previous_;
};

TEST_P(HugeFileTest, SplitsAndRestoresStreamedInLittleMemory) {
  const Row& row = GetParam();
  const uint32_t step = static_cast<uint32_t>(row.pieceSize);
  const fs::path base = WorkFolder(2 * row.sourceBytes + 256 * kMiB);
  if (base.empty()) GTEST_SKIP() << "no folder here has room for " << 2 * row.sourceBytes;
  dir_ = base / ("filecut-huge-" + std::to_string(row.sourceBytes));
  fs::remove_all(dir_);
  fs::create_directories(dir_);
  previous_ = fs::current_path();
  fs::current_path(dir_);

  const SparseModel model(row.sourceBytes, step);
  ASSERT_NO_FATAL_FAILURE(model.Write("source"));
  InstallFaultOps();
  FixTickCount(kTickForBase53203);
  const uint64_t peakBefore = PeakMemoryBytes();

  ASSERT_EQ(SplitFile("source", row.pieceSize), 1);
  const uint64_t count = (row.sourceBytes + step - 1) / step;
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t at = i * step;
    const std::string name = PieceName(kBase53203, static_cast<int>(i));
    EXPECT_TRUE(model.Holds(name, at, std::min<uint64_t>(step, row.sourceBytes - at))) << name;
  }
  EXPECT_FALSE(fs::exists(PieceName(kBase53203, static_cast<int>(count))));
  fs::remove("source");  // the restore must not lean on it

  ASSERT_EQ(RestoreFile(kBase53203), 1);
  EXPECT_TRUE(model.Holds(kBase53203, 0, row.sourceBytes));
  EXPECT_EQ(ListCurrentDir().size(), count + 1);  // the pieces and the output, nothing else

  // One buffer for each engine, and nothing near the size of the file in memory.
  EXPECT_EQ(BytesAllocated(), 2 * uint64_t{kStreamBufferBytes});
  EXPECT_EQ(LiveBlocks(), 0);
  EXPECT_EQ(OpenFiles(), 0);
  EXPECT_LE(PeakMemoryBytes() - peakBefore, 64 * kMiB);
}

INSTANTIATE_TEST_SUITE_P(Sizes, HugeFileTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
