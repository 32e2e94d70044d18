#include "core/recovery_pass.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "core/gf16.h"
#include "core/progress.h"
#include "core/recovery_pass_state.h"

namespace {

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

// Reads `count` bytes of `input` from `at` on: from its open file, or from its file opened for
// this read alone where the pass holds too many inputs to keep them all open.
bool ReadInput(const PassInput& input, uint64_t at, unsigned char* buffer, uint32_t count) {
  if (input.file != kNoFile) return ReadBlockAt(input.file, input.offset + at, buffer, count);
  const FileHandle file = OpenForRead(input.name.c_str());
  if (file == kNoFile) return false;
  const bool read = ReadBlockAt(file, input.offset + at, buffer, count);
  CloseFile(file);
  return read;
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
    if (real > 0 && !ReadInput(input, at, buffer, real)) {
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
  if (!pass->plan->transform.empty()) {
    RunPhase(pass, nullptr, TransformUnit, TransformUnits(pass), [] { return true; });
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
