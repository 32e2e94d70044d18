// Joining numbered pieces back into one file.
#pragma once

// Copies "<baseText>-00", "<baseText>-01", ... up to the first index for which no such name
// exists, or up to "<baseText>-2147483647", the last piece a split makes, into a file named
// `baseText`, replacing it. Joins of any size are streamed, piece by piece, through one small
// buffer.
//
// Returns 1 when the output was written in full, else 0, with the reason in LastFailure()
// (core/failure.h). When not even "<baseText>-00" exists, when a name cannot be looked up (for
// another reason than not existing), when the join is known not to fit in the free space of the
// output's folder, when a piece cannot be opened or read whole, or when a piece changed size
// since it was looked up, the output is neither created nor changed. The joined bytes go to a
// temporary file beside the output, which takes its place only once complete, so a failed
// write (a full disk), a failed replacement or a stop asked for (core/progress.h) also leaves
// an existing output as it was, and no temporary file behind. The pieces are never changed.
int RestoreFile(const char* baseText);
