// The split and restore commands: read the controls, start the work (ui/work.h), and report
// its outcome as one line of text. Neither starts while a work runs.
#pragma once

#include "ui/work.h"

// Splits the file named in the path line into pieces of the size in the size field times the
// chosen unit. A size of 0 (also after the unit factor wraps) only asks for a size.
void RunSplitCommand();
// Restores from the path line's text less its last three characters ("-00").
void RunRestoreCommand();
// Shows how a split or restore ended in the path line (and, after a restore, the information
// line).
void ShowWorkResult(const WorkOutcome& outcome);
