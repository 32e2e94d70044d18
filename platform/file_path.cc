#include "platform/file_path.h"

#include <string_view>

#include "platform/ascii.h"

namespace {

// Where the last component starts: after the last separator, or after a drive's colon.
size_t NameStart(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  if (separator != std::string::npos) return separator + 1;
  return StartsWithDrive(path) ? 2 : 0;
}

// Where the last character before `end` (at least 1) starts: at a UTF-8 lead byte (11xxxxxx)
// followed by up to three continuation bytes (10xxxxxx). A byte that is not part of such a
// sequence counts as a character of its own.
size_t LastCharacterStart(const std::string& text, size_t end) {
  size_t at = end - 1;
  for (int back = 0; back < 3 && at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
       ++back) {
    --at;
  }
  return (static_cast<unsigned char>(text[at]) & 0xC0) == 0xC0 ? at : end - 1;
}

}  // namespace

FilePath FilePath::DirName() const {
  const size_t start = NameStart(value_);
  return FilePath(start == 0 ? std::string(".") : value_.substr(0, start));
}

std::string FilePath::BaseName() const {
  return value_.substr(NameStart(value_));
}

FilePath FilePath::AddSuffix(const std::string& suffix) const {
  return FilePath(value_ + suffix);
}

bool FilePath::RemoveSuffix(const std::string& suffix, FilePath* rest) const {
  if (value_.size() <= suffix.size()) return false;
  const size_t start = value_.size() - suffix.size();
  if (!SameIgnoringAsciiCase(std::string_view(value_).substr(start), suffix)) return false;
  *rest = FilePath(value_.substr(0, start));
  return true;
}

bool FilePath::RemoveLastCharacters(int count, FilePath* rest) const {
  size_t end = value_.size();
  for (int cut = 0; cut < count; ++cut) {
    if (end == 0) return false;
    end = LastCharacterStart(value_, end);
  }
  *rest = FilePath(value_.substr(0, end));
  return true;
}
