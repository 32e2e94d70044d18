// From the path of a dropped piece to the base text that restoring starts from.
#pragma once

// Cuts the last three bytes off `path` in place ("C:\work\4711-00" becomes "C:\work\4711").
// Returns false, leaving the text as it was, when it is shorter than three bytes.
bool CutPieceSuffix(char* path);
