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

bool Fail(FailureKind kind) {
  if (g_failure.kind == FailureKind::kNone) g_failure.kind = kind;
  return false;
}

bool FailSystem(const std::string& piece) {
  if (g_failure.kind == FailureKind::kNone) {
    g_failure.kind = FailureKind::kSystem;
    g_failure.error = LastError();
    g_failure.piece = piece;
  }
  return false;
}
