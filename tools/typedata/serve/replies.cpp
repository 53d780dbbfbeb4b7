// The tool's own documents: each command runs as on the command line with
// --json, its data and messages caught in memory, so the pages get exactly
// the documents the command line prints.
#include "replies.h"

#include <fmt/core.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

#include <sys/stat.h>

#include "commands.h"
#include "core/open_tree.h"
#include "display_width.h"
#include "ops/check.h"
#include "ops/list.h"
#include "ops/show.h"

namespace tool::serve {
namespace {

// A stream in memory that a command can write to as to stdout.
class MemoryFile {
 public:
  MemoryFile() : file_(open_memstream(&buffer_, &size_)) {}
  ~MemoryFile() {
    if (file_) std::fclose(file_);
    std::free(buffer_);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  std::FILE* file() const { return file_; }
  std::string Text() {
    std::fflush(file_);
    return std::string(buffer_ ? buffer_ : "", size_);
  }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

template <typename Command>
Reply Run(const GlobalOptions& options, Command command) {
  MemoryFile data;
  MemoryFile messages;
  Reply reply;
  if (!data.file() || !messages.file()) {
    reply.status = kUsageError;
    reply.messages.push_back("out of memory");
    return reply;
  }
  GlobalOptions json = options;
  json.json = true;
  Output out(data.file(), messages.file());
  reply.status = command(json, out);
  std::istringstream lines(messages.Text());
  for (std::string line; std::getline(lines, line);) {
    const std::size_t start = line.find_first_not_of(" \r");
    // Progress bars draw with carriage returns; only what ends a line counts.
    if (start != std::string::npos && line.find('\r', start) == std::string::npos)
      reply.messages.push_back(line);
  }
  const std::string text = data.Text();
  if (!text.empty()) reply.document = Document::parse(text, nullptr, /*allow_exceptions=*/false);
  if (reply.document.is_discarded()) reply.document = nullptr;
  return reply;
}

// A session on the tree for a request about type number: refused with
// 503 when the tree cannot be opened, 404 when it has no such type.
std::optional<Refusal> OpenTyped(const GlobalOptions& options, Access access, int number, Session* session) {
  if (std::optional<Refusal> refusal = OpenSession(options, access, session)) return refusal;
  return RefuseTypeNumber(*session, number);
}

// A refusal before the work began: its message is the answer's error.
Reply Answered(const Refusal& refusal) {
  Reply reply;
  reply.status = 1;
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

std::string Folded(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
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

}  // namespace

int HttpStatus(const Refusal& refusal) {
  switch (refusal.kind) {
    case RefusalKind::kNotFound:
      return 404;
    case RefusalKind::kRefused:
      return 422;
    case RefusalKind::kBusy:
    case RefusalKind::kInputOutput:
      return 503;
    case RefusalKind::kUsage:
      return 400;
  }
  return 500;
}

Reply Refused(const Refusal& refusal) {
  Reply reply;
  reply.status = 1;  // not done
  reply.http = HttpStatus(refusal);
  reply.messages.push_back("typedata: " + Printable(refusal.message));  // as the command line says it
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
  const Result<ShowModel> shown = ops::Show(session, {number, "", ""});
  if (!shown.ok()) return Refused(shown.refusal());
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
                const std::vector<std::string>& assignments) {
  return Run(options, [&](const GlobalOptions& o, Output& out) {
    return RunSet(o, number, prefix, assignments, out);
  });
}

int FindType(const GlobalOptions& options, int number, std::string* error) {
  Session session;
  if (!session.Open(options, /*makeTypeFolder=*/false, error)) return 503;
  if (session.TypeExists(number)) return 200;
  *error = fmt::format("no type {}", number);
  return 404;
}

}  // namespace tool::serve
