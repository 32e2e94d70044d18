// Runs one file engine on real files for the benchmark script:
//   filecut_bench split <source> <piece size in bytes>   pieces go to the current directory
//   filecut_bench restore <base text>
// Exit code 0 when the engine returned 1.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/restore.h"
#include "core/split.h"

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "split") == 0) {
    return SplitFile(argv[2], static_cast<int32_t>(std::strtol(argv[3], nullptr, 10))) ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "restore") == 0) return RestoreFile(argv[2]) ? 0 : 1;
  std::fprintf(stderr, "usage: filecut_bench split <source> <piece size> | restore <base>\n");
  return 2;
}
