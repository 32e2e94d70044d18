// Joining numbered pieces back into one file.
#pragma once

#include "core/work_context.h"

// Joins the pieces "<baseText>-00", "<baseText>-01", ... into a file named `baseText`, replacing
// it. Joins of any size are streamed, piece by piece, through small buffers.
//
// Where the set's checksum list "<baseText>.sha256" lies beside it (core/checksum_list.h), the
// pieces are exactly those it names: a later piece beside them is left out. The list is read
// and every piece looked up before anything is written; each piece is hashed as it is joined,
// and the output is replaced only when every piece has the hash its line names. The context's
// original name is then the name of the file that was cut.
//
// Without a list, the pieces are those from -00 up to the first index for which no such name
// exists, or up to "<baseText>-2147483647", the last piece a split makes; a later piece of the
// base beside them means that one is missing, and fails the restore.
//
// Returns 1 when the output was written in full, else 0, with the reason in the context's
// failure (naming the piece or the list at fault: a piece missing or short, or damaged, a list
// that cannot be read as one). When not even "<baseText>-00" exists, when a name cannot be looked
// up (for another reason than not existing), when the join is known not to fit in the free space
// of the output's folder, when a piece cannot be opened or read whole, or when a piece changed
// size since it was looked up, the output is neither created nor changed. The joined bytes go to
// a temporary file beside the output, which takes its place only once complete and checked, so
// a failed write (a full disk), a failed replacement or a stop asked for through the context also
// leaves an existing output as it was, and no temporary file behind. The pieces are never
// changed.
int RestoreFile(const char* baseText, WorkContext* work);
// The same with a context of its own: no reports, no stop, and the reason is not kept.
int RestoreFile(const char* baseText);
