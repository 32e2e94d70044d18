#include "core/failure.h"

#include "platform/platform.h"

namespace {
Failure g_failure;
}  // namespace

const Failure& LastFailure() {
  return g_failure;
}

void ClearFailure() {
  g_failure = Failure();
}

int Fail(FailureKind kind) {
  if (g_failure.kind == FailureKind::kNone) g_failure.kind = kind;
  return 0;
}

int FailSystem(const std::string& piece) {
  if (g_failure.kind == FailureKind::kNone) {
    g_failure.kind = FailureKind::kSystem;
    g_failure.error = LastError();
    g_failure.piece = piece;
  }
  return 0;
}
