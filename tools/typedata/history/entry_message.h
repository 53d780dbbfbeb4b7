// An entry's message: the command in words, a blank line, then the
// trailers that plain git shows and `git interpret-trailers` reads.
#ifndef TOOLS_TYPEDATA_HISTORY_ENTRY_MESSAGE_H
#define TOOLS_TYPEDATA_HISTORY_ENTRY_MESSAGE_H

#include <string>
#include <utility>
#include <vector>

namespace history {

struct EntryTrailers {
  std::string user;
  std::string station;
  std::string command;
  std::string reason;
  std::string checkedBy;
  std::string recordedBy;  // who recorded a change made outside or left by a killed command
  bool outside = false;
  bool interrupted = false;
  bool first = false;
};

// Text fit for one line of a message: control characters (a line end
// would end the trailer) become spaces.
std::string OneLine(const std::string& text);

using TrailerList = std::vector<std::pair<std::string, std::string>>;

// summary, a blank line, "Key: value" for each trailer whose value is not
// empty.
std::string BuildMessage(const std::string& summary, const TrailerList& trailers);

// The trailers of a message (libgit2's reading, as git's).
EntryTrailers ParseTrailers(const std::string& message);

// The message's first line.
std::string SummaryOf(const std::string& message);

}  // namespace history

#endif  // TOOLS_TYPEDATA_HISTORY_ENTRY_MESSAGE_H
