// The names of pieces, in one place: "<base>-NN", where the base is a number (when splitting)
// or a path (when restoring), and NN is the index in decimal with at least two digits:
// 4711-00 ... 4711-99, then 4711-100.
#pragma once

#include <cstdint>
#include <string>

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

// Whether the file name `name` (without a folder) is a piece of the base `baseName` (also
// without one), spelt as PieceName spells it: the base, in any case of its ASCII letters, a
// hyphen, and two digits or a number of three or more without leading zeros, below 2^31. If so,
// stores the index in `index`.
bool IsPieceOf(const std::string& name, const std::string& baseName, uint64_t* index);

// The base of a dropped piece's path: the path less its last three characters (of UTF-8, as a
// user counts them: one for an "é" or a "ソ" as for a digit): "C:\work\4711-00" gives
// "C:\work\4711". This is what the restore command does, and it gives the base only for
// two-digit indices: "4711-100" gives "4711-", whose pieces "4711--00" ... normally do not
// exist. Returns false when the path has fewer than three characters.
bool BaseOfPiece(const FilePath& piece, FilePath* base);
