// The names of pieces, in one place: "<base>-NN", where the base is a number (when splitting)
// or a path text (when restoring), and NN is the index in decimal with at least two digits:
// 4711-00 ... 4711-99, then 4711-100.
#pragma once

#include <cstdint>
#include <string>

// The base text of base number `base`: "4711", which a restore of its pieces writes.
std::string BaseName(int32_t base);
// The name of piece `index` of base number `base`: "4711-00".
std::string PieceName(int32_t base, uint32_t index);
// The name of piece `index` of a base text, which may hold a folder and be of any length:
// "C:\work\4711" gives "C:\work\4711-03". The base text is kept whole, never cut.
std::string PieceName(const std::string& baseText, uint32_t index);

// Whether the file name `name` (without a folder) is a piece of the base `baseName` (also
// without one), spelt as PieceName spells it: the base, in any case of its ASCII letters, a
// hyphen, and two digits or a number of three or more without leading zeros, below 2^31. If so,
// stores the index in `index`.
bool IsPieceOf(const std::string& name, const std::string& baseName, uint64_t* index);

// The last component of a path, without the folders before it: what follows the last "\" or
// "/". The name of the file that a split cuts, as its checksum list keeps it.
std::string LastComponent(const std::string& path);

// Cuts a dropped piece's path back to its base text, in place, by removing its last three
// characters (of UTF-8, as a user counts them: one for an "é" or a "ソ" as for a digit):
// "C:\work\4711-00" becomes "C:\work\4711". This is what the restore command does, and it
// gives the base only for two-digit indices: "4711-100" becomes "4711-", whose pieces
// "4711--00" ... normally do not exist. Returns false, leaving the text as it was, when it has
// fewer than three characters.
bool CutPieceSuffix(char* path);
