// The words for why a split or restore failed, for the information line.
#pragma once

#include <string>

#include "core/failure.h"

// The system's message for the error that ended the work, in the user's language where the
// system has one, after the file name of the piece at fault where a piece was ("53203-01: ...");
// the program's own Japanese text where no system error is behind the failure. Empty for a work
// that succeeded or was stopped.
std::wstring FailureReason(const Failure& failure);
