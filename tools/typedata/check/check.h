// Checking a type tree against the machine: every file read with the
// service's own reader, and what the reader cannot tell found besides.
#ifndef TOOLS_TYPEDATA_CHECK_CHECK_H
#define TOOLS_TYPEDATA_CHECK_CHECK_H

#include <string>
#include <vector>

#include "core/progress.h"
#include "core/session.h"

namespace tool {

struct Problem {
  std::string file;    // relative to the root, '/' separators
  int line = 0;        // 0: the file as a whole
  int type = -1;       // the type it concerns, -1 for none
  std::string config;  // the config's prefix, "" for none
  std::string message;
  bool blocksLoading = false;  // the type cannot be loaded as its files are
};

// Every problem of the session's tree, in the order found: the catalogue,
// the folders (temporary files, names differing only in letter case, type
// folders the catalogue does not list), each listed type's files, shared
// configs that differ. Time and memory grow with the files, not their
// square; only one type's values are held at a time. progress may be null.
std::vector<Problem> CheckTree(const Session& session, Progress* progress);

// The problems of one type's files alone.
std::vector<Problem> CheckTypeFiles(const Session& session, int typeNo);

// The first of problems that keeps a type from being loaded as it is
// written (a file missing, unreadable, or holding no section), or null.
const Problem* LoadBlocker(const std::vector<Problem>& problems);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CHECK_CHECK_H
