// The operating-system services that the file engines and the conversions use, and nothing
// more, in two layers. Below, one table of function pointers (PlatformOps) holds the raw calls of
// the system, each a thin wrapper, so that tests can replace single calls, for instance to make
// the Nth file open fail, and put the real ones back with ResetPlatformOps(). The calls in force
// are each thread's own: a thread starts with the real ones, and a work's thread can take those of
// the thread that started it along (PlatformOpsScope). Above, the functions the engines call hold
// the program's policy, once for both systems, over whatever calls are in force: the wait for a
// file that another program holds for a moment, the search for a free temporary name, the folder of
// a path.
//
// There is one table for Win32 (platform_win*.cc) and one for POSIX (platform_posix*.cc); both
// keep the contract written here.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

struct Helper;  // platform/helper.h

// An open file. kNoFile is the value for "no file" and is what the open calls return on failure.
typedef intptr_t FileHandle;
constexpr FileHandle kNoFile = -1;

// What looking a name up found. kUnknown is any failure other than "no such name" (no right
// to look, a network share that did not answer): the name may well exist.
enum class NameLookup { kMissing, kFound, kUnknown };

// What one reading of an open file tells of it: its whole size, and the time of its last write
// in the system's own unit (Windows: 100 ns since 1601; POSIX: nanoseconds since 1970). Two
// readings of one file that differ mean it was written between them.
struct FileState {
  uint64_t size = 0;
  uint64_t writeTime = 0;
  bool operator==(const FileState&) const = default;
};

struct PlatformOps {
  // Opens an existing regular file for reading, letting others read and write it meanwhile.
  // Returns kNoFile when the name does not exist, is a folder, or cannot be opened.
  FileHandle (*openForRead)(const char* path);
  // Creates a new, empty file for writing, with no sharing while it is open (POSIX, which has no
  // sharing modes: an advisory lock, flock, held until it is closed), only where no file or
  // folder of that name exists: whatever has the name is never opened or changed. Returns
  // kNoFile on failure, with "file exists" (Windows: ERROR_FILE_EXISTS; POSIX: EEXIST) where
  // the name is taken.
  FileHandle (*createNew)(const char* path);
  // Looks a name up without opening it. Returns kMissing only when the system answers that
  // no file or folder of this name exists (Windows: file or path not found; POSIX: ENOENT,
  // ENOTDIR); kFound with the file's whole 64-bit size stored (0 for a folder); kUnknown on
  // any other failure.
  NameLookup (*lookUpName)(const char* path, uint64_t* size);
  // Whether `path` names a file marked read-only (Windows: the read-only attribute; POSIX: no
  // write permission for anyone). False for a folder, a missing name, or one that cannot be
  // asked about.
  bool (*isReadOnly)(const char* path);
  // Stores the file's whole 64-bit size. Returns false when the size is unknown.
  bool (*queryFileSize)(FileHandle file, uint64_t* size);
  // Stores the size and the last-write time of an open file, asked of the open file itself
  // (Windows: GetFileInformationByHandle; POSIX: fstat), so that they are the file's that was
  // opened whatever has its name now. Returns false when they are unknown.
  bool (*queryFileState)(FileHandle file, FileState* state);
  // Moves the file's position back to its first byte. Returns false when it cannot.
  bool (*rewindFile)(FileHandle file);
  // Reads exactly `count` bytes from the current position. Returns true when all of them arrived;
  // false on an error or when the file ended first (a short read is a failure).
  bool (*readBlock)(FileHandle file, void* buffer, uint32_t count);
  // Writes exactly `count` bytes. Returns true when all were written; false on an error or short
  // write.
  bool (*writeBlock)(FileHandle file, const void* buffer, uint32_t count);
  // The same at `offset` from the file's start, whatever its position, which may move. A write
  // past the end makes the file longer (what lies between is zeros).
  bool (*readBlockAt)(FileHandle file, uint64_t offset, void* buffer, uint32_t count);
  bool (*writeBlockAt)(FileHandle file, uint64_t offset, const void* buffer, uint32_t count);
  // Closes a file opened by one of the calls above.
  void (*closeFile)(FileHandle file);
  // Gives the file `from` the name `to` in one step, replacing a file that has that name, and
  // returns once the new name is on the disk. Both names are in one folder. Returns false with
  // both files as they were.
  bool (*moveOver)(const char* from, const char* to);
  // Deletes a file. Returns true when it is gone, also when no file of that name existed
  // (Windows: file or path not found; POSIX: ENOENT, ENOTDIR).
  bool (*removeFile)(const char* path);
  // Deletes a file as removeFile does, but only one that no program holds open: on Windows one
  // not open without delete sharing, on POSIX one whose advisory lock is free (createNew's files
  // hold it while they are open). Never waits; returns false for a file held so.
  bool (*removeUnheld)(const char* path);
  // Whether a rename could put another file in the place of `path` now: true where no file or
  // folder of that name exists, or a file does that no other program holds open against it
  // (Windows: opened without delete sharing; never on POSIX). False, with the error code set, for
  // a folder (Windows: access denied, as the rename would say; POSIX: EISDIR), for a file held
  // so (Windows: a sharing violation), and where the name cannot be asked about.
  bool (*canReplace)(const char* path);
  // Whether a call that failed with `error` on the file `path` may have met another program
  // that holds the file open for a moment (a virus scanner, an indexer), which a wait may end:
  // on Windows a sharing or lock violation, or "access denied" on a file that is neither a folder
  // nor read-only; never on POSIX. Leaves the error code of the last failure as it was.
  bool (*mayBeHeld)(uint32_t error, const char* path);
  // Whether createNew failed with `error` on `path` because the name is taken: a file or folder
  // of that name exists (Windows: "file exists", or "access denied" or a sharing violation where
  // the name is not found missing: a folder, or a file still being deleted; a read-only folder
  // answers "access denied" too). Leaves the error code of the last failure as it was.
  bool (*nameTaken)(uint32_t error, const char* path);
  // Stores the bytes that this process may still write in the folder `folder`. Returns false
  // when that is unknown.
  bool (*freeSpace)(const char* folder, uint64_t* bytes);
  // Calls `visit(data, name)` with the name of every file and folder in `folder`, as UTF-8, but
  // for "." and ".." and names that UTF-8 cannot spell, until `visit` returns false. Returns
  // false when the folder cannot be listed.
  bool (*listFolder)(const char* folder, bool (*visit)(void* data, const char* name), void* data);
  // Asks the system to put everything written to the file so far on the disk itself, and
  // waits until it is there. Returns true when it is there, and also when the file system
  // answers that it has no such flush (Windows: invalid function or not supported; POSIX:
  // EINVAL): the bytes were written all the same. Returns false when the flush failed.
  bool (*flushFile)(FileHandle file);
  // Starts a helper thread (platform/helper.h). Returns null when no thread can be had.
  Helper* (*startHelper)();
  // Ends a helper's thread, once its last task has been waited for, and releases it.
  void (*endHelper)(Helper* helper);
  // Milliseconds since some fixed point (system start on Windows), wrapping modulo 2^32.
  uint32_t (*tickCount)();
  // Lets this thread sleep for about `ms` milliseconds.
  void (*sleep)(uint32_t ms);
  // The error code of the last call above that failed on this thread: GetLastError() on
  // Windows, errno on POSIX. Read at once after the failure, before any other call.
  uint32_t (*lastError)();
  // The system's own words for such an error code, in the user's language where the system has
  // it (FormatMessage on Windows, strerror on POSIX), as UTF-8 without a line end. Empty for a
  // code the system does not know.
  std::string (*errorText)(uint32_t code);
  // Returns a new, uninitialised block of `size` bytes (0 is allowed) from the process's heap,
  // or null.
  void* (*allocBlock)(uint32_t size);
  // Releases a block from allocBlock.
  void (*freeBlock)(void* block);
};

// The real operations of this build.
const PlatformOps& RealPlatformOps();

// Puts a copy of `ops` in force on this thread, or the real ones back.
void SetPlatformOps(const PlatformOps& ops);
void ResetPlatformOps();
// The operations in force on this thread, or null when they are the real ones.
const PlatformOps* PlatformOpsInForce();
// Puts `ops` in force on this thread for the scope's lifetime, and what was in force before back
// at its end; a null `ops` keeps what is in force. The table must outlive the scope. A work's
// thread takes the calls of the thread that started it so, given PlatformOpsInForce() there.
class PlatformOpsScope {
 public:
  explicit PlatformOpsScope(const PlatformOps* ops);
  ~PlatformOpsScope();
  PlatformOpsScope(const PlatformOpsScope&) = delete;
  PlatformOpsScope& operator=(const PlatformOpsScope&) = delete;

 private:
  const PlatformOps* before_;
};

// The calls in force, by the names of their fields.
FileHandle OpenForRead(const char* path);
FileHandle CreateNew(const char* path);
NameLookup LookUpName(const char* path, uint64_t* size);
bool IsReadOnly(const char* path);
bool QueryFileSize(FileHandle file, uint64_t* size);
bool QueryFileState(FileHandle file, FileState* state);
bool RewindFile(FileHandle file);
bool ReadBlock(FileHandle file, void* buffer, uint32_t count);
bool WriteBlock(FileHandle file, const void* buffer, uint32_t count);
bool ReadBlockAt(FileHandle file, uint64_t offset, void* buffer, uint32_t count);
bool WriteBlockAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t count);
void CloseFile(FileHandle file);
bool NameTaken(uint32_t error, const char* path);
bool FlushFile(FileHandle file);
Helper* StartHelper();
void EndHelper(Helper* helper);
uint32_t TickCount();
uint32_t LastError();
std::string ErrorText(uint32_t code);
void* AllocBlock(uint32_t size);
void FreeBlock(void* block);

// The program's policy over those calls, the same on both systems.

// Gives the file `from` the name `to` in one step, replacing a file of that name, as moveOver
// does; a file that another program holds open for a moment is waited for, up to about two
// seconds, while a failure that no other program causes (`to` is a folder or a read-only file,
// a missing folder) fails at once. A failure leaves the error code of the last attempt.
bool MoveOver(const char* from, const char* to);
// Deletes a file, waiting like MoveOver for a short hold by another program and only for that.
// A name that does not exist counts as removed.
bool RemoveFile(const char* path);
// Whether a rename could put another file in the place of `path` (canReplace), waiting like
// MoveOver for a short hold. A failure leaves the error code of the last attempt.
bool CanReplace(const char* path);

// Creates a new, empty file beside `path`, in the same folder, named `path` followed by "~"
// and two hexadecimal digits (never the shape "<name>-<digits>" of a piece), and opens it for
// writing without sharing. A name already in use is never opened or changed: the next one is
// tried, up to 256. Stores the name in `name`. Returns kNoFile on failure.
FileHandle CreateTempBeside(const char* path, std::string* name);
// Removes the temporary files that restores of `path` left when they were killed: names of
// the shape CreateTempBeside gives beside it (its last component in any case of its ASCII
// letters, "~" and two of the hexadecimal digits it writes), found in one listing of the folder,
// each removed only where no program holds it open (a restore at work holds its own). What
// cannot be listed or removed stays.
void RemoveLeftTemps(const char* path);
// The free space and the names of the folder that holds the file `path` (a name with or
// without a folder part, which need not exist), as freeSpace and listFolder give them.
bool FreeSpaceBeside(const char* path, uint64_t* bytes);
bool ListBeside(const char* path, bool (*visit)(void* data, const char* name), void* data);

// A plain helper of the program's own, the same on both systems, which no test replaces
// (platform/format_text.cc).

// Formats into `out`, which holds `size` bytes, with the few conversions of printf the program
// uses: %d, %u, %ld, %lu (a width before them, with a 0 for leading zeros: %02d, %03d), %s and
// %%. Returns the length written, or -1 (with `out` emptied) when the result does not fit or the
// format asks for another conversion. The compiler checks the arguments as for the C
// standard's printf (MinGW's "printf" would be Microsoft's, which knows other conversions).
int FormatText(char* out, size_t size, const char* format, ...)
#if defined(__MINGW32__)
    __attribute__((format(gnu_printf, 3, 4)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
