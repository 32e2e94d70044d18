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
NameLookup GetNameSize(const char* path, uint64_t* size) {
  return Ops().nameSize(path, size);
}
int GetFileSize64(FileHandle file, uint64_t* size) {
  return Ops().fileSize(file, size);
}
int ReadBlock(FileHandle file, void* buffer, uint32_t count) {
  return Ops().readBlock(file, buffer, count);
}
int WriteBlock(FileHandle file, const void* buffer, uint32_t count) {
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
  Ops().upperCase(text);
}
FileHandle CreateTempBeside(const char* path, std::string* name) {
  return Ops().createTempBeside(path, name);
}
int MoveOver(const char* from, const char* to) {
  return Ops().moveOver(from, to);
}
int RemoveFile(const char* path) {
  return Ops().removeFile(path);
}
int FreeSpaceBeside(const char* path, uint64_t* bytes) {
  return Ops().freeSpace(path, bytes);
}
int IsSameFile(FileHandle file, const char* path) {
  return Ops().sameFile(file, path);
}
int FlushFile(FileHandle file) {
  return Ops().flushFile(file);
}

int FormatText(char* out, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int length = Ops().formatV(out, size, format, args);
  va_end(args);
  return length;
}
