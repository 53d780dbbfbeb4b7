// The tool's own documents: the operations the command line runs, on a
// session of the server's own, their models sent as the documents the
// command line prints with --json, their refusals and notes as it says them.
#include "replies.h"

#include <fmt/core.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

#include <sys/stat.h>

#include "core/display_width.h"
#include "core/folded.h"
#include "core/open_tree.h"
#include "ops/check.h"
#include "ops/list.h"
#include "ops/record_change.h"
#include "ops/set.h"
#include "ops/show.h"
#include "render/conflict_document.h"

namespace tool::serve {
namespace {

// A session on the tree for a request about type number: refused with
// 503 when the tree cannot be opened, 404 when it has no such type.
std::optional<Refusal> OpenTyped(const GlobalOptions& options, Access access, int number, Session* session) {
  if (std::optional<Refusal> refusal = OpenSession(options, access, session)) return refusal;
  return RefuseTypeNumber(*session, number);
}

// A refusal before the work began: its message is the answer's error.
Reply Answered(const Refusal& refusal) {
  Reply reply;
  reply.status = kNotDone;
  reply.http = HttpStatus(refusal);
  reply.error = refusal.message;
  return reply;
}

// The whole list, from a session of its own.
Reply ListDocument(const GlobalOptions& options, ListOrder order) {
  Session session;
  if (const std::optional<Refusal> refusal = OpenTree(options, Access::kRead, &session))
    return Refused(*refusal);
  const Result<ListModel> list = ops::List(session, {order});
  if (!list.ok()) return Refused(list.refusal());
  Reply reply;
  reply.document = ToDocument(list.model());
  return reply;
}

std::string FileStamp(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return "-;";
  return fmt::format("{}:{}:{}:{}.{}:{}.{};", status.st_dev, status.st_ino, status.st_size,
                     status.st_mtim.tv_sec, status.st_mtim.tv_nsec, status.st_ctim.tv_sec,
                     status.st_ctim.tv_nsec);
}

// What the list depends on: the catalogue, found as the tool finds it
// (its name in any letter case, every such file if there are several), and
// the remembered current type. A change replaces a file (a new inode) or
// rewrites it (new times).
std::string ListStamp(const GlobalOptions& options) {
  const std::string folder = options.root + "/type";
  std::string stamp = FileStamp(options.root + "/.typedata-state");
  std::error_code failure;
  for (const auto& entry : std::filesystem::directory_iterator(folder, failure)) {
    const std::string name = entry.path().filename().string();
    if (Folded(name) == "mmi.typ") stamp += name + "=" + FileStamp(entry.path().string());
  }
  return failure ? "" : stamp;  // an unreadable folder: no stamp, so the list is taken afresh
}

// The values of the files the pages were shown, by revision; used under
// the server's one lock on the tree.
RevisionMemory memory;

void Remember(const ShowModel& shown) {
  // The show document's values are its items; the memory keeps whole configs.
  std::map<std::string, ConfigValues> configs;
  for (const ShownItem& item : shown.items) {
    ConfigValues& config = configs[item.config];
    config.prefix = item.config;
    KindValues& kind = config.kinds[KindIndex(item.kind)];
    kind.kind = item.kind;
    kind.present = true;
    if (kind.items.size() < static_cast<std::size_t>(item.item.number)) kind.items.resize(item.item.number);
    kind.items[static_cast<std::size_t>(item.item.number - 1)] = item.item;
  }
  for (const FileRevision& file : shown.revisions) {
    const auto config = configs.find(file.config);
    if (config != configs.end() && !file.revision.empty())
      memory.Keep(file.file, file.revision, config->second);
  }
}

}  // namespace

int HttpStatus(RefusalKind kind) {
  switch (kind) {
    case RefusalKind::kNotFound:
      return 404;
    case RefusalKind::kRefused:
      return 422;
    case RefusalKind::kBusy:
    case RefusalKind::kNoTree:
      return 503;
    case RefusalKind::kInputOutput:  // as the command line's exit status 2
    case RefusalKind::kUsage:
      return 400;
  }
  return 500;
}

int HttpStatus(const Refusal& refusal) { return HttpStatus(refusal.kind); }

Reply Refused(const Refusal& refusal) {
  Reply reply;
  reply.status = kNotDone;  // not done
  reply.http = HttpStatus(refusal);
  // As the command line says them.
  for (const std::string& note : refusal.notes) reply.messages.push_back(Printable(note));
  reply.messages.push_back("typedata: " + Printable(refusal.message));
  return reply;
}

Reply TypesPage(const GlobalOptions& options, const ListQuery& query) {
  // Filtering as the engineer types asks for the list at every key: the
  // list of a tree that has not changed is taken from the last answer.
  static std::map<ListOrder, std::pair<std::string, Reply>> lists;
  const std::string stamp = ListStamp(options);
  auto& [lastStamp, last] = lists[query.order];
  if (stamp.empty() || stamp != lastStamp) {
    last = ListDocument(options, query.order);
    lastStamp = last.status == 0 ? stamp : "";
  }
  if (last.status != 0 || !last.document.is_object() || !last.document["types"].is_array()) return last;
  const Document& types = last.document["types"];
  const std::string wanted = Folded(query.filter);
  Document page = Document::array();
  std::size_t matched = 0;
  for (const Document& type : types) {
    const std::string shown =
        fmt::format("{:04d} {}", type["number"].get<int>(), type["name"].get_ref<const std::string&>());
    if (!wanted.empty() && Folded(shown).find(wanted) == std::string::npos) continue;
    if (matched >= query.offset && page.size() < query.limit) page.push_back(type);
    ++matched;
  }
  Reply list;
  list.messages = last.messages;
  list.document = Document::object();
  for (const auto& [member, value] : last.document.items()) {
    if (member != "types") list.document[member] = value;
  }
  list.document["types"] = std::move(page);
  list.document["total"] = types.size();
  list.document["matched"] = matched;
  list.document["offset"] = query.offset;
  return list;
}

Reply TypeDocument(const GlobalOptions& options, int number) {
  Session session;
  if (const std::optional<Refusal> refusal = OpenTyped(options, Access::kRead, number, &session))
    return Answered(*refusal);
  ops::ShowRequest request{number, "", ""};
  request.partial = true;
  const Result<ShowModel> shown = ops::Show(session, request);
  if (!shown.ok()) return Refused(shown.refusal());
  Remember(shown.model());
  Reply reply;
  reply.document = ToDocument(shown.model());
  return reply;
}

Reply CheckDocument(const GlobalOptions& options) {
  Session session;
  if (const std::optional<Refusal> refusal = OpenSession(options, Access::kRead, &session))
    return Refused(*refusal);
  const Result<CheckModel> checked = ops::Check(session, {}, nullptr);
  if (!checked.ok()) return Refused(checked.refusal());
  Reply reply;
  reply.document = ToDocument(checked.model());  // problems found are an answer too
  return reply;
}

Reply SetValues(const GlobalOptions& options, int number, const std::string& prefix,
                const std::vector<std::string>& assignments, const std::map<std::string, std::string>& seen) {
  Session session;
  if (const std::optional<Refusal> refusal = OpenTyped(options, Access::kChange, number, &session))
    return Answered(*refusal);
  // One entry in the tree's history, as a change from the command line makes.
  std::string words = fmt::format("set {} {}", number, prefix);
  for (const std::string& assignment : assignments) words += " " + assignment;
  const Result<std::unique_ptr<ops::ChangeRecording>> recording =
      ops::ChangeRecording::Begin(session, {options.user, words + " (in the browser)", options.reason, ""});
  if (!recording.ok()) return Refused(recording.refusal());
  ops::SetRequest request{number, prefix, assignments, options.strict};
  request.seen = seen;
  request.memory = &memory;
  const Result<ops::SetOutcome> set = ops::Set(session, request);
  const std::optional<Refusal> unrecorded = recording.model()->Finish();
  if (!set.ok()) return Refused(set.refusal());
  const ops::SetOutcome& outcome = set.model();
  Reply reply;
  if (outcome.conflict) {
    // Nothing was written: the page shows what changed and lets the
    // engineer save over it (with the revisions now) or read it anew.
    const std::vector<std::string> lines = ConflictLines(*outcome.conflict);
    for (const std::string& line : lines) reply.messages.push_back(line);
    reply.status = kNotDone;
    reply.http = 409;
    reply.document = ConflictDocument(number, outcome.model.name, lines.front(), *outcome.conflict);
    return reply;
  }
  if (unrecorded && !outcome.failure) return Refused(*unrecorded);
  // As the command line says them.
  for (const std::string& note : outcome.notes) reply.messages.push_back(Printable(note));
  if (!outcome.failure) {
    reply.document = ToDocument(outcome.model);
    return reply;
  }
  for (const std::string& error : outcome.failure->errors)
    reply.messages.push_back("typedata: " + Printable(error));
  reply.status = kNotDone;
  reply.http = HttpStatus(outcome.failure->kind);
  reply.document = FailedSaveDocument(ToDocument(outcome.model), outcome.failure->save);
  return reply;
}

}  // namespace tool::serve
