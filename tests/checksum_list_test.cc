// A set's checksum list as other tools leave it, or as this program never writes it: what a
// restore still takes, and what it refuses, naming the list, with the output as it was. The
// tools people check downloads with read the lists a split writes. (Damaged, short, missing and
// stale pieces: tests/window_command_test.cc.)
#include "core/checksum_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "core/limits.h"
#include "core/restore.h"
#include "core/split.h"
#include "tests/engine_test_util.h"
#include "tests/fault_ops.h"

namespace fs = std::filesystem;

namespace {

using ChecksumListTest = EngineTest;

const std::string kList = kList53203;

// The list's text with the first `from` replaced by `to`, or, for an empty `from`, with `to`
// after it.
std::string Edited(std::string text, const std::string& from, const std::string& to) {
  const size_t at = from.empty() ? text.size() : text.find(from);
  return at == text.npos ? "(no " + from + ")" : text.replace(at, from.size(), to);
}

TEST_F(ChecksumListTest, ListsOfOtherToolsAreReadAndListsNotOfThisFormatRefused) {
  const std::string source = PatternBytes(1000);
  WriteFileBytes("report.pdf", source);
  ASSERT_EQ(SplitFile("report.pdf", 300), 1);  // 53203-00 to 03
  const std::string list = ReadFileBytes(kList);
  std::string crlf;
  for (const char c : list) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  std::string capitals = list;
  for (size_t at = list.find('\n'); at < list.size(); ++at) {
    if (list[at] >= 'a' && list[at] <= 'f') capitals[at] = static_cast<char>(list[at] - 32);
  }
  const struct {
    const char* what;
    std::string text;
    bool read;
  } cases[] = {
      // What other tools write or keep.
      {"CR LF", crlf, true},
      {"byte order mark", "\xEF\xBB\xBF" + list, true},
      {"capitals", capitals, true},
      {"binary mode", Edited(list, "  53203-01", " *53203-01"), true},
      {"blank lines after", Edited(list, "", "\n\n"), true},
      // A split that did not finish: fewer lines than its count.
      {"unfinished", list.substr(0, list.rfind('\n', list.size() - 2) + 1), false},
      {"count", Edited(list, "count=4", "count=5"), false},
      {"size", Edited(list, "size=1000", "size=900"), false},
      {"no name", Edited(list, "name=\"report.pdf\" ", ""), false},
      {"another file", Edited(list, "  53203-01", "  ../53203-01"), false},
      {"another order", Edited(list, "53203-01\n", "53203-00\n"), false},
      {"a line more", Edited(list, "", "# comment\n"), false},
      {"short hash", Edited(list, "  53203-02", "53203-02"), false},
      {"too long a line", Edited(list, "report.pdf", std::string(8200, 'a')), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFileBytes(kList, c.text);
    WriteFileBytes(kBase53203, "old");
    WorkContext work;
    EXPECT_EQ(RestoreFile(kBase53203, &work), c.read ? 1 : 0);
    EXPECT_EQ(work.failure.file, c.read ? "" : kList);
    EXPECT_TRUE(ReadFileBytes(kBase53203) == (c.read ? source : "old"));
    EXPECT_EQ(ListCurrentDir().size(), 7u);  // the source, the pieces, the list and the output
  }
}

TEST_F(ChecksumListTest, NamesOfEveryKindReadBackAsWritten) {
  for (const std::string name :
       {"report.pdf", "a \"quoted\" \\ name", "\x01tab\tand\nline", "レポート.pdf", ""}) {
    const std::string line = HeaderLine({name, 1ull << 40, 0xFFF00000u, 257});
    ASSERT_EQ(line.find('\n'), line.size() - 1) << name;  // one line, whatever the name holds
    SetHeader header;
    ASSERT_TRUE(ParseHeaderLine(line.substr(0, line.size() - 1), &header)) << name;
    EXPECT_EQ(header.name, name);
    EXPECT_EQ(header.size + header.step, (1ull << 40) + 0xFFF00000u);
  }
}

TEST_F(ChecksumListTest, NamesAreShownWithoutControlsOrBrokenBytes) {
  const std::string r = "\xEF\xBF\xBD";  // U+FFFD
  const struct {
    std::string name;
    std::string shown;
  } cases[] = {
      {"レポート.pdf", "レポート.pdf"},
      {"a\nb\tc\x7F\x01", "a?b?c??"},
      {"\xC2\x85\xC2\x9F\xC2\xA0", "??\xC2\xA0"},           // C1 controls, then a no-break space
      {"caf\xE9", "caf" + r},                               // Latin-1
      {"\xC0\xAF\xED\xA0\x80", r + r + r + r + r},          // too long a form, a surrogate
      {"\xF4\x90\x80\x80\xE3\x81", r + r + r + r + r + r},  // past U+10FFFF, cut short
  };
  for (const auto& c : cases) EXPECT_EQ(ShownName(c.name), c.shown) << c.name;
}

TEST_F(ChecksumListTest, Sha256sumAndShasumCheckWhatASplitWrote) {
#ifdef _WIN32
  GTEST_SKIP() << "sha256sum runs in the host lane; the Windows lanes run it end to end";
#else
  // Random bytes of lengths around SHA-256's blocks and the copy buffer, each in one piece; then
  // a damaged piece, which sha256sum names.
  const auto check = [](const char* tool, const char* expected) {
    const int status = std::system((std::string(tool) + " -c " + kList + " >checked").c_str());
    EXPECT_EQ(status == 0, std::string(expected) == "OK") << tool;
    EXPECT_NE(ReadFileBytes("checked").find(std::string("53203-00: ") + expected),
              std::string::npos);
  };
  std::mt19937 random(7);
  for (const uint32_t length : {0u, 1u, 55u, 56u, 63u, 64u, 65u, kStreamBufferBytes - 1,
                                kStreamBufferBytes, kStreamBufferBytes + 1}) {
    SCOPED_TRACE(length);
    for (const std::string& name : ListCurrentDir()) fs::remove(name);
    std::string bytes(length, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    WriteFileBytes("source", bytes);
    ASSERT_EQ(SplitFile("source", static_cast<int32_t>(kStreamBufferBytes + 1)), 1);
    check("sha256sum", "OK");
  }
  check("shasum -a 256", "OK");  // Perl's, as on macOS
  fs::resize_file("53203-00", 5);
  check("sha256sum", "FAILED");
#endif
}

}  // namespace
