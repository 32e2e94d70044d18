// Joining numbered pieces back into one file.
#pragma once

// Reads "<baseText>-00", "<baseText>-01", ... up to the first index for which no such name
// exists, and writes their concatenation to a file named `baseText`, replacing it.
//
// Returns 1 when the output was written in full, else 0. When not even "<baseText>-00" exists,
// when a piece cannot be opened or read whole, or when the joined size would reach 2 GiB, the
// output is neither created nor changed. The joined bytes go to a temporary file beside the
// output, which takes its place only once complete, so a failed write (a full disk) or a
// failed replacement also leaves an existing output as it was, and no temporary file behind.
// The pieces are never changed.
int RestoreFile(const char* baseText);
