// Reading the recovery files beside a set (core/par2_packets.h): every packet that is whole, of
// every recovery set they hold. A damaged packet is passed over (the main and file description
// packets by their MD5; a recovery slice's MD5 is checked later, as its data is read for a
// repair), and so are bytes that are no packet: the scan looks for the next one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/par2_packets.h"
#include "core/work_context.h"
#include "platform/file_path.h"

// Where the data of one recovery slice lies.
struct RecoverySliceRef {
  FilePath file;        // the recovery file that holds it
  uint64_t dataOffset;  // its first byte in that file
  uint64_t dataLength;  // its bytes: the slice size of its set
  uint32_t exponent;
  Par2Id setId;
  Par2Id md5;  // the packet's MD5, to check the data against as it is read
};

// What the files say of one recovery set.
struct RecoverySet {
  Par2Id id;
  bool haveMain = false;
  uint64_t sliceSize = 0;
  std::vector<Par2Id> fileIds;         // the recovery set's, in the main packet's order
  std::vector<FileDescription> files;  // each file once
  std::vector<RecoverySliceRef> slices;
};

// Adds what the file `name` holds to `sets`, a set for each recovery set ID. A file that cannot
// be opened or read adds what was read before the failure; returns false only when a stop was
// asked for, with the failure recorded.
bool ScanRecoveryFile(WorkContext* work, const FilePath& name, std::vector<RecoverySet>* sets);
