// The split and restore commands: read the controls, start the work (ui/work.h), and report
// its outcome: one line of text in the path line, and after a failure the reason in the
// information line. Neither starts while a work runs.
#pragma once

#include "ui/work.h"

// Splits the file named in the path line into pieces of the size in the size field times the
// chosen unit. A size of 0 (also after the unit factor wraps) only asks for a size.
void RunSplitCommand();
// Restores from the path line's text less its last three characters ("-00").
void RunRestoreCommand();
// Shows how a split or restore ended in the path line, and in the information line what a
// restore's success clears there, or why the work failed: the system's words for the error that
// ended it, in the user's language where the system has them, after the file name of the piece
// at fault where a piece was ("53203-01: ..."); the program's own Japanese text where no system
// error is behind the failure. A stop leaves the information line as it was, unless a file that
// the work made could not be removed again: then it names that file.
void ShowWorkResult(const WorkOutcome& outcome);
