// The Win32 table of platform calls is made in four files, each with one job: the table itself
// with the clock, the error codes and the memory (platform_win.cc); the files and their reads and
// writes (platform_win_files.cc); names, folders and free space (platform_win_names.cc); and the
// helper's thread (platform_win_helper.cc). This is what they share, for them alone: the rest of
// the program calls through platform/platform.h.
#pragma once

#include <windows.h>

#include <string>

#include "platform/platform.h"

// The name that a wide call gets for a UTF-8 path: the "\\?\" form of its exact full path, so
// that it means the file it spells, at any length (platform/win_path.h). A text that is not valid
// UTF-8 fails, with the error code of an invalid name.
bool SystemName(const char* path, std::wstring* name);

// The calls of the table, by the names of its fields (platform/platform.h says what each does).
FileHandle Win32OpenForRead(const char* path);
FileHandle Win32CreateNew(const char* path);
bool Win32QueryFileSize(FileHandle file, uint64_t* size);
bool Win32QueryFileState(FileHandle file, FileState* state);
bool Win32RewindFile(FileHandle file);
bool Win32ReadBlock(FileHandle file, void* buffer, uint32_t count);
bool Win32WriteBlock(FileHandle file, const void* buffer, uint32_t count);
bool Win32ReadBlockAt(FileHandle file, uint64_t offset, void* buffer, uint32_t count);
bool Win32WriteBlockAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t count);
void Win32CloseFile(FileHandle file);
bool Win32FlushFile(FileHandle file);

NameLookup Win32LookUpName(const char* path, uint64_t* size);
bool Win32IsReadOnly(const char* path);
bool Win32MoveOver(const char* from, const char* to);
bool Win32RemoveFile(const char* path);
bool Win32RemoveUnheld(const char* path);
bool Win32CanReplace(const char* path);
bool Win32MayBeHeld(uint32_t error, const char* path);
bool Win32NameTaken(uint32_t error, const char* path);
bool Win32FreeSpace(const char* folder, uint64_t* bytes);
bool Win32ListFolder(const char* folder, bool (*visit)(void* data, const char* name), void* data);

Helper* Win32StartHelper();
void Win32EndHelper(Helper* helper);
