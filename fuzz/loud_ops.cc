#include "fuzz/loud_ops.h"

#include <cstdio>
#include <cstdlib>

namespace {

template <typename Op>
struct Loud;

// One function of the operation's own signature for every operation, named by `Name`.
template <typename Result, typename... Args>
struct Loud<Result (*)(Args...)> {
  template <typename Name>
  static Result Call(Args...) {
    std::fprintf(stderr, "platform operation %s is not faked\n", Name::Text());
    std::abort();
  }
};

}  // namespace

#define FILECUT_LOUD(member)                      \
  struct member##Name {                           \
    static const char* Text() { return #member; } \
  };                                              \
  ops.member = &Loud<decltype(ops.member)>::Call<member##Name>

PlatformOps LoudPlatformOps() {
  PlatformOps ops;
  FILECUT_LOUD(openForRead);
  FILECUT_LOUD(createForWrite);
  FILECUT_LOUD(nameSize);
  FILECUT_LOUD(fileSize);
  FILECUT_LOUD(readBlock);
  FILECUT_LOUD(writeBlock);
  FILECUT_LOUD(closeFile);
  FILECUT_LOUD(tickCount);
  FILECUT_LOUD(allocBlock);
  FILECUT_LOUD(freeBlock);
  FILECUT_LOUD(upperCase);
  FILECUT_LOUD(formatV);
  FILECUT_LOUD(createTempBeside);
  FILECUT_LOUD(moveOver);
  FILECUT_LOUD(removeFile);
  FILECUT_LOUD(freeSpace);
  FILECUT_LOUD(sameFile);
  FILECUT_LOUD(flushFile);
  // A new operation makes the table larger: it must be listed above, or this fails to build.
  static_assert(sizeof ops == 18 * sizeof ops.openForRead, "every operation must be listed");
  return ops;
}
