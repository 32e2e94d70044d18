// A restore of a set that has its checksum list and recovery files beside it (core/restore.h):
// the pieces that are missing, short, longer or damaged are rebuilt from the others and the
// recovery slices (core/recovery_repair.h), and the output is written as from a whole set.
#pragma once

#include <vector>

#include "core/work_context.h"
#include "platform/file_path.h"

// The recovery files beside the set of `base` ("<base>.par2", "<base>.vol...par2"), from one
// listing of its folder; none where the folder cannot be listed.
std::vector<FilePath> RecoveryFilesBeside(const FilePath& base);

// Restores the set of `base` from its list `listName`, rebuilding what is lost. Sets `applies` to
// false, doing nothing else, for a list of more pieces than the PAR 2.0 format holds: no
// recovery file protects that set. Otherwise returns what RestoreFile returns, with the rebuilt
// pieces in the context.
bool RestoreProtected(WorkContext* work, const FilePath& base, const FilePath& listName,
                      const std::vector<FilePath>& recoveryFiles, bool* applies);
