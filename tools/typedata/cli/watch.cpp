// typedata watch.
#include <fmt/core.h>

#include <cstdio>

#include "cli/command.h"
#include "cli/commands.h"
#include "ops/past_values.h"
#include "ops/record_change.h"
#include "ops/watch.h"
#include "render/documents.h"

#ifdef TD_HAVE_HISTORY
#include <sys/signalfd.h>
#include <unistd.h>

#include <csignal>
#endif

namespace tool {
namespace {

class Watch final : public Command {
 public:
  void Define(CLI::App& /*command*/) override {}

  int Prepare(const GlobalOptions& /*options*/, Output& out) override {
    if (ops::HistoryInThisBuild()) return kDone;
    out.Error(ops::kNoHistoryInBuild);
    return kUsageError;
  }

  int Run(const GlobalOptions& options, Session* /*session*/, Output& out) override {
#ifdef TD_HAVE_HISTORY
    // SIGINT and SIGTERM end the watch through a descriptor it waits on, so
    // that a recording under way is finished, never cut short.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    if (sigprocmask(SIG_BLOCK, &stops, nullptr) != 0) {
      out.Error("cannot take over SIGINT and SIGTERM to end the watch");
      return kUsageError;
    }
    const int stopFd = signalfd(-1, &stops, SFD_CLOEXEC);
    if (stopFd < 0) {
      out.Error("cannot take over SIGINT and SIGTERM to end the watch");
      return kUsageError;
    }
    ops::WatchListener listener;
    listener.recorded = [&](const WatchedEntry& entry) {
      if (options.json) return;
      out.Line(fmt::format("{} {} {}", entry.time, entry.revision.substr(0, 12),
                           entry.interrupted ? "left by an interrupted command"
                           : entry.first     ? "the tree as it was when its history began"
                                             : "changed outside the tool"));
      std::fflush(stdout);
    };
    listener.note = [&](const std::string& text) { out.Note(text); };
    listener.ready = [&] {
      out.Note("Watching " + options.root + " for changes made outside the tool; Ctrl-C ends it.");
    };
    const Result<WatchModel> watched = ops::Watch({options.root, options.user, stopFd}, listener);
    close(stopFd);
    if (!watched.ok()) return Refuse(watched.refusal(), out);
    if (options.json)
      out.Document(ToDocument(watched.model()));
    else
      out.Note(fmt::format("Stopped; {} recorded.",
                           watched.model().entries.size() == 1
                               ? std::string("1 entry")
                               : std::to_string(watched.model().entries.size()) + " entries"));
    return kDone;
#else
    (void)options;
    out.Error(ops::kNoHistoryInBuild);
    return kUsageError;
#endif
  }
};

}  // namespace

std::unique_ptr<Command> MakeWatch() { return std::make_unique<Watch>(); }

}  // namespace tool
