// Rebuilding the lost or damaged pieces of a set from its other pieces and its recovery files
// (core/recovery_make.h, or the same files from another tool of the PAR 2.0 format), for a
// restore that has the set's checksum list: the list says which pieces are whole, and each
// rebuilt piece is checked against it. The pieces and the recovery files are only read.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/checksum_list.h"
#include "core/sha256.h"
#include "core/work_context.h"
#include "platform/file_path.h"
#include "platform/platform.h"

// A set as its checksum list names it, held whole: a set with recovery files has at most
// 32,768 pieces.
struct ListedSet {
  FilePath base;
  SetHeader header;
  std::vector<std::array<unsigned char, kSha256Bytes>> digests;  // of each piece, in order
};

// Rebuilds the pieces `bad` (indices, in order) of `set` from the others and the recovery slices
// of `recoveryFiles`, and writes every piece, rebuilt or not, into `output` at its place in the
// joined file. A piece that turns out damaged or unreadable on the way is rebuilt too, and a
// recovery slice whose packet is damaged or unreadable gives way to another. Returns true when
// every piece in `output` is the one the list names, with the rebuilt pieces in the context;
// else false with the failure recorded: kRecoveryShort, naming the first bad piece, where the
// usable recovery slices are fewer than the bad pieces.
bool RepairSet(WorkContext* work, const ListedSet& set, std::vector<uint64_t> bad,
               const std::vector<FilePath>& recoveryFiles, FileHandle output,
               const std::string& outputName);
