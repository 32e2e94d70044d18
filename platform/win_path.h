// Windows paths that mean exactly the file they spell. Windows' own normalisation, in
// GetFullPathNameW and in every plain (not "\\?\") path a file call gets, drops the trailing
// dots and spaces of a name: "report." would open "report", another file. Here the full path is
// made by plain text rules instead, and file calls get its "\\?\" form, which Windows passes to
// the file system as it is, at any length up to 32,767 characters.
#pragma once

#include <string>

// The full path of `path`: a relative path joined to the current folder (or, for "X:name", to
// drive X's current folder), a path from the root ("\name") to the current drive's root;
// slashes become backslashes, "." and ".." are taken out, repeated separators become one, and
// every name is kept exactly as it is spelt, trailing dots and spaces included. A path already
// in the "\\?\" or "\\.\" form is kept as it is. Returns false, with the error code set, for an
// empty path or a share without its server or share name.
bool ExactFullPath(const std::wstring& path, std::wstring* full);

// The "\\?\" form of a full path ("\\?\UNC\server\share\..." for a share).
std::wstring LongForm(const std::wstring& full);
