// The checksum list of a set of pieces: "<base>.sha256" beside them, written by every split
// and checked by every restore, in the format that `sha256sum -c`, `shasum -a 256 -c` and
// 7-Zip's hash test read, so that whoever receives the pieces can check them without this
// program:
//
//   ; filecut name="report.pdf" size=1200000 piece=512000 count=3
//   <64 lowercase hexadecimal digits>  4711-00
//   <64 lowercase hexadecimal digits>  4711-01
//   <64 lowercase hexadecimal digits>  4711-02
//
// UTF-8 without a byte order mark, LF line ends. The first line is a comment to those tools
// (the one form 7-Zip accepts: first, starting "; ") and tells this program the name of the
// file that was cut (its last component: a backslash before `"` and `\`, bytes below 0x20 as
// \xHH), its size in bytes, the piece size and the number of pieces. Then one line per piece,
// in index order: its SHA-256 and its bare name. A list with fewer piece lines than its count
// is that of a split that did not finish, which no restore takes for a set.
#pragma once

#include <cstdint>
#include <string>

#include "core/sha256.h"
#include "core/work_context.h"
#include "platform/file_path.h"
#include "platform/platform.h"

// The ending of a checksum list's name, after the base of its set.
inline constexpr char kListSuffix[] = ".sha256";

// What the first line says of the set.
struct SetHeader {
  std::string name;  // of the file that was cut, without its folder
  uint64_t size;     // its bytes
  uint32_t step;     // the piece size
  uint64_t count;    // the number of pieces
};

// The checksum list of the set of `base` (a base number's text, or a base path).
FilePath ListName(const FilePath& base);
// Whether `path` names a checksum list by its ending (".sha256", in any case), and if so stores
// the base of its set in `base`.
bool BaseOfList(const FilePath& path, FilePath* base);

// The lines, each with its LF.
std::string HeaderLine(const SetHeader& header);
std::string PieceLine(const unsigned char digest[kSha256Bytes], const std::string& pieceName);

// Reads the lines (given without their line end). The header must be whole and consistent (its
// count is what its size and piece size give, and at most a set's largest); a piece line must
// name exactly `pieceName`, after 64 hexadecimal digits in either case and the two characters
// that sha256sum writes ("  ", or " *" for binary mode). Return false for anything else.
bool ParseHeaderLine(const std::string& line, SetHeader* header);
bool ParsePieceLine(const std::string& line, const std::string& pieceName,
                    unsigned char digest[kSha256Bytes]);

// A checksum list read line by line through a small buffer, however long it is.
struct ListReader {
  FileHandle file = kNoFile;
  std::string name;   // the list's, to blame a failure on
  uint64_t left = 0;  // bytes of the file not yet read
  std::string bytes;  // bytes read and not yet taken
  size_t at = 0;      // where the next line starts in `bytes`
  bool first = true;  // no line taken yet
  ListReader() = default;
  ListReader(const ListReader&) = delete;
  ListReader& operator=(const ListReader&) = delete;
  ~ListReader();
};

// The name of the file that was cut, from a list's first line, as it may be shown to a person:
// UTF-8 in which a control character (below U+0020, U+007F to U+009F) is "?" and each byte that
// is no part of a UTF-8 character is U+FFFD, so that no name breaks a line or shows nothing.
std::string ShownName(const std::string& name);

// Opens the list `name`. Returns false with the failure recorded when it cannot.
bool OpenList(WorkContext* work, const FilePath& name, ListReader* list);
// Stores the next line, without its line end (LF or CR LF; a byte order mark before the first
// is skipped). kFailed, with the failure recorded, when the list cannot be read or a line is
// longer than any this program writes (8,192 bytes).
enum class ListLine { kLine, kEnd, kFailed };
ListLine NextLine(WorkContext* work, ListReader* list, std::string* line);

// The parts of a list in their order, each read by one function that records why it failed:
// the first line into `line` and `header`, blaming the list where it is no header; the next
// line, which must be that of the piece named `pieceName`, its digest into `digest`, failing as
// `wrong` says where it is not (kListUnreadable, or kSetChanged for a list read whole before);
// and the end, after which nothing but empty lines may come.
bool ReadListHeader(WorkContext* work, ListReader* list, std::string* line, SetHeader* header);
bool ReadListedDigest(WorkContext* work, ListReader* list, const std::string& pieceName,
                      FailureKind wrong, unsigned char digest[kSha256Bytes]);
bool ReadListEnd(WorkContext* work, ListReader* list);
