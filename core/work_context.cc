#include "core/work_context.h"

#include "platform/platform.h"

void ClearResults(WorkContext* work) {
  work->failure = Failure();
  work->originalName.clear();
  work->leftBehind.clear();
  work->leftBehindCount = 0;
  work->recoveryMade = 0;
  work->recoveryRefused = false;
  work->repaired.clear();
  work->repairedCount = 0;
}

bool Fail(WorkContext* work, FailureKind kind, const std::string& file) {
  return Fail(work, Failure{kind, 0, file, 0});
}

bool Fail(WorkContext* work, const Failure& failure) {
  if (work->failure.kind == FailureKind::kNone) work->failure = failure;
  return false;
}

bool FailSystem(WorkContext* work, const std::string& file) {
  if (work->failure.kind == FailureKind::kNone) {
    work->failure = Failure{FailureKind::kSystem, LastError(), file, 0};
  }
  return false;
}
