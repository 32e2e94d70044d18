#include "core/work_context.h"

#include "platform/platform.h"

void ClearResults(WorkContext* work) {
  work->failure = Failure();
  work->originalName.clear();
  work->leftBehind.clear();
  work->leftBehindCount = 0;
}

bool Fail(WorkContext* work, FailureKind kind, const std::string& file) {
  if (work->failure.kind == FailureKind::kNone) work->failure = Failure{kind, 0, file};
  return false;
}

bool FailSystem(WorkContext* work, const std::string& file) {
  if (work->failure.kind == FailureKind::kNone) {
    work->failure = Failure{FailureKind::kSystem, LastError(), file};
  }
  return false;
}
