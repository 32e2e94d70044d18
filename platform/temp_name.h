// The naming of temporary files, shared by both implementations of the platform operations.
#pragma once

#include <string>

#include "platform/platform.h"

// Creates a file with `createNew` under the first free name among `path` + "~00" ... "~FF"
// and stores that name in `name`. `createNew` must create a file only when no file or folder
// of that name exists, and set `*taken` when it failed because one does; any other failure
// ends the search. Returns the open file, or kNoFile.
//
// The name is the path with three more bytes, so it lies in the same folder whatever the code
// page. It never ends in a hyphen and digits, so it is never taken for a piece.
FileHandle CreateUnderFreeName(const char* path, std::string* name,
                               FileHandle (*createNew)(const char* name, bool* taken));
