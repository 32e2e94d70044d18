// The table of operations in force and the short names that call through it.
#include "platform/platform.h"

namespace {
// The replaced operations, in force while `g_replaced` is set. Both start zeroed, before any
// code runs, and the real table is a constant: the operations are ready for any thread at any
// time, without a lock or a guard of a local static, which the shipped program has none of.
PlatformOps g_replacement;
bool g_replaced = false;

const PlatformOps& Ops() {
  return g_replaced ? g_replacement : RealPlatformOps();
}
}  // namespace

void SetPlatformOps(const PlatformOps& ops) {
  g_replacement = ops;
  g_replaced = true;
}
void ResetPlatformOps() {
  g_replaced = false;
}

FileHandle OpenForRead(const char* path) {
  return Ops().openForRead(path);
}
FileHandle CreateNew(const char* path) {
  return Ops().createNew(path);
}
NameLookup LookUpName(const char* path, uint64_t* size) {
  return Ops().lookUpName(path, size);
}
bool IsReadOnly(const char* path) {
  return Ops().isReadOnly(path);
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
bool ListBeside(const char* path, bool (*visit)(void* data, const char* name), void* data) {
  return Ops().listBeside(path, visit, data);
}
bool FlushFile(FileHandle file) {
  return Ops().flushFile(file);
}
Helper* StartHelper() {
  return Ops().startHelper();
}
void EndHelper(Helper* helper) {
  Ops().endHelper(helper);
}

int FormatText(char* out, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int length = Ops().formatText(out, size, format, args);
  va_end(args);
  return length;
}
