#include "tests/fault_dirs.h"

#include <cstdlib>
#include <string>

namespace {

// The test command passes POSIX paths; under Wine the same folder is reached through the
// drive Z:, which maps the whole POSIX tree.
std::filesystem::path FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) return {};
  std::string path = value;
#ifdef _WIN32
  if (path[0] == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
#endif
  std::filesystem::path result(path);
  std::error_code error;
  return std::filesystem::is_directory(result, error) ? result : std::filesystem::path();
}

}  // namespace

std::filesystem::path ReadOnlyDir() {
  return FromEnvironment("FILECUT_READONLY_DIR");
}
std::filesystem::path SmallDir() {
  return FromEnvironment("FILECUT_SMALL_DIR");
}
