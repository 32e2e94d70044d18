// One pass over the slices of a recovery set (core/par2_packets.h), a stripe at a time: the same
// range of every input slice is read, hashed as that input needs, and multiplied into every
// output in GF(2^16) (core/gf16.h); then each output's range is hashed and written out. A split
// makes its recovery slices so, from the pieces; a restore rebuilds lost pieces so, from the
// pieces that are whole and the recovery slices.
//
// However large the slices and however many outputs, the pass holds only a stripe of each output
// and of a group of inputs: its memory stays within kRecoveryPassMemory. The work of a stripe is
// shared between this thread and a helper thread (platform/helper.h), which take turns at small
// units of hashing and arithmetic while this thread reads the next group of inputs.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/md5.h"
#include "core/par2_packets.h"
#include "core/sha256.h"
#include "core/work_context.h"
#include "platform/platform.h"

// The memory of a pass: its input buffers and its outputs' stripes. What a split or restore
// keeps for each piece besides (its hashes and its description in the PAR 2.0 format, about
// 400 bytes) comes off it, so that the whole work stays within 32 MiB for 32,768 pieces too.
constexpr uint32_t kRecoveryPassMemory = 24u << 20;
constexpr uint32_t kMemoryPerPiece = 400;
// The memory of a pass over a set of `pieces`.
inline uint32_t RecoveryPassMemory(uint64_t pieces) {
  return kRecoveryPassMemory -
         static_cast<uint32_t>(std::min<uint64_t>(pieces * kMemoryPerPiece, 16u << 20));
}

// One input slice: its bytes in a file, zeros after them up to the slice size.
struct PassInput {
  FileHandle file = kNoFile;  // or kNoFile: the file `name` is opened for each read
  uint64_t offset = 0;        // of the slice's first byte in `file`
  uint64_t length = 0;        // of its bytes in the file, at most the slice size
  std::string name;           // its file's, and what a failed read is blamed on
  // How it adds to the outputs: an input slice multiplied by its constant to the power of each
  // output's exponent; or, where `row` is not kNoRow, a recovery slice, added as it is to that
  // output alone.
  uint16_t constant = 0;
  static constexpr uint32_t kNoRow = ~uint32_t{0};
  uint32_t row = kNoRow;
  // What else is done with its bytes, each where it is set:
  Md5* sliceMd5 = nullptr;      // fed the whole slice, zeros included; all such inputs alike
  Par2Id* fileMd5 = nullptr;    // with sliceMd5: the MD5 of its bytes in the file alone
  uint32_t* crc = nullptr;      // the CRC-32 of the whole slice, continued
  Md5* packetMd5 = nullptr;     // fed its bytes (a recovery slice: its packet's MD5, begun before)
  Sha256* sha = nullptr;        // fed its bytes in the file
  FileHandle copyTo = kNoFile;  // where its bytes in the file are written as well, at copyOffset
  uint64_t copyOffset = 0;
  std::string copyName;
};

// One output slice: the sum of the inputs.
struct PassOutput {
  uint32_t exponent = 0;
  FileHandle file = kNoFile;  // where its first `length` bytes go, at `offset`
  uint64_t offset = 0;
  uint64_t length = 0;
  std::string name;
  Md5* md5 = nullptr;     // fed those bytes; all such outputs alike
  Sha256* sha = nullptr;  // fed those bytes
};

struct RecoveryPass {
  uint64_t sliceSize = 0;  // a multiple of 4
  std::vector<PassInput> inputs;
  std::vector<PassOutput> outputs;
  // Empty, or a square matrix, row by row: the outputs are then this matrix times the sums.
  std::vector<uint16_t> transform;
  uint32_t memory = kRecoveryPassMemory;
};

// Runs the pass, counting every input byte read as progress (core/progress.h) and asking before
// every group of inputs whether to stop. Returns false with the failure recorded when a read or
// write fails, the memory cannot be had, or a stop was asked for; what was written then is
// incomplete.
bool RunRecoveryPass(WorkContext* work, const RecoveryPass& pass);
