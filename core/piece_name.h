// The names of a set's files, in one place: its pieces "<base>-NN", where the base is a number
// (when splitting) or a path (when restoring), and NN is the index in decimal with at least two
// digits: 4711-00 ... 4711-99, then 4711-100; and the set's other files (SetMemberName below).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_path.h"

// The base text of base number `base`: "4711", the file a restore of its pieces writes.
std::string BaseNumberText(int32_t base);
// The name of piece `index` of base number `base`: "4711-00".
std::string PieceName(int32_t base, uint32_t index);
// Piece `index` of a base path, which may hold a folder and be of any length: "C:\work\4711"
// gives "C:\work\4711-03". The base is kept whole, never cut.
FilePath PieceName(const FilePath& base, uint32_t index);
// The same for a base given as text.
std::string PieceName(const std::string& baseText, uint32_t index);

// The kinds of names that belong to the set of a base: the file a restore writes, the set's
// checksum list, its pieces, and its recovery files ("<base>.par2" and the volumes
// "<base>.vol<exponents>.par2", core/recovery_make.h). Every name of a set is its base followed by
// a text that does not start with a digit, so that a base number is the leading digits of the names
// of its set. A new kind of file of a set gets its kind here and its spelling in SetMemberName and
// MemberOfSet.
enum class MemberKind { kNone, kOutput, kList, kPiece, kRecovery };
constexpr int kMemberKindCount = 5;  // the kinds above
struct SetMember {
  MemberKind kind;
  uint64_t index;  // of a piece; 0 for the other kinds
};
// The name of `member` of the set of `base` (a base number's text, or a base path); of the
// recovery files, the index "<base>.par2" (the volumes' names depend on their number).
FilePath SetMemberName(const FilePath& base, SetMember member);
// Which member of the set of `baseName` the file name `name` is (both without a folder), their
// ASCII letters compared in either case as Windows compares names; kNone for no member. A piece
// is spelt as PieceName spells it: the base, a hyphen, and two digits or a number of three or
// more without leading zeros, below 2^31. Both the split's look-up of taken names and the
// restore's of the pieces beside a set ask this.
SetMember MemberOfSet(std::string_view name, std::string_view baseName);

// The base of a dropped piece's path: the path less its last three characters (of UTF-8, as a
// user counts them: one for an "é" or a "ソ" as for a digit): "C:\work\4711-00" gives
// "C:\work\4711". This is what the restore command does, and it gives the base only for
// two-digit indices: "4711-100" gives "4711-", whose pieces "4711--00" ... normally do not
// exist. Returns false when the path has fewer than three characters.
bool BaseOfPiece(const FilePath& piece, FilePath* base);
