// What the two files of a recovery pass share (core/recovery_pass.cc runs the stripes and reads
// and writes; core/recovery_units.cc does the units of hashing and arithmetic that the two
// threads take in turn): the state of a pass at work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/recovery_pass.h"
#include "core/stream_copy.h"
#include "platform/helper.h"

// Inputs read and worked on together: the MD5 streams of a group run side by side.
constexpr size_t kGroupInputs = 16;
// MD5 streams one unit feeds (the widest vector paths take sixteen), and the part of a stripe and
// the outputs that one unit of arithmetic covers: small enough that the two threads share the
// work evenly, large enough that handing a unit over costs nothing next to it.
constexpr size_t kUnitLanes = 16;
constexpr uint32_t kUnitBytes = 64 * 1024;
constexpr size_t kUnitOutputs = 16;
// A stripe is at most this long: reads of this size cost little more per byte than larger ones.
constexpr uint32_t kMaxStripe = 1u << 20;

struct Pass;

// A group of inputs in its buffers, and how its work is cut into units.
struct Group {
  size_t first = 0;
  size_t count = 0;
  unsigned char* buffer[kGroupInputs] = {};
  uint32_t real[kGroupInputs] = {};  // bytes of each from its file in this stripe
  std::vector<uint16_t> factors;     // for each output, one for each input of the group
  std::vector<size_t> md5;           // the inputs (of the group) of each kind of hashing
  std::vector<size_t> packet;
  std::vector<size_t> sha;        // fed the whole stripe, side by side
  std::vector<size_t> shaEnding;  // fed less: their bytes end in this stripe
  std::vector<size_t> crc;
};

struct Pass {
  const RecoveryPass* plan;
  WorkContext* work;
  Helper* helper;
  StreamBuffer block;
  uint32_t stripe;  // the bytes of a stripe, but for the last
  Group groups[2];  // the group at work and the next, read meanwhile
  std::vector<unsigned char*> sums;
  std::vector<unsigned char*> results[2];  // the transformed sums, or the sums, of two stripes
  int current = 0;                         // which of them the stripe at work fills
  uint64_t at;                             // where the stripe at work begins in the slices
  uint32_t bytes;                          // its length
  std::vector<size_t> md5Outputs;
  std::vector<size_t> shaOutputs;
  // A stripe's results are hashed and written while the next stripe's first group is worked
  // on: this is the stripe whose results wait for that, and its units in that group's phase.
  struct Finished {
    const std::vector<unsigned char*>* results = nullptr;
    uint64_t at = 0;
    uint32_t bytes = 0;
  } finished;
  uint32_t finishedUnits = 0;
};

// The units of a group's phase: those of the finished stripe's results first (hashing), then
// the group's hashing and arithmetic.
uint32_t GroupUnits(const Pass* pass, const Group* group);
void GroupUnit(Pass* pass, Group* group, uint32_t unit);
// The units of the transform of a stripe's sums.
uint32_t TransformUnits(const Pass* pass);
void TransformUnit(Pass* pass, Group* group, uint32_t unit);
// The units that hash the finished stripe's results.
uint32_t OutputUnits(const Pass* pass);
void OutputUnit(Pass* pass, uint32_t unit);
// The bytes of an output in a finished stripe that go to its file.
uint32_t OutputBytes(const Pass::Finished& stripe, const PassOutput& output);
