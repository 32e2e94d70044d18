#include "platform/temp_name.h"

#include "platform/file_path.h"

FileHandle CreateUnderFreeName(const char* path, std::string* name,
                               FileHandle (*createNew)(const char* name, bool* taken)) {
  if (*path == '\0') return kNoFile;
  std::string candidate = FilePath(path).AddSuffix("~00").value();
  const size_t digits = candidate.size() - 2;
  static const char kHex[] = "0123456789ABCDEF";
  for (unsigned serial = 0; serial < 256; ++serial) {
    candidate[digits] = kHex[serial >> 4];
    candidate[digits + 1] = kHex[serial & 15];
    bool taken = false;
    const FileHandle file = createNew(candidate.c_str(), &taken);
    if (file != kNoFile) *name = candidate;
    if (file != kNoFile || !taken) return file;
  }
  return kNoFile;
}
