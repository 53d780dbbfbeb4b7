// What check finds of a changing command that did not finish and was not
// put back: its journal (a reading command could not roll it back), a lost
// catalogue beside type folders, temporary files that hold a catalogue.
#ifndef TOOLS_TYPEDATA_CHECK_INTERRUPTED_H
#define TOOLS_TYPEDATA_CHECK_INTERRUPTED_H

#include <vector>

#include "check/check.h"
#include "core/session.h"

namespace tool {

// The problems of the tree's top: for a tree whose catalogue is missing,
// all there is to check.
std::vector<Problem> CheckInterrupted(const Session& session);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CHECK_INTERRUPTED_H
