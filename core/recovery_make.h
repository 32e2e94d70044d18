// The recovery pieces of a split: a recovery set in the PAR 2.0 format over the pieces
// (core/par2_packets.h), written beside them, from which a restore (or any tool of the format)
// rebuilds lost or damaged pieces. Every piece is one input slice, of the largest piece's size
// rounded up to a multiple of 4, so each recovery slice rebuilds any one piece.
//
// The files: "<base>.par2", the index, with the main, file description, input file slice
// checksum and creator packets; and the volumes "<base>.vol<first>+<count>.par2", each with its
// recovery slices and the same packets again, so that any one volume with the pieces is enough
// for a repair. A volume holds one slice, so that it fits wherever a piece fits, unless the
// packets that every file repeats (about 240 bytes a piece) would outweigh one slice: then as
// many slices as make up for them, so that the repeated packets never take more than half of
// what the volumes hold.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/checksum_list.h"
#include "core/md5.h"
#include "core/par2_packets.h"
#include "core/recovery_pass.h"
#include "core/work_context.h"
#include "platform/file_path.h"
#include "platform/platform.h"

// How many recovery pieces a set of `pieces` gets for `choice`: never more than the pieces, and
// none where the PAR 2.0 format cannot hold the set (more than 32,768 pieces) or it has no byte.
uint32_t RecoveryCount(RecoveryChoice choice, uint64_t pieces, uint64_t size);

// The shape of a set's recovery files.
struct RecoveryLayout {
  uint64_t sliceSize = 0;    // the largest piece, rounded up to a multiple of 4
  uint32_t count = 0;        // recovery slices, exponents 0 to count - 1
  uint32_t perVolume = 0;    // slices a volume holds; the last may hold fewer
  uint64_t packetBytes = 0;  // the packets that every file holds
  uint32_t Volumes() const { return (count + perVolume - 1) / perVolume; }
};
RecoveryLayout PlanRecovery(const SetHeader& header, int32_t base, uint32_t count);
// All the recovery files' bytes together.
uint64_t RecoveryBytes(const RecoveryLayout& layout);

// The names, beside the pieces of `base`: the volumes in order, then the index.
std::vector<FilePath> RecoveryFileNames(const FilePath& base, const RecoveryLayout& layout);

// The recovery files of a split while they are made: what the PAR 2.0 format says of every
// piece, filled in as the pieces are read, and the files, created by the split.
struct RecoveryWriter {
  RecoveryLayout layout;
  std::vector<FilePath> names;    // as RecoveryFileNames gives them
  std::vector<FileHandle> files;  // open, in the order of the names; closed as the writer goes
  std::vector<FileDescription> pieces;
  std::vector<Md5> sliceMd5;
  std::vector<SliceCheck> slices;
  std::vector<uint16_t> constants;
  std::vector<size_t> order;  // the pieces in the order of their file IDs
  std::string mainBody;
  Par2Id setId = {};
  std::vector<Md5> packetMd5;  // of each recovery slice's packet
  RecoveryWriter() = default;
  RecoveryWriter(const RecoveryWriter&) = delete;
  RecoveryWriter& operator=(const RecoveryWriter&) = delete;
  ~RecoveryWriter();
};

// Reads the first 16 KiB of every piece from `source`, the file they are cut from (at the
// offsets of the pieces), and names the set: the pieces' file IDs, their constants, the set ID.
bool DescribeSet(WorkContext* work, FileHandle source, const std::string& sourceName,
                 const SetHeader& header, int32_t base, RecoveryWriter* writer);
// Adds the pieces to `pass` as its inputs, read from `source`, and the recovery slices as its
// outputs, into the files; the pass then hashes the pieces as the PAR 2.0 format needs.
void AddToPass(RecoveryWriter* writer, const SetHeader& header, FileHandle source,
               const std::string& sourceName, RecoveryPass* pass);
// After the pass: writes each recovery slice's head and the packets of the set into every file.
bool FinishRecoveryFiles(WorkContext* work, RecoveryWriter* writer);
