// The folders for real file-system faults that the test command mounts: a read-only one and a
// small one that fills up. Each returns an empty path when the folder is not there.
#pragma once

#include <filesystem>

// Read-only, holding "source.bin" ("source bytes") and the pieces "ro-00" ("abc"), "ro-01"
// ("def").
std::filesystem::path ReadOnlyDir();
// Writable, 1 MiB in all.
std::filesystem::path SmallDir();

// In a test: `FAULT_DIR_OR_SKIP(dir, SmallDir);` declares `dir` as that folder, or skips the
// test, saying why, when the folder is not there.
#define FAULT_DIR_OR_SKIP(name, getter)        \
  const std::filesystem::path name = getter(); \
  if (name.empty()) GTEST_SKIP() << #getter "(): the test command mounts this folder as root"
