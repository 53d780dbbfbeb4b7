// watch: changes made behind the tool's back (by hand, by the host program
// through the service) recorded in the tree's history as they settle, until
// stopped. Linux (inotify); a build without history refuses it.
//
// Events on type/** and the machine description mark the tree changed;
// once no event has come for a second (a burst of saves is one change), or
// at the latest ten seconds after the first, the tree's lock is taken, what
// differs from the last entry is recorded as one entry marked outside, and
// the lock is let go: it is never held while waiting. The tool's own files
// and the temporaries are passed over by the history's own filter, and new
// type folders are watched as they appear. The tool's own changes are
// recorded by their commands; watch then finds nothing left to record.
#ifndef TOOLS_TYPEDATA_OPS_WATCH_H
#define TOOLS_TYPEDATA_OPS_WATCH_H

#include <functional>
#include <string>

#include "core/refusal.h"
#include "ops/models.h"

namespace tool::ops {

struct WatchRequest {
  std::string root;
  std::string user;  // who recorded the entries: "" TYPEDATA_USER, else the login name
  int stopFd = -1;   // readable when watching is to end (a signalfd)
};

// Told as it happens: watching begun (what changed before is recorded by
// then), each entry recorded, and what is said on the way (the tree busy,
// a journal left for the next command).
struct WatchListener {
  std::function<void()> ready;
  std::function<void(const WatchedEntry&)> recorded;
  std::function<void(const std::string&)> note;
};

// Runs until stopFd is readable, then records what is still unrecorded and
// gives every entry made. Refused for a tree without type folder, one made
// without history, a lock file that cannot be used; kUsage where this
// build has no history.
Result<WatchModel> Watch(const WatchRequest& request, const WatchListener& listener);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_WATCH_H
