// typedata add, typedata rename.
#include <fmt/core.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <utility>

#include "core/atomic_file.h"
#include "cli/commands.h"
#include "core/folded.h"
#include "core/journal.h"
#include "render/documents.h"
#include "core/names.h"
#include "core/system_error.h"
#include "core/tree.h"
#include "typedata.h"

namespace tool {
namespace {

// The shared configs that the target took from other types: each config
// bound to a name part whose file took new bytes (taken(prefix)) came from
// the first other type with that part.
template <typename Taken>
std::vector<SharedPull> PullsOf(const Session& session, const std::string& name, int target, Taken taken) {
  std::vector<SharedPull> pulls;
  const std::vector<std::string> parts = PartsOf(name);
  const std::vector<TypeInfo> types = session.Types();
  for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next) {
    const int p = config->partNo;
    if (p < 1 || p > static_cast<int>(parts.size()) || p > GetMMISystemStruc()->namePartCount) continue;
    if (!taken(std::string(config->name))) continue;
    for (const TypeInfo& type : types) {
      if (type.number == target || static_cast<int>(type.parts.size()) < p ||
          type.parts[p - 1] != parts[p - 1])
        continue;
      pulls.push_back({config->name, p, parts[p - 1], type.number, type.name});
      break;
    }
  }
  return pulls;
}

// A type folder's files found as the service finds them: letter case does
// not count, and a name that two files answer to is refused.
class SourceFolder {
 public:
  explicit SourceFolder(std::string folder) : folder_(std::move(folder)) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
      std::string name = entry.path().filename().string();
      names_[Folded(name)].push_back(std::move(name));
    }
  }
  // False when two files answer to name.
  bool PathOf(const std::string& name, std::string* path) const {
    const auto found = names_.find(Folded(name));
    if (found != names_.end() && found->second.size() > 1) return false;
    *path = folder_ + "/" + (found != names_.end() ? found->second.front() : name);
    return true;
  }

 private:
  std::string folder_;
  std::map<std::string, std::vector<std::string>> names_;
};

// The catalogue's name in the type folder, as the service finds it.
std::string CatalogueName(const Session& session) {
  return std::filesystem::path(session.CataloguePath()).filename().string();
}

// Puts back what a failed command changed: "done" when all is as it was,
// else what could not be put back.
std::string PutBack(Journal& journal, const std::string& done) {
  std::vector<std::string> putBack;
  std::string error;
  return journal.PutBack(&putBack, &error) ? done : error;
}

// The number for a new type: the one asked for, or the lowest that neither
// the catalogue lists nor a type folder holding files takes. -1 after
// saying why there is none.
int NumberForNewType(const Session& session, std::optional<int> number, Output& out) {
  if (number) {
    if (*number < 0 || *number > TD_TYPE_NO_MAX) {
      out.Error(fmt::format("type number {} is out of range (0 to {})", *number, TD_TYPE_NO_MAX));
      return -1;
    }
    if (session.TypeExists(*number)) {
      out.Error(fmt::format("type number {} is taken by '{}'", *number, session.TypeName(*number)));
      return -1;
    }
    if (HoldsAnything(session.TypeFolderOf(*number))) {
      out.Error(
          fmt::format("type folder {} holds files of a type that the catalogue does not list; "
                      "'typedata check' shows them, 'typedata recover' lists them",
                      session.TypeFolderOf(*number)));
      return -1;
    }
    return *number;
  }
  std::vector<bool> listed(TD_TYPE_NO_MAX + 1, false);
  for (const TypeInfo& type : session.Types()) listed[static_cast<std::size_t>(type.number)] = true;
  for (int n = 0; n <= TD_TYPE_NO_MAX; ++n) {
    if (listed[static_cast<std::size_t>(n)]) continue;
    if (!HoldsAnything(session.TypeFolderOf(n))) return n;
    out.Note(fmt::format("  {} holds files the catalogue does not list; number {} is passed over",
                         session.TypeFolderOf(n), n));
  }
  out.Error("all 10000 type numbers are taken");
  return -1;
}

}  // namespace

int RunAdd(const GlobalOptions& options, const std::string& name, std::optional<int> number,
           std::optional<int> from, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kChange, &session, out); status != kDone) return status;
  if (const std::string refusal = RefusalOfName(session, name, -1); !refusal.empty()) {
    out.Error(refusal);
    return kRefused;
  }
  const int typeNo = NumberForNewType(session, number, out);
  if (typeNo < 0) return kRefused;
  const int source = from ? *from : (session.current() >= 0 ? session.current() : 0);
  if (!session.TypeExists(source)) {  // said once, with what it was for
    out.Error(fmt::format("no type {} to start from", source));
    return kRefused;
  }

  // The files first, so that the catalogue never lists a type without them;
  // then the shared configs of the name's parts, before the new type is in
  // the list (where a search for its own parts would find itself).
  const std::string folder = session.TypeFolderOf(typeNo);
  std::error_code ignored;
  const bool madeFolder = !std::filesystem::exists(folder, ignored);
  std::vector<std::string> changes;
  std::vector<std::string> sourceNames;
  std::vector<CopyJob> copies;
  const SourceFolder sourceFolder(session.TypeFolderOf(source));
  const int configs = GetMMITypeInfo()->configCount;
  for (int p = 0; p < configs; ++p) {
    char sourceName[TD_DAT_NAME_SIZE];
    char targetName[TD_DAT_NAME_SIZE];
    if (MakeDatFileName(sourceName, source, p) != 0 || MakeDatFileName(targetName, typeNo, p) != 0) continue;
    std::string path;
    if (!sourceFolder.PathOf(sourceName, &path)) {
      out.Error(fmt::format("type {}: two files are named {} but for letter case; nothing was added", source,
                            sourceName));
      return kRefused;
    }
    sourceNames.emplace_back(sourceName);
    copies.push_back({path, folder + "/" + targetName});
    changes.push_back(fmt::format("{:04d}/{}", typeNo, targetName));
  }
  changes.push_back(CatalogueName(session));
  // Copies, pulls and the catalogue's new line: all of them or none.
  Journal journal(session.TypeFolder(), "add");
  std::string error;
  if (!journal.Begin(changes, &error)) {
    out.Error(error);
    return kUsageError;
  }
  std::size_t failed = 0;
  std::string reason;
  const bool folderReady = !madeFolder || std::filesystem::create_directory(folder, ignored);
  if (!folderReady) reason = ignored.message();
  // Every file is copied before any is flushed: the disk's flushes are paid
  // once for the type, not once a file.
  if (!folderReady || !CopyFilesTogether(copies, &failed, &reason)) {
    const std::string what = failed < sourceNames.size() ? sourceNames[failed] : "its files";
    out.Error(fmt::format("type {}: {} could not be copied to type {}: {}; {}", source, what, typeNo, reason,
                          PutBack(journal, "nothing was added")));
    return kUsageError;  // an input/output error
  }
  CopyTypeDataOfAlreadyExistPartName(source, typeNo, name.c_str());
  if (UpdateTypeFile(name.c_str(), typeNo, 1) != 0) {
    const std::string why = SystemReason();
    out.Error(session.CataloguePath() + " could not be updated: " + why + "; " +
              PutBack(journal, "nothing was added"));
    return kUsageError;
  }
  if (!journal.Finish(&error)) {
    out.Error(
        "the type was added, but its journal could not be removed, so the next command takes it away: " +
        error);
    return kUsageError;
  }
  AddModel model{typeNo, name, source, {}, {}};
  model.pulls = PullsOf(session, name, typeNo, [&](const std::string& prefix) {
    return ReadBytes(session.DataFile(typeNo, prefix)) != ReadBytes(session.DataFile(source, prefix));
  });
  if (std::string warning = WarningOfName(session, name, typeNo); !warning.empty()) {
    out.Warning(warning);
    model.warnings.push_back(warning);
  }
  Present(options, model, out);
  return kDone;
}

int RunRename(const GlobalOptions& options, int number, const std::string& name, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kChange, &session, out); status != kDone) return status;
  if (RefuseTypeNumber(session, number, out)) return kRefused;
  if (const std::string refusal = RefusalOfName(session, name, number); !refusal.empty()) {
    out.Error(refusal);
    return kRefused;
  }
  const std::string oldName = session.TypeName(number);
  // The type's own files (the shared configs it pulls) and the catalogue:
  // all of them or none.
  std::vector<std::string> changes;
  for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next)
    changes.push_back(fmt::format("{:04d}/{}{:04d}.DAT", number, config->name, number));
  changes.push_back(CatalogueName(session));
  Journal journal(session.TypeFolder(), "rename");
  std::string error;
  if (!journal.Begin(changes, &error)) {
    out.Error(error);
    return kUsageError;
  }
  // Pulled while the type still carries its old name, as the reference.
  CopyTypeDataOfAlreadyExistPartName(number, number, name.c_str());
  if (UpdateTypeFile(name.c_str(), number, 0) != 0) {
    const std::string reason = SystemReason();
    out.Error(session.CataloguePath() + " could not be updated: " + reason + "; " +
              PutBack(journal, "the type keeps its name and its files"));
    return kUsageError;
  }
  // What the type took: its own files that changed (the catalogue is no
  // shared config, and other types' files are not touched).
  const std::vector<std::string> changed = journal.ChangedFiles();
  if (!journal.Finish(&error)) {
    out.Error(
        "the type was renamed, but its journal could not be removed, so the next command puts the old "
        "name back: " +
        error);
    return kUsageError;
  }
  if (session.current() == number) session.SetCurrent(number);
  RenameModel model{number, oldName, name, {}, {}};
  model.pulls = PullsOf(session, name, number, [&](const std::string& prefix) {
    return std::find(changed.begin(), changed.end(),
                     fmt::format("{:04d}/{}{:04d}.DAT", number, prefix, number)) != changed.end();
  });
  if (std::string warning = WarningOfName(session, name, number); !warning.empty()) {
    out.Warning(warning);
    model.warnings.push_back(warning);
  }
  Present(options, model, out);
  return kDone;
}

}  // namespace tool
