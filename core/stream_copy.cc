#include "core/stream_copy.h"

#include "core/limits.h"
#include "core/progress.h"
#include "core/work_context.h"
#include "platform/helper.h"

namespace {

// Below this, a buffer is hashed on this thread: handing it over would cost more than it saves.
constexpr uint32_t kHandOverBytes = 64 * 1024;

struct HashTask {
  Sha256* hash;
  const char* bytes;
  uint32_t count;
};

void RunHashTask(void* data) {
  const HashTask* task = static_cast<const HashTask*>(data);
  Sha256Add(task->hash, task->bytes, task->count);
}

}  // namespace

CopyBuffers::~CopyBuffers() {
  if (helper) EndHelper(helper);
}

bool GetCopyBuffers(WorkContext* work, bool hashing, CopyBuffers* buffers) {
  const uint32_t count = hashing ? 2 : 1;
  buffers->block.reset(static_cast<char*>(AllocBlock(count * kStreamBufferBytes)));
  if (!buffers->block) return Fail(work, FailureKind::kNoMemory);
  buffers->buffer[0] = buffers->block.get();
  buffers->buffer[1] = buffers->block.get() + (count - 1) * kStreamBufferBytes;
  if (hashing) buffers->helper = StartHelper();
  return true;
}

bool CopyBytes(WorkContext* work, CopyBuffers* buffers, const CopyEnd& from, const CopyEnd& to,
               uint64_t count, Sha256* hash) {
  // The buffer being hashed on the helper, if any: it is not read into before the hashing ends,
  // and the next buffer is not handed over before then either.
  HashTask task = {hash, nullptr, 0};
  bool hashing = false;
  int next = 0;
  bool ok = true;
  while (count > 0) {
    if (StopRequested(work)) {
      ok = Fail(work, FailureKind::kStopped);
      break;
    }
    char* buffer = buffers->buffer[next];
    const uint32_t chunk =
        count < kStreamBufferBytes ? static_cast<uint32_t>(count) : kStreamBufferBytes;
    if (!ReadBlock(from.file, buffer, chunk)) {
      ok = FailSystem(work, from.name);
      break;
    }
    if (hash) {
      if (hashing) WaitForHelper(buffers->helper);
      hashing = buffers->helper && chunk >= kHandOverBytes;
      if (hashing) {
        task = HashTask{hash, buffer, chunk};
        HandToHelper(buffers->helper, RunHashTask, &task);
      } else {
        Sha256Add(hash, buffer, chunk);
      }
    }
    // The write only reads the buffer, as the hashing does: the two go on at once.
    if (!WriteBlock(to.file, buffer, chunk)) {
      ok = FailSystem(work, to.name);
      break;
    }
    count -= chunk;
    CountProgress(work, chunk);
    next ^= 1;  // the other buffer, where there are two
  }
  if (hashing) WaitForHelper(buffers->helper);
  return ok;
}

bool CopyWholeFile(WorkContext* work, CopyBuffers* buffers, const FilePath& name, uint64_t least,
                   uint64_t most, const CopyEnd& to, Sha256* hash, uint64_t* size) {
  const FileHandle file = OpenForRead(name.c_str());
  if (file == kNoFile) return FailSystem(work, name.value());
  *size = 0;
  bool ok = QueryFileSize(file, size) || FailSystem(work, name.value());
  if (ok && (*size < least || *size > most))
    ok = Fail(work, FailureKind::kSetChanged, name.value());
  ok = ok && CopyBytes(work, buffers, CopyEnd{file, name.value()}, to, *size, hash);
  CloseFile(file);
  return ok;
}
