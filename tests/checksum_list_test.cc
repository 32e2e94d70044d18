// A set with its checksum list: what the list names is what a restore joins, and every piece is
// checked before the output is replaced. Lists that this program did not write in its format,
// or that a split did not finish, are refused; the tools people check downloads with read the
// lists it writes.
#include "core/checksum_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>

#include "core/limits.h"
#include "core/restore.h"
#include "core/split.h"
#include "tests/engine_test_util.h"
#include "tests/fault_ops.h"

namespace fs = std::filesystem;

namespace {

const std::string kList = ListName(kBase53203);

class ChecksumListTest : public EngineTest {
 protected:
  // 1000 bytes of "report.pdf" in pieces 53203-00 to 03, their list, and an old output.
  void MakeSet() {
    for (const std::string& name : ListCurrentDir()) fs::remove(name);
    source_ = PatternBytes(1000);
    WriteFileBytes("report.pdf", source_);
    ASSERT_EQ(SplitFile("report.pdf", 300), 1);
    WriteFileBytes(kBase53203, "old");
  }

  // Changes the set, restores it, and expects the failure `kind` blaming `file`, with the output
  // and every other file as they were and no temporary file; or, for kNone, the source restored.
  void ExpectRestore(const std::function<void()>& change, FailureKind kind,
                     const std::string& file) {
    MakeSet();
    change();
    const std::vector<std::string> before = ListCurrentDir();
    WorkContext work;
    EXPECT_EQ(RestoreFile(kBase53203, &work), kind == FailureKind::kNone ? 1 : 0);
    EXPECT_EQ(work.failure.kind, kind);
    EXPECT_EQ(work.failure.file, file);
    EXPECT_EQ(ListCurrentDir(), before);
    if (kind != FailureKind::kNone) {
      EXPECT_EQ(ReadFileBytes(kBase53203), "old");
      return;
    }
    EXPECT_TRUE(ReadFileBytes(kBase53203) == source_);
    EXPECT_EQ(work.originalName, "report.pdf");
  }

  // Rewrites the list with `edit` applied to its text.
  static void EditList(const std::function<void(std::string*)>& edit) {
    std::string text = ReadFileBytes(kList);
    edit(&text);
    WriteFileBytes(kList, text);
  }

  std::string source_;
};

void Replace(std::string* text, const std::string& from, const std::string& to) {
  const size_t at = text->find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text->replace(at, from.size(), to);
}

TEST_F(ChecksumListTest, PiecesAreCheckedAgainstTheirList) {
  const auto flip = [](const char* name, size_t at) {
    return [=] {
      std::string bytes = ReadFileBytes(name);
      bytes[at] = static_cast<char>(bytes[at] ^ 1);
      WriteFileBytes(name, bytes);
    };
  };
  const struct {
    const char* what;
    std::function<void()> change;
    FailureKind kind;
    const char* file;
  } cases[] = {
      {"intact", [] {}, FailureKind::kNone, ""},
      // A piece past those listed, from an older set of the base: not joined.
      {"stale piece", [] { WriteFileBytes("53203-04", "stale"); }, FailureKind::kNone, ""},
      {"first byte", flip("53203-00", 0), FailureKind::kPieceDamaged, "53203-00"},
      {"last byte", flip("53203-03", 99), FailureKind::kPieceDamaged, "53203-03"},
      {"short piece", [] { fs::resize_file("53203-01", 299); }, FailureKind::kPieceMissing,
       "53203-01"},
      {"longer piece", [] { fs::resize_file("53203-02", 301); }, FailureKind::kPieceDamaged,
       "53203-02"},
      {"missing last", [] { fs::remove("53203-03"); }, FailureKind::kPieceMissing, "53203-03"},
      // Checked before anything is written: the missing piece is found, not the damaged one.
      {"both",
       [&] {
         flip("53203-00", 5)();
         fs::remove("53203-02");
       },
       FailureKind::kPieceMissing, "53203-02"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectRestore(c.change, c.kind, c.file);
  }
}

TEST_F(ChecksumListTest, ListsNotOfThisProgramAreRefused) {
  const auto edit = [this](const std::string& from, const std::string& to) {
    return [=] { EditList([&](std::string* text) { Replace(text, from, to); }); };
  };
  const struct {
    const char* what;
    std::function<void()> change;
    bool refused;
  } cases[] = {
      // What other tools write or keep: line ends, a byte order mark, capitals, binary mode.
      {"CR LF",
       [] {
         EditList([](std::string* t) {
           std::string crlf;
           for (const char c : *t) crlf += c == '\n' ? "\r\n" : std::string(1, c);
           *t = crlf;
         });
       },
       false},
      {"byte order mark", [] { EditList([](std::string* t) { t->insert(0, "\xEF\xBB\xBF"); }); },
       false},
      {"capitals",
       [] {
         EditList([](std::string* t) {
           for (size_t at = t->find('\n') + 1; at < t->size(); ++at) {
             if ((*t)[at] >= 'a' && (*t)[at] <= 'f') (*t)[at] = static_cast<char>((*t)[at] - 32);
           }
         });
       },
       false},
      {"binary mode", edit("  53203-01", " *53203-01"), false},
      {"blank line after", [] { EditList([](std::string* t) { *t += "\n\n"; }); }, false},
      // A split that did not finish: fewer lines than its count.
      {"unfinished",
       [] { EditList([](std::string* t) { t->resize(t->rfind('\n', t->size() - 2) + 1); }); },
       true},
      {"count", edit("count=4", "count=5"), true},
      {"size", edit("size=1000", "size=900"), true},
      {"no name", edit("name=\"report.pdf\" ", ""), true},
      {"another file", edit("  53203-01", "  ../53203-01"), true},
      {"another order", edit("53203-01\n", "53203-00\n"), true},
      {"a line more", [] { EditList([](std::string* t) { *t += "# comment\n"; }); }, true},
      {"short hash", edit("  53203-02", "53203-02"), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectRestore(c.change, c.refused ? FailureKind::kListUnreadable : FailureKind::kNone,
                  c.refused ? kList : "");
  }
}

TEST_F(ChecksumListTest, NamesOfEveryKindReadBackAsWritten) {
  for (const std::string name :
       {"report.pdf", "a \"quoted\" \\ name", "\x01tab\tand\nline", "レポート.pdf", ""}) {
    SCOPED_TRACE(name);
    std::string line = HeaderLine({name, 1ull << 40, 0xFFF00000u, 257});
    ASSERT_EQ(line.back(), '\n');
    ASSERT_EQ(line.find('\n'), line.size() - 1);  // one line, whatever the name holds
    line.pop_back();
    SetHeader header;
    ASSERT_TRUE(ParseHeaderLine(line, &header));
    EXPECT_EQ(header.name, name);
    EXPECT_EQ(header.size, 1ull << 40);
    EXPECT_EQ(header.step, 0xFFF00000u);
  }
}

TEST_F(ChecksumListTest, Sha256sumChecksWhatASplitWrote) {
#ifdef _WIN32
  GTEST_SKIP() << "sha256sum runs in the host lane; the Windows lanes run it end to end";
#else
  // Random bytes of lengths around SHA-256's blocks and the copy buffer, each in one piece; then
  // a damaged piece, which sha256sum names.
  std::mt19937 random(7);
  for (const uint32_t length : {0u, 1u, 55u, 56u, 63u, 64u, 65u, kStreamBufferBytes - 1,
                                kStreamBufferBytes, kStreamBufferBytes + 1}) {
    SCOPED_TRACE(length);
    for (const std::string& name : ListCurrentDir()) fs::remove(name);
    std::string bytes(length, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    WriteFileBytes("source", bytes);
    ASSERT_EQ(SplitFile("source", static_cast<int32_t>(kStreamBufferBytes + 1)), 1);
    EXPECT_EQ(std::system(("sha256sum -c " + kList + " >checked 2>&1").c_str()), 0);
    EXPECT_NE(ReadFileBytes("checked").find("53203-00: OK"), std::string::npos);
  }
  // Perl's shasum, as on macOS, reads it too.
  EXPECT_EQ(std::system(("shasum -a 256 -c " + kList + " >checked 2>&1").c_str()), 0);
  EXPECT_NE(ReadFileBytes("checked").find("53203-00: OK"), std::string::npos);
  fs::resize_file("53203-00", 5);
  EXPECT_NE(std::system(("sha256sum -c " + kList + " >checked 2>&1").c_str()), 0);
  EXPECT_NE(ReadFileBytes("checked").find("53203-00: FAILED"), std::string::npos);
#endif
}

}  // namespace
