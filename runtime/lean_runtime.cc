// The parts of the C++ runtime that the shipped filecut.exe replaces, linked into it alone.
//
// The program throws and catches nothing: its only failures from the runtime are running out of
// memory or an impossible string length, and the runtime's versions of these functions answer
// them by throwing an exception that nothing catches. That ends the program through
// std::terminate and its verbose handler, which demangles the exception's type name and prints
// it to a standard error stream that a GUI program does not have. Both together bring the
// exception machinery, the unwinder, the demangler and a printf into the program: most of its
// code. Here the same failures end the program at once with abort(), as the uncaught exception
// did in the end.
#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void Fail() {
  std::abort();
}

}  // namespace

void* operator new(std::size_t size) {
  if (void* block = std::malloc(size ? size : 1)) return block;
  Fail();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
// The forms that answer a failure with a null pointer, which their callers handle.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size ? size : 1);
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete[](void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  std::free(block);
}

// What the standard headers call where a container or string would throw.
namespace std {
// clang-format off
void __throw_bad_exception() { Fail(); }
void __throw_bad_alloc() { Fail(); }
void __throw_bad_array_new_length() { Fail(); }
void __throw_bad_cast() { Fail(); }
void __throw_bad_typeid() { Fail(); }
void __throw_logic_error(const char*) { Fail(); }
void __throw_domain_error(const char*) { Fail(); }
void __throw_invalid_argument(const char*) { Fail(); }
void __throw_length_error(const char*) { Fail(); }
void __throw_out_of_range(const char*) { Fail(); }
void __throw_out_of_range_fmt(const char*, ...) { Fail(); }
void __throw_runtime_error(const char*) { Fail(); }
void __throw_range_error(const char*) { Fail(); }
void __throw_overflow_error(const char*) { Fail(); }
void __throw_underflow_error(const char*) { Fail(); }
// clang-format on
}  // namespace std

// Should anything still reach std::terminate, it ends the program without the demangler.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  Fail();
}
}  // namespace __gnu_cxx
