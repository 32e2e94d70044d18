// The POSIX table of platform calls is made in four files, each with one job: the table itself
// with the clock, the error codes and the memory (platform_posix.cc); the files and their reads
// and writes (platform_posix_files.cc); names, folders and free space (platform_posix_names.cc);
// and the helper's thread (platform_posix_helper.cc). These are the calls each gives the table,
// for them alone: the rest of the program calls through platform/platform.h.
#pragma once

#include "platform/platform.h"

// The calls of the table, by the names of its fields (platform/platform.h says what each does).
FileHandle PosixOpenForRead(const char* path);
FileHandle PosixCreateNew(const char* path);
bool PosixQueryFileSize(FileHandle file, uint64_t* size);
bool PosixQueryFileState(FileHandle file, FileState* state);
bool PosixRewindFile(FileHandle file);
bool PosixReadBlock(FileHandle file, void* buffer, uint32_t count);
bool PosixWriteBlock(FileHandle file, const void* buffer, uint32_t count);
bool PosixReadBlockAt(FileHandle file, uint64_t offset, void* buffer, uint32_t count);
bool PosixWriteBlockAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t count);
void PosixCloseFile(FileHandle file);
bool PosixFlushFile(FileHandle file);

NameLookup PosixLookUpName(const char* path, uint64_t* size);
bool PosixIsReadOnly(const char* path);
bool PosixMoveOver(const char* from, const char* to);
bool PosixRemoveFile(const char* path);
bool PosixRemoveUnheld(const char* path);
bool PosixCanReplace(const char* path);
bool PosixMayBeHeld(uint32_t error, const char* path);
bool PosixNameTaken(uint32_t error, const char* path);
bool PosixFreeSpace(const char* folder, uint64_t* bytes);
bool PosixListFolder(const char* folder, bool (*visit)(void* data, const char* name), void* data);

Helper* PosixStartHelper();
void PosixEndHelper(Helper* helper);
