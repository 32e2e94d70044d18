#include "core/recovery_pass.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "core/crc32.h"
#include "core/gf16.h"
#include "core/progress.h"
#include "core/stream_copy.h"
#include "platform/helper.h"

namespace {

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
struct Group;

// Units that both threads take, each once, until none is left.
struct Phase {
  Pass* pass;
  Group* group;
  void (*run)(Pass* pass, Group* group, uint32_t unit);
  uint32_t count;
  std::atomic<uint32_t> next{0};
};

void RunUnits(void* data) {
  Phase* phase = static_cast<Phase*>(data);
  for (uint32_t unit; (unit = phase->next.fetch_add(1)) < phase->count;) {
    phase->run(phase->pass, phase->group, unit);
  }
}

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

uint32_t Lanes(size_t count) {
  return static_cast<uint32_t>((count + kUnitLanes - 1) / kUnitLanes);
}

uint32_t Ranges(const Pass* pass) {
  return (pass->bytes + kUnitBytes - 1) / kUnitBytes;
}

uint32_t OutputBlocks(const Pass* pass) {
  return static_cast<uint32_t>((pass->plan->outputs.size() + kUnitOutputs - 1) / kUnitOutputs);
}

// Feeds a batch of inputs' slice MD5s side by side. An input whose bytes in its file end within
// this stripe has its file's MD5 finished there, from a copy of the slice's: the batch is fed up
// to the whole block before that end, and the copy the rest.
void SliceMd5Unit(Pass* pass, Group* group, size_t batch) {
  const size_t from = batch * kUnitLanes;
  const size_t lanes = std::min(kUnitLanes, group->md5.size() - from);
  Md5* hashes[kUnitLanes];
  const unsigned char* data[kUnitLanes];
  uint32_t ends[kUnitLanes];  // where each lane's file ends in this stripe, or past it
  for (size_t lane = 0; lane < lanes; ++lane) {
    const PassInput& input = pass->plan->inputs[group->first + group->md5[from + lane]];
    hashes[lane] = input.sliceMd5;
    data[lane] = group->buffer[group->md5[from + lane]];
    const bool endsHere =
        input.fileMd5 && input.length > pass->at && input.length - pass->at <= pass->bytes;
    ends[lane] = endsHere ? static_cast<uint32_t>(input.length - pass->at) : ~uint32_t{0};
  }
  for (uint32_t done = 0;;) {
    // The next whole block before a file's end, or the end of the stripe.
    uint32_t cut = pass->bytes;
    for (size_t lane = 0; lane < lanes; ++lane) {
      if (ends[lane] != ~uint32_t{0} && ends[lane] / 64 * 64 >= done) {
        cut = std::min(cut, ends[lane] / 64 * 64);
      }
    }
    if (cut > done) {
      const unsigned char* moved[kUnitLanes];
      for (size_t lane = 0; lane < lanes; ++lane) moved[lane] = data[lane] + done;
      Md5AddLanes(hashes, moved, lanes, cut - done);
      done = cut;
    }
    for (size_t lane = 0; lane < lanes; ++lane) {
      if (ends[lane] == ~uint32_t{0} || ends[lane] / 64 * 64 != done) continue;
      Md5 file = *hashes[lane];
      Md5Add(&file, data[lane] + done, ends[lane] - done);
      Md5End(&file, pass->plan->inputs[group->first + group->md5[from + lane]].fileMd5->data());
      ends[lane] = ~uint32_t{0};
    }
    if (done == pass->bytes) return;
  }
}

// Feeds a batch of inputs' SHA-256s side by side, the whole stripe of each.
void Sha256Unit(Pass* pass, Group* group, size_t batch) {
  const size_t from = batch * kUnitLanes;
  const size_t lanes = std::min(kUnitLanes, group->sha.size() - from);
  Sha256* hashes[kUnitLanes];
  const unsigned char* data[kUnitLanes];
  for (size_t lane = 0; lane < lanes; ++lane) {
    const size_t index = group->sha[from + lane];
    hashes[lane] = pass->plan->inputs[group->first + index].sha;
    data[lane] = group->buffer[index];
  }
  Sha256AddLanes(hashes, data, lanes, pass->bytes);
}

void PacketMd5Unit(Pass* pass, Group* group, size_t batch) {
  const size_t from = batch * kUnitLanes;
  const size_t lanes = std::min(kUnitLanes, group->packet.size() - from);
  Md5* hashes[kUnitLanes];
  const unsigned char* data[kUnitLanes];
  for (size_t lane = 0; lane < lanes; ++lane) {
    const size_t index = group->packet[from + lane];
    hashes[lane] = pass->plan->inputs[group->first + index].packetMd5;
    data[lane] = group->buffer[index];
  }
  Md5AddLanes(hashes, data, lanes, group->real[group->packet[from]]);
}

// Adds the group's inputs to the outputs of one block, over one range of the stripe.
void ArithmeticUnit(Pass* pass, Group* group, uint32_t unit) {
  const size_t outputs = pass->plan->outputs.size();
  const size_t block = unit / Ranges(pass);
  const uint32_t start = unit % Ranges(pass) * kUnitBytes;
  const uint32_t bytes = std::min(kUnitBytes, pass->bytes - start);
  const size_t first = block * kUnitOutputs;
  const size_t count = std::min(kUnitOutputs, outputs - first);
  const unsigned char* src[kGroupInputs];
  for (size_t i = 0; i < group->count; ++i) src[i] = group->buffer[i] + start;
  unsigned char* dst[kUnitOutputs];
  for (size_t j = 0; j < count; ++j) dst[j] = pass->sums[first + j] + start;
  GfMultiplyAdd(src, group->count, dst, count, &group->factors[first * group->count], bytes);
}

void OutputUnit(Pass* pass, uint32_t unit);

void GroupUnit(Pass* pass, Group* group, uint32_t unit) {
  if (unit < pass->finishedUnits) return OutputUnit(pass, unit);
  unit -= pass->finishedUnits;
  if (unit < Lanes(group->md5.size())) return SliceMd5Unit(pass, group, unit);
  unit -= Lanes(group->md5.size());
  if (unit < Lanes(group->packet.size())) return PacketMd5Unit(pass, group, unit);
  unit -= Lanes(group->packet.size());
  if (unit < Lanes(group->sha.size())) return Sha256Unit(pass, group, unit);
  unit -= Lanes(group->sha.size());
  if (unit < group->shaEnding.size()) {
    const size_t index = group->shaEnding[unit];
    Sha256Add(pass->plan->inputs[group->first + index].sha, group->buffer[index],
              group->real[index]);
    return;
  }
  unit -= static_cast<uint32_t>(group->shaEnding.size());
  if (unit < group->crc.size()) {
    const size_t index = group->crc[unit];
    uint32_t* crc = pass->plan->inputs[group->first + index].crc;
    *crc = Crc32Add(*crc, group->buffer[index], group->real[index]);
    *crc = Crc32AddZeros(*crc, pass->bytes - group->real[index]);
    return;
  }
  ArithmeticUnit(pass, group, unit - static_cast<uint32_t>(group->crc.size()));
}

uint32_t GroupUnits(const Pass* pass, const Group* group) {
  return pass->finishedUnits + Lanes(group->md5.size()) + Lanes(group->packet.size()) +
         Lanes(group->sha.size()) +
         static_cast<uint32_t>(group->shaEnding.size() + group->crc.size()) +
         OutputBlocks(pass) * Ranges(pass);
}

// The results of one block of outputs over one range: the transform times the sums.
void TransformUnit(Pass* pass, Group*, uint32_t unit) {
  const size_t outputs = pass->plan->outputs.size();
  const size_t block = unit / Ranges(pass);
  const uint32_t start = unit % Ranges(pass) * kUnitBytes;
  const uint32_t bytes = std::min(kUnitBytes, pass->bytes - start);
  const size_t first = block * kUnitOutputs;
  const size_t count = std::min(kUnitOutputs, outputs - first);
  std::vector<const unsigned char*> src(outputs);
  for (size_t i = 0; i < outputs; ++i) src[i] = pass->sums[i] + start;
  unsigned char* dst[kUnitOutputs];
  for (size_t j = 0; j < count; ++j) {
    dst[j] = pass->results[pass->current][first + j] + start;
    std::memset(dst[j], 0, bytes);
  }
  GfMultiplyAdd(src.data(), outputs, dst, count, &pass->plan->transform[first * outputs], bytes);
}

// The bytes of an output in a finished stripe that go to its file.
uint32_t OutputBytes(const Pass::Finished& stripe, const PassOutput& output) {
  if (output.length <= stripe.at) return 0;
  return static_cast<uint32_t>(std::min<uint64_t>(stripe.bytes, output.length - stripe.at));
}

uint32_t OutputUnits(const Pass* pass) {
  return Lanes(pass->md5Outputs.size()) + static_cast<uint32_t>(pass->shaOutputs.size());
}

// Hashes the results of the finished stripe: MD5s side by side, or one SHA-256.
void OutputUnit(Pass* pass, uint32_t unit) {
  const Pass::Finished& stripe = pass->finished;
  const std::vector<unsigned char*>& results = *stripe.results;
  if (unit < Lanes(pass->md5Outputs.size())) {
    const size_t from = unit * kUnitLanes;
    const size_t lanes = std::min(kUnitLanes, pass->md5Outputs.size() - from);
    Md5* hashes[kUnitLanes];
    const unsigned char* data[kUnitLanes];
    for (size_t lane = 0; lane < lanes; ++lane) {
      hashes[lane] = pass->plan->outputs[pass->md5Outputs[from + lane]].md5;
      data[lane] = results[pass->md5Outputs[from + lane]];
    }
    Md5AddLanes(hashes, data, lanes,
                OutputBytes(stripe, pass->plan->outputs[pass->md5Outputs[from]]));
    return;
  }
  const size_t index = pass->shaOutputs[unit - Lanes(pass->md5Outputs.size())];
  const PassOutput& output = pass->plan->outputs[index];
  Sha256Add(output.sha, results[index], OutputBytes(stripe, output));
}

// Runs the units of `phase` on both threads, with `io` on this one first.
template <typename Io>
bool RunPhase(Pass* pass, Group* group, void (*run)(Pass*, Group*, uint32_t), uint32_t count,
              Io io) {
  Phase phase{pass, group, run, count};
  if (pass->helper) HandToHelper(pass->helper, RunUnits, &phase);
  const bool ok = io();
  RunUnits(&phase);
  if (pass->helper) WaitForHelper(pass->helper);
  return ok;
}

// Reads the inputs of group `index` of the stripe at `at`, `bytes` long, into `group`, and
// copies them on where they go as well.
bool ReadGroup(Pass* pass, size_t index, uint64_t at, uint32_t bytes, Group* group) {
  if (StopRequested(pass->work)) return Fail(pass->work, FailureKind::kStopped);
  const RecoveryPass& plan = *pass->plan;
  group->first = index * kGroupInputs;
  group->count = std::min(kGroupInputs, plan.inputs.size() - group->first);
  group->md5.clear();
  group->packet.clear();
  group->sha.clear();
  group->shaEnding.clear();
  group->crc.clear();
  group->factors.assign(plan.outputs.size() * group->count, 0);
  for (size_t i = 0; i < group->count; ++i) {
    const PassInput& input = plan.inputs[group->first + i];
    const uint32_t real = input.length <= at
                              ? 0
                              : static_cast<uint32_t>(std::min<uint64_t>(bytes, input.length - at));
    group->real[i] = real;
    unsigned char* buffer = group->buffer[i];
    if (real > 0 && !ReadBlockAt(input.file, input.offset + at, buffer, real)) {
      return FailSystem(pass->work, input.name);
    }
    std::memset(buffer + real, 0, bytes - real);
    CountProgress(pass->work, real);
    if (real > 0 && input.copyTo != kNoFile &&
        !WriteBlockAt(input.copyTo, input.copyOffset + at, buffer, real)) {
      return FailSystem(pass->work, input.copyName);
    }
    if (input.sliceMd5) group->md5.push_back(i);
    if (input.packetMd5) group->packet.push_back(i);
    if (input.sha && real == bytes) group->sha.push_back(i);
    if (input.sha && real > 0 && real < bytes) group->shaEnding.push_back(i);
    if (input.crc) group->crc.push_back(i);
    // An input whose bytes ended before this stripe adds nothing to the outputs.
    for (size_t j = 0; real > 0 && j < plan.outputs.size(); ++j) {
      group->factors[j * group->count + i] =
          input.row != PassInput::kNoRow ? (input.row == j ? 1 : 0)
                                         : GfPower(input.constant, plan.outputs[j].exponent);
    }
  }
  return true;
}

// Writes the results of the finished stripe, where they go.
bool WriteOutputs(Pass* pass) {
  const Pass::Finished& stripe = pass->finished;
  for (size_t j = 0; stripe.results && j < pass->plan->outputs.size(); ++j) {
    const PassOutput& output = pass->plan->outputs[j];
    const uint32_t bytes = OutputBytes(stripe, output);
    if (bytes > 0 && output.file != kNoFile &&
        !WriteBlockAt(output.file, output.offset + stripe.at, (*stripe.results)[j], bytes)) {
      return FailSystem(pass->work, output.name);
    }
  }
  return true;
}

// The finished stripe's results hashed and written, if any, on their own.
bool FinishOutputs(Pass* pass) {
  if (!pass->finished.results) return true;
  pass->finishedUnits = 0;
  const bool ok = RunPhase(
      pass, nullptr, [](Pass* p, Group*, uint32_t unit) { OutputUnit(p, unit); }, OutputUnits(pass),
      [&] { return WriteOutputs(pass); });
  pass->finished.results = nullptr;
  return ok;
}

// The bytes of the stripe at `at`.
uint32_t StripeAt(const Pass* pass, uint64_t at) {
  return static_cast<uint32_t>(std::min<uint64_t>(pass->stripe, pass->plan->sliceSize - at));
}

// A stripe: every group of inputs in turn, added to the sums, while the next group is read (the
// first of the next stripe during the last of this one); the results of the stripe before are
// hashed and written during the first group.
bool RunStripe(Pass* pass, size_t* read) {
  const size_t groups = (pass->plan->inputs.size() + kGroupInputs - 1) / kGroupInputs;
  std::vector<unsigned char*>& results = pass->results[pass->current];
  if (pass->plan->transform.empty()) pass->sums = results;
  for (unsigned char* sum : pass->sums) std::memset(sum, 0, pass->bytes);
  const uint64_t next = pass->at + pass->bytes;
  for (size_t index = 0; index < groups; ++index) {
    Group* group = &pass->groups[*read % 2];
    Group* following = &pass->groups[(*read + 1) % 2];
    pass->finishedUnits = pass->finished.results ? OutputUnits(pass) : 0;
    const bool ok = RunPhase(pass, group, GroupUnit, GroupUnits(pass, group), [&] {
      if (!WriteOutputs(pass)) return false;
      if (index + 1 < groups) {
        return ReadGroup(pass, index + 1, pass->at, pass->bytes, following);
      }
      return next == pass->plan->sliceSize ||
             ReadGroup(pass, 0, next, StripeAt(pass, next), following);
    });
    ++*read;
    pass->finished.results = nullptr;
    pass->finishedUnits = 0;
    if (!ok) return false;
  }
  const uint32_t blocks = OutputBlocks(pass) * Ranges(pass);
  if (!pass->plan->transform.empty()) {
    RunPhase(pass, nullptr, TransformUnit, blocks, [] { return true; });
  }
  pass->finished = Pass::Finished{&results, pass->at, pass->bytes};
  pass->current ^= 1;
  return true;
}

// The longest stripe, a multiple of 64 bytes, whose buffers fit in the pass's memory: two
// groups of inputs, and the outputs' sums and results.
uint32_t StripeBytes(const RecoveryPass& plan, size_t buffers) {
  const uint64_t fit = plan.memory / buffers / 64 * 64;
  const uint64_t slice = (plan.sliceSize + 63) / 64 * 64;
  return static_cast<uint32_t>(
      std::max<uint64_t>(64, std::min<uint64_t>({fit, slice, kMaxStripe})));
}

}  // namespace

bool RunRecoveryPass(WorkContext* work, const RecoveryPass& plan) {
  Pass pass;
  pass.plan = &plan;
  pass.work = work;
  const size_t outputs = plan.outputs.size();
  const size_t inputs = std::min(kGroupInputs, plan.inputs.size());
  // Two groups of inputs, the results of two stripes, and the sums apart where a transform
  // makes the results of them.
  const size_t buffers = 2 * inputs + outputs * (plan.transform.empty() ? 2 : 3);
  pass.stripe = StripeBytes(plan, buffers);
  pass.block.reset(static_cast<char*>(AllocBlock(static_cast<uint32_t>(buffers * pass.stripe))));
  if (!pass.block) return Fail(work, FailureKind::kNoMemory);
  unsigned char* next = reinterpret_cast<unsigned char*>(pass.block.get());
  const auto take = [&] {
    unsigned char* buffer = next;
    next += pass.stripe;
    return buffer;
  };
  for (Group& group : pass.groups) {
    for (size_t i = 0; i < inputs; ++i) group.buffer[i] = take();
  }
  for (std::vector<unsigned char*>& results : pass.results) {
    for (size_t j = 0; j < outputs; ++j) results.push_back(take());
  }
  if (!plan.transform.empty()) {
    for (size_t j = 0; j < outputs; ++j) pass.sums.push_back(take());
  }
  for (size_t j = 0; j < outputs; ++j) {
    if (plan.outputs[j].md5) pass.md5Outputs.push_back(j);
    if (plan.outputs[j].sha) pass.shaOutputs.push_back(j);
  }
  pass.helper = StartHelper();
  size_t read = 0;  // groups read so far: the buffers they went to take turns
  bool ok = plan.sliceSize == 0 || ReadGroup(&pass, 0, 0, StripeAt(&pass, 0), &pass.groups[0]);
  for (pass.at = 0; ok && pass.at < plan.sliceSize; pass.at += pass.bytes) {
    pass.bytes = StripeAt(&pass, pass.at);
    ok = RunStripe(&pass, &read);
  }
  ok = ok && FinishOutputs(&pass);
  if (pass.helper) EndHelper(pass.helper);
  return ok;
}
