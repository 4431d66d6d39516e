#pragma once
// A new file beside a final one that only this run writes, so that a file is replaced only by a
// whole new one and no name the run did not create is ever opened, truncated or deleted.
#include <string>

#include "common/platform/scoped_handle.h"

// How many numbers of its own a run tries before it gives up.
constexpr unsigned kPartialFileAttempts = 100;

// "<finalName>.<processId>.<number>.partial": the one place that says how the name is made.
std::string PartialFileName(const std::string& finalName, unsigned long processId, unsigned number);

struct PartialFile {
  std::string name;     // the name it was created with, this run's own
  ScopedHandle handle;  // open for writing, shared with no one
};

// Creates the first free PartialFileName for number 1, 2, ... up to kPartialFileAttempts with
// CREATE_NEW: a name that is there, whatever it is (a file of any mode, a folder, a link), is left
// as it is and skipped. Throws a standard exception naming the file when every name is taken or the
// folder refuses the new file.
PartialFile CreatePartialFile(const std::string& finalName, unsigned long processId);
