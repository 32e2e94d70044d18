// A split's set under one drawn base: what the split has made of it so far, the one place that
// creates and removes its files, and the writing of its pieces (core/split.cc draws the base
// and writes the set, and again under another base where a name was taken meanwhile).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/checksum_list.h"
#include "core/piece_name.h"
#include "core/stream_copy.h"
#include "core/work_context.h"
#include "platform/file_path.h"
#include "platform/platform.h"

// A split at work: the open source, what it is cut into, and what has been made of it.
struct Split {
  WorkContext* work = nullptr;
  FileHandle source = kNoFile;
  std::string sourceName;  // to blame a change or a failed read on
  FileState state;         // the source's size and last-write time at the start
  SetHeader header = {};
  uint32_t recoveryCount = 0;            // recovery slices to make
  int32_t baseNumber = 0;                // the drawn base number
  FilePath base;                         // its text
  uint64_t made[kMemberKindCount] = {};  // files made of each kind, in index order
  std::vector<FilePath> recoveryMade;    // recovery files made
  Failure taken;                         // a name found taken on creation, and why
  CopyBuffers buffers;
  FileHandle list = kNoFile;
  std::string waiting;  // piece lines not yet written to the list
};

// What creating a file of the set, or the whole set, came to: kTaken where another program took
// a name since the look-up, which is no failure: the split draws another base.
enum class Outcome { kMade, kTaken, kFailed };

// Writes the list's first line and then the pieces in order, with their lines in the list,
// asking before each whether to stop.
Outcome WritePieces(Split* split);
// Removes every file the split made of its set, and nothing else; the list last, and only when
// every other file has gone. Returns whether all went.
bool RemoveSet(Split* split);

// For the writing of the set and of its recovery files (core/split_recovery.cc).
FilePath MadeName(const Split& split, MemberKind kind, uint64_t index);
// Creates the next file of `kind` (each kind's files are made in index order), only where no
// file of its name exists.
Outcome CreateMember(Split* split, MemberKind kind, FileHandle* file);
// The same for a recovery file, whose name the set's layout gives.
Outcome CreateRecoveryFile(Split* split, const FilePath& name, FileHandle* file);
// The list's first line.
Outcome WriteHeaderLine(Split* split);
// Writes the piece lines waiting; fails naming the list.
bool WriteWaitingLines(Split* split);
// Whether the source is as it was at the start, its size and last-write time; a source that
// changed fails the split, naming it.
bool SourceUnchanged(Split* split);
// After a read of the source failed: a source that changed meanwhile is the reason, rather than
// the end of the file that the read met.
void BlameChangedSource(Split* split);
