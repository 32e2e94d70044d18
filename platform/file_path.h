// A path as a value: UTF-8 text that these operations cut and join, each returning a new path
// rather than changing one in place. Both "\" and "/" separate components, as Windows takes
// either; the names of the host build hold no backslash. Nothing here asks the system: a path
// means no more than its text, which is how the program keeps names exact.
#pragma once

#include <string>
#include <utility>

class FilePath {
 public:
  FilePath() = default;
  explicit FilePath(std::string value) : value_(std::move(value)) {}

  const std::string& value() const { return value_; }
  const char* c_str() const { return value_.c_str(); }
  bool empty() const { return value_.empty(); }

  // The folder that holds the last component: the path up to and with its last separator
  // ("C:\work\" of "C:\work\4711"), a drive's current folder ("C:" of "C:4711"), or "." for a
  // bare name.
  FilePath DirName() const;
  // The last component: what follows the last separator (and a drive's colon).
  std::string BaseName() const;
  // The path with `suffix` added to the text of its last component: "C:\work\4711" and "-03"
  // give "C:\work\4711-03".
  FilePath AddSuffix(const std::string& suffix) const;
  // Whether the path ends in `suffix`, its ASCII letters in either case, after something; if
  // so, stores the path without it in `rest`.
  bool RemoveSuffix(const std::string& suffix, FilePath* rest) const;
  // The path less its last `count` characters, as a person counts them: a character of several
  // bytes of UTF-8 goes whole, never half of it, and a byte that belongs to no such character
  // counts as one. Returns false, storing nothing, when the path has fewer.
  bool RemoveLastCharacters(int count, FilePath* rest) const;

 private:
  std::string value_;
};
