// The table of operations in force and the short names that call through it.
#include "platform/platform.h"

namespace {
// Held in a function so that it is ready even for calls made during static initialisation.
PlatformOps& Ops() {
  static PlatformOps ops = RealPlatformOps();
  return ops;
}
}  // namespace

void SetPlatformOps(const PlatformOps& ops) {
  Ops() = ops;
}
void ResetPlatformOps() {
  Ops() = RealPlatformOps();
}

FileHandle OpenForRead(const char* path) {
  return Ops().openForRead(path);
}
FileHandle CreateForWrite(const char* path) {
  return Ops().createForWrite(path);
}
NameLookup LookUpName(const char* path, uint64_t* size) {
  return Ops().lookUpName(path, size);
}
bool QueryFileSize(FileHandle file, uint64_t* size) {
  return Ops().queryFileSize(file, size);
}
bool ReadBlock(FileHandle file, void* buffer, uint32_t count) {
  return Ops().readBlock(file, buffer, count);
}
bool WriteBlock(FileHandle file, const void* buffer, uint32_t count) {
  return Ops().writeBlock(file, buffer, count);
}
void CloseFile(FileHandle file) {
  Ops().closeFile(file);
}
uint32_t TickCount() {
  return Ops().tickCount();
}
uint32_t LastError() {
  return Ops().lastError();
}
std::string ErrorText(uint32_t code) {
  return Ops().errorText(code);
}
void* AllocBlock(uint32_t size) {
  return Ops().allocBlock(size);
}
void FreeBlock(void* block) {
  Ops().freeBlock(block);
}
void UpperCaseAscii(char* text) {
  Ops().upperCaseAscii(text);
}
FileHandle CreateTempBeside(const char* path, std::string* name) {
  return Ops().createTempBeside(path, name);
}
bool MoveOver(const char* from, const char* to) {
  return Ops().moveOver(from, to);
}
bool RemoveFile(const char* path) {
  return Ops().removeFile(path);
}
bool FreeSpaceBeside(const char* path, uint64_t* bytes) {
  return Ops().freeSpaceBeside(path, bytes);
}
bool IsSameFile(FileHandle file, const char* path) {
  return Ops().isSameFile(file, path);
}
bool FlushFile(FileHandle file) {
  return Ops().flushFile(file);
}

int FormatText(char* out, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int length = Ops().formatText(out, size, format, args);
  va_end(args);
  return length;
}
