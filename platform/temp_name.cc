#include "platform/temp_name.h"

#include <cstring>

FileHandle CreateUnderFreeName(const char* path, char* name, size_t size,
                               FileHandle (*createNew)(const char* name, bool* taken)) {
  const size_t length = std::strlen(path);
  if (length == 0 || size < length + 4) return kNoFile;
  std::memcpy(name, path, length);
  name[length] = '~';
  name[length + 3] = '\0';
  static const char kHex[] = "0123456789ABCDEF";
  for (unsigned serial = 0; serial < 256; ++serial) {
    name[length + 1] = kHex[serial >> 4];
    name[length + 2] = kHex[serial & 15];
    bool taken = false;
    const FileHandle file = createNew(name, &taken);
    if (file != kNoFile || !taken) return file;
  }
  return kNoFile;
}
