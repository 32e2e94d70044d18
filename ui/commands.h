// The split and restore commands: read the controls, call the file engines, and report the
// outcome as one line of text. Neither starts while a split or restore is at work (ui/busy.h).
#pragma once

// Splits the file named in the path line into pieces of the size in the size field times the
// chosen unit. A size of 0 (also after the unit factor wraps) only asks for a size.
void RunSplitCommand();
// Restores from the path line's text less its last three characters ("-00").
void RunRestoreCommand();
