#include "core/checksum_list.h"

#include <cstring>

#include "core/limits.h"
#include "core/work_context.h"
#include "platform/ascii.h"

namespace {

constexpr char kHeaderStart[] = "; filecut name=\"";

// The longest line a list of this program holds: a name of 255 UTF-16 units is at most 765
// bytes of UTF-8, or four times that with every byte escaped.
constexpr size_t kMaxLine = 8192;
// How much of the list is read at once.
constexpr uint32_t kReadBytes = 64 * 1024;

// Reads a decimal number without sign or leading zeros at `*at`, up to `max`.
bool ReadNumber(const std::string& line, size_t* at, uint64_t max, uint64_t* value) {
  const size_t start = *at;
  uint64_t number = 0;
  while (*at < line.size() && line[*at] >= '0' && line[*at] <= '9') {
    const unsigned digit = static_cast<unsigned>(line[*at] - '0');
    if (number > (max - digit) / 10) return false;
    number = number * 10 + digit;
    ++*at;
  }
  const size_t digits = *at - start;
  if (digits == 0 || (digits > 1 && line[start] == '0')) return false;
  *value = number;
  return true;
}

// Whether `line` holds `text` at `*at`; moves past it if so.
bool Expect(const std::string& line, size_t* at, const char* text) {
  const size_t length = std::strlen(text);
  if (line.compare(*at, length, text) != 0) return false;
  *at += length;
  return true;
}

// The name between the quotes, with its escapes undone; `*at` is just after the opening quote
// and ends just after the closing one.
bool ReadQuotedName(const std::string& line, size_t* at, std::string* name) {
  name->clear();
  while (*at < line.size()) {
    const char c = line[(*at)++];
    if (c == '"') return true;
    if (c != '\\') {
      *name += c;
      continue;
    }
    if (*at >= line.size()) return false;
    const char escaped = line[(*at)++];
    if (escaped == '\\' || escaped == '"') {
      *name += escaped;
    } else if (escaped == 'x' && *at + 2 <= line.size() && HexValue(line[*at]) >= 0 &&
               HexValue(line[*at + 1]) >= 0) {
      *name += static_cast<char>(HexValue(line[*at]) * 16 + HexValue(line[*at + 1]));
      *at += 2;
    } else {
      return false;
    }
  }
  return false;
}

// The length of the UTF-8 character at `at`: 1 to 4, or 0 where the bytes there are none (a
// stray continuation byte, a sequence cut short, too long a form, a surrogate, past U+10FFFF).
size_t Utf8Length(const std::string& text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80;  // the second byte's range, narrower after some leads
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[at + i]);
    if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

}  // namespace

FilePath ListName(const FilePath& base) {
  return base.AddSuffix(kListSuffix);
}

bool BaseOfList(const FilePath& path, FilePath* base) {
  return path.RemoveSuffix(kListSuffix, base);
}

std::string HeaderLine(const SetHeader& header) {
  std::string line = kHeaderStart;
  for (const char c : header.name) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      line += '\\';
      line += c;
    } else if (byte < 0x20) {
      line += "\\x";
      line += HexDigit(byte >> 4);
      line += HexDigit(byte);
    } else {
      line += c;
    }
  }
  line += "\" size=" + std::to_string(header.size) + " piece=" + std::to_string(header.step) +
          " count=" + std::to_string(header.count) + "\n";
  return line;
}

std::string PieceLine(const unsigned char digest[kSha256Bytes], const std::string& pieceName) {
  std::string line;
  line.reserve(2 * kSha256Bytes + 3 + pieceName.size());
  for (size_t i = 0; i < kSha256Bytes; ++i) {
    line += HexDigit(digest[i] >> 4);
    line += HexDigit(digest[i]);
  }
  return line + "  " + pieceName + "\n";
}

bool ParseHeaderLine(const std::string& line, SetHeader* header) {
  size_t at = 0;
  uint64_t step = 0;
  if (!Expect(line, &at, kHeaderStart) || !ReadQuotedName(line, &at, &header->name) ||
      !Expect(line, &at, " size=") || !ReadNumber(line, &at, UINT64_MAX, &header->size) ||
      !Expect(line, &at, " piece=") || !ReadNumber(line, &at, UINT32_MAX, &step) ||
      !Expect(line, &at, " count=") || !ReadNumber(line, &at, kMaxPieceCount, &header->count) ||
      at != line.size() || step == 0) {
    return false;
  }
  header->step = static_cast<uint32_t>(step);
  return header->count == PieceCount(header->size, header->step);
}

bool ParsePieceLine(const std::string& line, const std::string& pieceName,
                    unsigned char digest[kSha256Bytes]) {
  if (line.size() != 2 * kSha256Bytes + 2 + pieceName.size()) return false;
  for (size_t i = 0; i < kSha256Bytes; ++i) {
    const int high = HexValue(line[2 * i]);
    const int low = HexValue(line[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    digest[i] = static_cast<unsigned char>(high * 16 + low);
  }
  const size_t at = 2 * kSha256Bytes;
  return line[at] == ' ' && (line[at + 1] == ' ' || line[at + 1] == '*') &&
         line.compare(at + 2, std::string::npos, pieceName) == 0;
}

ListReader::~ListReader() {
  if (file != kNoFile) CloseFile(file);
}

bool OpenList(WorkContext* work, const FilePath& name, ListReader* list) {
  list->name = name.value();
  list->file = OpenForRead(name.c_str());
  if (list->file == kNoFile) return FailSystem(work, list->name);
  return QueryFileSize(list->file, &list->left) || FailSystem(work, list->name);
}

ListLine NextLine(WorkContext* work, ListReader* list, std::string* line) {
  for (;;) {
    const size_t end = list->bytes.find('\n', list->at);
    if (end != std::string::npos || list->left == 0) {
      if (end == std::string::npos && list->at == list->bytes.size()) return ListLine::kEnd;
      const size_t stop = end == std::string::npos ? list->bytes.size() : end;
      if (stop - list->at > kMaxLine) break;
      line->assign(list->bytes, list->at, stop - list->at);
      list->at = end == std::string::npos ? stop : end + 1;
      if (!line->empty() && line->back() == '\r') line->pop_back();
      if (list->first && line->compare(0, 3, "\xEF\xBB\xBF") == 0) line->erase(0, 3);
      list->first = false;
      return ListLine::kLine;
    }
    // No whole line in what was read: keep the start of it and read more.
    list->bytes.erase(0, list->at);
    list->at = 0;
    if (list->bytes.size() > kMaxLine) break;
    const uint32_t chunk = list->left < kReadBytes ? static_cast<uint32_t>(list->left) : kReadBytes;
    const size_t had = list->bytes.size();
    list->bytes.resize(had + chunk);
    if (!ReadBlock(list->file, &list->bytes[had], chunk)) {
      FailSystem(work, list->name);
      return ListLine::kFailed;
    }
    list->left -= chunk;
  }
  Fail(work, FailureKind::kListUnreadable, list->name);
  return ListLine::kFailed;
}

bool ReadListHeader(WorkContext* work, ListReader* list, std::string* line, SetHeader* header) {
  const ListLine read = NextLine(work, list, line);
  if (read == ListLine::kFailed) return false;
  return (read == ListLine::kLine && ParseHeaderLine(*line, header)) ||
         Fail(work, FailureKind::kListUnreadable, list->name);
}

bool ReadListedDigest(WorkContext* work, ListReader* list, const std::string& pieceName,
                      FailureKind wrong, unsigned char digest[kSha256Bytes]) {
  std::string line;
  const ListLine read = NextLine(work, list, &line);
  if (read == ListLine::kFailed) return false;
  return (read == ListLine::kLine && ParsePieceLine(line, pieceName, digest)) ||
         Fail(work, wrong, list->name);
}

bool ReadListEnd(WorkContext* work, ListReader* list) {
  std::string line;
  ListLine read;
  while ((read = NextLine(work, list, &line)) == ListLine::kLine) {
    if (!line.empty()) return Fail(work, FailureKind::kListUnreadable, list->name);
  }
  return read == ListLine::kEnd;
}

std::string ShownName(const std::string& name) {
  std::string shown;
  for (size_t at = 0; at < name.size();) {
    const size_t length = Utf8Length(name, at);
    const unsigned char byte = static_cast<unsigned char>(name[at]);
    if (length == 0) {
      shown += "\xEF\xBF\xBD";  // U+FFFD
      at += 1;
      continue;
    }
    // C0 controls, DEL, and the C1 controls U+0080 to U+009F (C2 80 to C2 9F).
    const bool control = byte < 0x20 || byte == 0x7F ||
                         (byte == 0xC2 && static_cast<unsigned char>(name[at + 1]) < 0xA0);
    shown += control ? std::string("?") : name.substr(at, length);
    at += length;
  }
  return shown;
}
