#include "ops/watch.h"

#include "ops/past_values.h"

#ifdef TD_HAVE_HISTORY
#include <dirent.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>

#include "core/journal.h"
#include "core/lock.h"
#include "history/history.h"
#include "history/reading.h"
#include "history/tree_scan.h"
#include "history/who.h"
#endif

namespace tool::ops {

#ifdef TD_HAVE_HISTORY

namespace {

using Clock = std::chrono::steady_clock;

// A burst of saves within this is one change; a stream that never pauses
// is recorded at the latest after the longest wait.
constexpr auto kSettle = std::chrono::seconds(1);
constexpr auto kLongestWait = std::chrono::seconds(10);

constexpr std::uint32_t kFolderEvents = IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE |
                                        IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                                        IN_DONT_FOLLOW | IN_ONLYDIR;

class Watcher {
 public:
  Watcher(const WatchRequest& request, const WatchListener& listener)
      : request_(request),
        listener_(listener),
        recorder_{history::CurrentUser(request.user), history::StationName(), "watch", "", ""} {}
  ~Watcher() {
    if (fd_ >= 0) close(fd_);
  }
  Watcher(const Watcher&) = delete;
  Watcher& operator=(const Watcher&) = delete;

  Result<WatchModel> Run() {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0)
      return Refusal::InputOutput("cannot watch the tree for changes", request_.root, std::strerror(errno));
    // The root only for the machine description and a type folder made anew.
    if (inotify_add_watch(fd_, request_.root.c_str(), kFolderEvents) < 0)
      return Refusal::InputOutput("cannot watch the tree for changes", request_.root, std::strerror(errno));
    if (!WatchFolder(request_.root + "/type"))
      return Refusal::InputOutput("cannot watch the tree for changes", request_.root + "/type",
                                  std::strerror(errno));
    // What changed while nobody watched is recorded first.
    if (std::optional<Refusal> refused = RecordNow()) return *refused;
    if (listener_.ready) listener_.ready();
    for (;;) {
      int timeout = -1;
      if (changed_) {
        const Clock::time_point due = std::min(last_ + kSettle, first_ + kLongestWait);
        timeout = static_cast<int>(std::max<long long>(
            0, std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count()));
      }
      pollfd fds[2] = {{fd_, POLLIN, 0}, {request_.stopFd, POLLIN, 0}};
      const int ready = poll(fds, request_.stopFd >= 0 ? 2 : 1, timeout);
      if (ready < 0 && errno != EINTR)
        return Refusal::InputOutput("cannot wait for the tree's changes", request_.root,
                                    std::strerror(errno));
      if (ready > 0 && (fds[0].revents & POLLIN)) ReadEvents();
      if (ready > 0 && request_.stopFd >= 0 && (fds[1].revents & POLLIN)) break;
      const Clock::time_point now = Clock::now();
      if (changed_ && (now >= last_ + kSettle || now >= first_ + kLongestWait)) {
        if (std::optional<Refusal> refused = RecordNow()) return *refused;
      }
    }
    if (changed_) {
      ReadEvents();
      if (std::optional<Refusal> refused = RecordNow()) return *refused;
    }
    return model_;
  }

 private:
  // Watches folder and every folder under it that the history records
  // (never through a link); false when folder itself cannot be watched.
  bool WatchFolder(const std::string& folder) {
    const int wd = inotify_add_watch(fd_, folder.c_str(), kFolderEvents);
    if (wd < 0) return false;
    folders_[wd] = folder;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return true;
    std::vector<std::string> children;  // their paths
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == ".." || !history::IsRecordedName(name)) continue;
      std::string child = folder;
      child.append("/").append(name);
      struct stat st {};
      if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) children.push_back(child);
    }
    closedir(dir);
    for (const std::string& child : children) WatchFolder(child);
    return true;
  }

  void Changed() {
    const Clock::time_point now = Clock::now();
    if (!changed_) first_ = now;
    changed_ = true;
    last_ = now;
  }

  void ReadEvents() {
    alignas(inotify_event) char buffer[16384];
    for (;;) {
      const ssize_t got = read(fd_, buffer, sizeof buffer);
      if (got <= 0) return;
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        Event(*event);
      }
    }
  }

  void Event(const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) {
      Changed();  // events lost: the recording reads the whole tree anyway
      return;
    }
    if (event.mask & IN_IGNORED) {
      folders_.erase(event.wd);
      return;
    }
    const auto folder = folders_.find(event.wd);
    const std::string name = event.len > 0 ? std::string(event.name) : std::string();
    if (folder == folders_.end()) {
      // The root: only the machine description and the type folder count.
      if (name == history::kMachineFile) Changed();
      if (name == history::kTypeFolder) {
        Changed();
        if (event.mask & (IN_CREATE | IN_MOVED_TO)) WatchFolder(request_.root + "/type");
      }
      return;
    }
    if (name.empty()) {
      if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF)) Changed();
      return;
    }
    if (!history::IsRecordedName(name)) return;  // the lock, the journal, temporaries
    Changed();
    if ((event.mask & IN_ISDIR) && (event.mask & (IN_CREATE | IN_MOVED_TO)))
      WatchFolder(folder->second + "/" + name);
  }

  // What differs from the last entry, recorded under the tree's lock.
  std::optional<Refusal> RecordNow() {
    struct stat st {};
    if (lstat(JournalPath(request_.root + "/type").c_str(), &st) == 0) {
      // A command cut short: the next command puts its files back first.
      if (!journalSaid_)
        Say("a command cut short left its journal; the next command of the tool puts its files "
            "back and records them");
      journalSaid_ = true;
      Retry();
      return std::nullopt;
    }
    journalSaid_ = false;
    std::string error;
    bool busy = false;
    std::unique_ptr<TreeLock> lock = TreeLock::Exclusive(request_.root, &error, &busy);
    if (!lock) {
      if (!busy) return Refusal::Of(RefusalKind::kInputOutput, error);
      Say("the tree is busy (" + error + "); trying again");
      Retry();
      return std::nullopt;
    }
    changed_ = false;
    const Result<std::shared_ptr<history::History>> opened = history::History::Open(request_.root);
    if (!opened.ok()) return opened.refusal();
    const Result<history::Recorded> recorded = opened.model()->RecordOutside(recorder_);
    if (!recorded.ok()) return recorded.refusal();
    const history::Recorded& made = recorded.model();
    if (!made.note.empty()) Say(made.note);
    if (!made.made) return std::nullopt;
    WatchedEntry entry{made.revision, "", made.outside, made.interrupted, made.first};
    const Result<std::vector<history::Entry>> last = history::ReadEntries(*opened.model(), {"", 1});
    if (last.ok() && !last.model().empty()) entry.time = last.model().front().timeText;
    model_.entries.push_back(entry);
    if (listener_.recorded) listener_.recorded(entry);
    return std::nullopt;
  }

  // Tried again a settling time from now.
  void Retry() {
    changed_ = true;
    last_ = Clock::now();
    first_ = last_;
  }

  void Say(const std::string& text) const {
    if (listener_.note) listener_.note(text);
  }

  const WatchRequest& request_;
  const WatchListener& listener_;
  history::ChangeInfo recorder_;
  int fd_ = -1;
  std::map<int, std::string> folders_;  // watch -> folder; the root is not among them
  bool changed_ = false;
  bool journalSaid_ = false;
  Clock::time_point first_;
  Clock::time_point last_;
  WatchModel model_;
};

}  // namespace

Result<WatchModel> Watch(const WatchRequest& request, const WatchListener& listener) {
  struct stat st {};
  if (stat((request.root + "/type").c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return Refusal::Of(RefusalKind::kNoTree, "no type folder in " + request.root + ": nothing to watch");
  const Result<history::Settings> settings = history::ReadSettings(request.root);
  if (!settings.ok()) return settings.refusal();
  if (!settings.model().enabled)
    return Refusal::Of(
        RefusalKind::kRefused,
        "this tree keeps no history (made with init --no-history): there is nothing to record in");
  Watcher watcher(request, listener);
  return watcher.Run();
}

#else

Result<WatchModel> Watch(const WatchRequest& /*request*/, const WatchListener& /*listener*/) {
  return Refusal::Of(RefusalKind::kUsage, kNoHistoryInBuild);
}

#endif

}  // namespace tool::ops
