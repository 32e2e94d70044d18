#include <algorithm>
#include <cstring>

#include "core/crc32.h"
#include "core/gf16.h"
#include "core/md5.h"
#include "core/recovery_pass_state.h"
#include "core/sha256.h"

namespace {

uint32_t Lanes(size_t count) {
  return static_cast<uint32_t>((count + kUnitLanes - 1) / kUnitLanes);
}

uint32_t Ranges(const Pass* pass) {
  return (pass->bytes + kUnitBytes - 1) / kUnitBytes;
}

uint32_t OutputBlocks(const Pass* pass) {
  return static_cast<uint32_t>((pass->plan->outputs.size() + kUnitOutputs - 1) / kUnitOutputs);
}

// What one unit of arithmetic covers: a block of outputs, from `first` on, `count` of them, and
// a range of the stripe, `bytes` from `start` on.
struct UnitPart {
  size_t first, count;
  uint32_t start, bytes;
};

UnitPart PartOfUnit(const Pass* pass, uint32_t unit) {
  const size_t first = unit / Ranges(pass) * kUnitOutputs;
  const uint32_t start = unit % Ranges(pass) * kUnitBytes;
  return {first, std::min(kUnitOutputs, pass->plan->outputs.size() - first), start,
          std::min(kUnitBytes, pass->bytes - start)};
}

// The hashes that `member` names of a batch of the inputs that `which` lists, and the group's
// bytes of each: how many there are.
template <typename Hash>
size_t BatchLanes(const Pass* pass, const Group* group, const std::vector<size_t>& which,
                  size_t batch, Hash* PassInput::*member, Hash* hashes[kUnitLanes],
                  const unsigned char* data[kUnitLanes]) {
  const size_t from = batch * kUnitLanes;
  const size_t lanes = std::min(kUnitLanes, which.size() - from);
  for (size_t lane = 0; lane < lanes; ++lane) {
    hashes[lane] = pass->plan->inputs[group->first + which[from + lane]].*member;
    data[lane] = group->buffer[which[from + lane]];
  }
  return lanes;
}

// Feeds a batch of inputs' slice MD5s side by side. An input whose bytes in its file end within
// this stripe has its file's MD5 finished there, from a copy of the slice's: the batch is fed up
// to the whole block before that end, and the copy the rest.
void SliceMd5Unit(Pass* pass, Group* group, size_t batch) {
  const size_t from = batch * kUnitLanes;
  Md5* hashes[kUnitLanes];
  const unsigned char* data[kUnitLanes];
  const size_t lanes =
      BatchLanes(pass, group, group->md5, batch, &PassInput::sliceMd5, hashes, data);
  uint32_t ends[kUnitLanes];  // where each lane's file ends in this stripe, or past it
  for (size_t lane = 0; lane < lanes; ++lane) {
    const PassInput& input = pass->plan->inputs[group->first + group->md5[from + lane]];
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
  Sha256* hashes[kUnitLanes];
  const unsigned char* data[kUnitLanes];
  const size_t lanes = BatchLanes(pass, group, group->sha, batch, &PassInput::sha, hashes, data);
  Sha256AddLanes(hashes, data, lanes, pass->bytes);
}

// Feeds a batch of recovery slices' packet MD5s side by side: all of one length.
void PacketMd5Unit(Pass* pass, Group* group, size_t batch) {
  Md5* hashes[kUnitLanes];
  const unsigned char* data[kUnitLanes];
  const size_t lanes =
      BatchLanes(pass, group, group->packet, batch, &PassInput::packetMd5, hashes, data);
  Md5AddLanes(hashes, data, lanes, group->real[group->packet[batch * kUnitLanes]]);
}

// Adds the group's inputs to the outputs of one block, over one range of the stripe.
void ArithmeticUnit(Pass* pass, Group* group, uint32_t unit) {
  const UnitPart part = PartOfUnit(pass, unit);
  const unsigned char* src[kGroupInputs];
  for (size_t i = 0; i < group->count; ++i) src[i] = group->buffer[i] + part.start;
  unsigned char* dst[kUnitOutputs];
  for (size_t j = 0; j < part.count; ++j) dst[j] = pass->sums[part.first + j] + part.start;
  GfMultiplyAdd(src, group->count, dst, part.count, &group->factors[part.first * group->count],
                part.bytes);
}

}  // namespace

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

uint32_t TransformUnits(const Pass* pass) {
  return OutputBlocks(pass) * Ranges(pass);
}

// The results of one block of outputs over one range: the transform times the sums.
void TransformUnit(Pass* pass, Group*, uint32_t unit) {
  const size_t outputs = pass->plan->outputs.size();
  const UnitPart part = PartOfUnit(pass, unit);
  std::vector<const unsigned char*> src(outputs);
  for (size_t i = 0; i < outputs; ++i) src[i] = pass->sums[i] + part.start;
  unsigned char* dst[kUnitOutputs];
  for (size_t j = 0; j < part.count; ++j) {
    dst[j] = pass->results[pass->current][part.first + j] + part.start;
    std::memset(dst[j], 0, part.bytes);
  }
  GfMultiplyAdd(src.data(), outputs, dst, part.count, &pass->plan->transform[part.first * outputs],
                part.bytes);
}

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
