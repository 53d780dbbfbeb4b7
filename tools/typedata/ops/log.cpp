#include "ops/log.h"

#include <fmt/core.h>

#include <cctype>
#include <map>
#include <memory>
#include <set>

#include "ops/past_show.h"
#include "ops/past_values.h"

#ifdef TD_HAVE_HISTORY
#include "history/reading.h"
#endif

namespace tool::ops {

#ifdef TD_HAVE_HISTORY

namespace {

// "D:1" (either letter case) to its kind and number.
bool ParseItem(const std::string& text, char* kind, int* number) {
  if (text.size() < 3 || text[1] != ':') return false;
  *kind = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  if (KindIndex(*kind) < 0) return false;
  int value = 0;
  for (std::size_t i = 2; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i])) || value > 99999) return false;
    value = value * 10 + (text[i] - '0');
  }
  *number = value;
  return value > 0;
}

// The types whose files an entry changed ("type/0003/..." -> 3).
std::set<int> TypesChanged(const history::Entry& entry) {
  std::set<int> types;
  for (const history::FileChange& change : entry.changes) {
    const std::string& path = change.path;
    if (path.size() < 10 || path.compare(0, 5, "type/") != 0 || path[9] != '/') continue;
    int number = 0;
    bool digits = true;
    for (std::size_t i = 5; i < 9; ++i) {
      digits = digits && std::isdigit(static_cast<unsigned char>(path[i]));
      number = number * 10 + (path[i] - '0');
    }
    if (digits) types.insert(number);
  }
  return types;
}

// Loadings kept by entry and type: an entry's "before" is the next older
// entry's "after" when the history runs straight.
class Loadings {
 public:
  explicit Loadings(PastValues& past) : past_(past) {}

  // The values at revision, or none when the entry had no such type.
  Result<std::shared_ptr<const TypeValues>> At(const std::string& revision, int type) {
    const auto key = std::make_pair(revision, type);
    if (const auto found = kept_.find(key); found != kept_.end()) return found->second;
    Result<TypeValues> loaded = past_.Load(revision, type);
    // A type the service cannot read at an entry (its files cut short by a
    // kill, or damaged by hand) reads as none there, as one the entry did
    // not have: the rest of the audit trail is still listed.
    const bool none = !loaded.ok() && (loaded.refusal().kind == RefusalKind::kNotFound ||
                                       loaded.refusal().kind == RefusalKind::kRefused);
    if (!loaded.ok() && !none) return loaded.refusal();
    std::shared_ptr<const TypeValues> values;
    if (loaded.ok()) values = std::make_shared<const TypeValues>(std::move(loaded.model()));
    if (kept_.size() > 64) kept_.clear();  // the few last are the ones asked for again
    kept_[key] = values;
    return values;
  }

 private:
  PastValues& past_;
  std::map<std::pair<std::string, int>, std::shared_ptr<const TypeValues>> kept_;
};

}  // namespace

Result<LogModel> Log(Session& session, const LogRequest& request) {
  char itemKind = 0;
  int itemNumber = 0;
  if (!request.item.empty() && !ParseItem(request.item, &itemKind, &itemNumber))
    return Refusal::Of(RefusalKind::kUsage, "--item is a kind and an item's number: D:1, V:3");
  if (request.type > 9999) return Refusal::Of(RefusalKind::kUsage, "a type's number is 0 to 9999");
  Result<std::unique_ptr<PastValues>> opened = PastValues::Open(session);
  if (!opened.ok()) return opened.refusal();
  PastValues& past = *opened.model();
  const history::History& kept = *past.history();

  LogModel model;
  model.type = request.type;
  model.since = request.since;
  model.until = request.until;
  if (!request.since.empty()) {
    Result<std::string> since = past.Resolve(request.since);
    std::int64_t ignored = 0;
    // A date before the first entry: everything since the beginning.
    if (!since.ok() &&
        !(since.refusal().kind == RefusalKind::kNotFound && history::ParseIsoTime(request.since, &ignored)))
      return since.refusal();
    if (since.ok()) model.sinceRevision = since.model();
  }
  if (!request.until.empty()) {
    Result<std::string> until = past.Resolve(request.until);
    if (!until.ok()) return until.refusal();
    model.untilRevision = until.model();
  }

  // Entries newest first, the history one straight line of entries: until
  // opens the window, since closes it. With either, every entry is read
  // (a type's own list passes over the entries that name them); the types
  // an entry changed still keep the others out.
  history::EntryFilter filter;
  const bool windowed = !model.sinceRevision.empty() || !model.untilRevision.empty();
  if (request.type >= 0 && !windowed) filter.path = fmt::format("type/{:04d}", request.type);
  Result<std::vector<history::Entry>> read = history::ReadEntries(kept, filter);
  if (!read.ok()) return read.refusal();
  std::vector<const history::Entry*> window;
  bool open = model.untilRevision.empty();
  for (const history::Entry& entry : read.model()) {
    if (entry.revision == model.sinceRevision) break;
    open = open || entry.revision == model.untilRevision;
    if (open) window.push_back(&entry);
  }

  Loadings loadings(past);
  for (const history::Entry* entry : window) {
    const history::EntryTrailers& said = entry->trailers;
    // A change made outside names no user: its author says so.
    const std::string& user = said.user.empty() ? entry->author : said.user;
    if (!request.user.empty() && user != request.user) continue;
    LogEntry out{entry->revision,
                 entry->timeText,
                 user,
                 said.station,
                 said.command.empty() ? entry->summary : said.command,
                 said.reason,
                 said.checkedBy,
                 said.outside,
                 said.interrupted,
                 {}};
    Result<std::string> parent = past.Resolve(entry->revision + "^");
    for (const int type : TypesChanged(*entry)) {
      if (request.type >= 0 && type != request.type) continue;
      std::shared_ptr<const TypeValues> before;
      if (parent.ok()) {
        auto loaded = loadings.At(parent.model(), type);
        if (!loaded.ok()) return loaded.refusal();
        before = loaded.model();
      }
      auto after = loadings.At(entry->revision, type);
      if (!after.ok()) return after.refusal();
      for (const ValueChange& change : ChangedValues(before.get(), after.model().get())) {
        if (!request.config.empty() && change.config != request.config) continue;
        if (itemKind && (change.kind != itemKind || change.item != itemNumber)) continue;
        LogChange logged{type, change.config, change.kind, change.item, std::nullopt, std::nullopt};
        if (change.before) logged.oldValue = ShownValue(*change.before, change.kind);
        if (change.after) logged.newValue = ShownValue(*change.after, change.kind);
        out.changes.push_back(std::move(logged));
      }
    }
    if (out.changes.empty()) continue;
    model.entries.push_back(std::move(out));
  }
  return model;
}

#else

Result<LogModel> Log(Session& /*session*/, const LogRequest& /*request*/) {
  return Refusal::Of(RefusalKind::kUsage, kNoHistoryInBuild);
}

#endif

}  // namespace tool::ops
