#include "ops/add.h"

#include <fmt/core.h>

#include <filesystem>
#include <map>
#include <utility>

#include "core/atomic_file.h"
#include "core/folded.h"
#include "core/journal.h"
#include "core/names.h"
#include "core/system_error.h"
#include "core/tree.h"
#include "ops/name_change.h"
#include "typedata.h"

namespace tool::ops {
namespace {

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

// The number for a new type: the one asked for, or the lowest that neither
// the catalogue lists nor a type folder holding files takes (passedOver
// gets the numbers passed over); the refusal when there is none.
std::optional<Refusal> NumberForNewType(const Session& session, std::optional<int> number, int* typeNo,
                                        std::vector<std::string>* passedOver) {
  if (number) {
    if (*number < 0 || *number > TD_TYPE_NO_MAX) {
      return Refusal::Of(RefusalKind::kRefused,
                         fmt::format("type number {} is out of range (0 to {})", *number, TD_TYPE_NO_MAX));
    }
    if (session.TypeExists(*number)) {
      return Refusal::Of(RefusalKind::kRefused,
                         fmt::format("type number {} is taken by '{}'", *number, session.TypeName(*number)));
    }
    if (HoldsAnything(session.TypeFolderOf(*number))) {
      return Refusal::Of(RefusalKind::kRefused,
                         fmt::format("type folder {} holds files of a type that the catalogue does not list; "
                                     "'typedata check' shows them, 'typedata recover' lists them",
                                     session.TypeFolderOf(*number)));
    }
    *typeNo = *number;
    return std::nullopt;
  }
  std::vector<bool> listed(TD_TYPE_NO_MAX + 1, false);
  for (const TypeInfo& type : session.Types()) listed[static_cast<std::size_t>(type.number)] = true;
  for (int n = 0; n <= TD_TYPE_NO_MAX; ++n) {
    if (listed[static_cast<std::size_t>(n)]) continue;
    if (!HoldsAnything(session.TypeFolderOf(n))) {
      *typeNo = n;
      return std::nullopt;
    }
    passedOver->push_back(
        fmt::format("  {} holds files the catalogue does not list; number {} is passed over",
                    session.TypeFolderOf(n), n));
  }
  return Refusal::Of(RefusalKind::kRefused, "all 10000 type numbers are taken");
}

}  // namespace

Result<AddModel> Add(Session& session, const AddRequest& request) {
  const std::string& name = request.name;
  if (const std::string refusal = RefusalOfName(session, name, -1); !refusal.empty())
    return Refusal::Of(RefusalKind::kRefused, refusal);
  std::vector<std::string> passedOver;
  // Each refusal from here on comes after the numbers passed over.
  const auto refuse = [&](RefusalKind kind, std::string message) {
    Refusal refusal = Refusal::Of(kind, std::move(message));
    refusal.notes = passedOver;
    return refusal;
  };
  int typeNo = -1;
  if (std::optional<Refusal> refusal = NumberForNewType(session, request.number, &typeNo, &passedOver)) {
    refusal->notes = passedOver;
    return std::move(*refusal);
  }
  const int source = request.from ? *request.from : (session.current() >= 0 ? session.current() : 0);
  if (!session.TypeExists(source))  // said once, with what it was for
    return refuse(RefusalKind::kRefused, fmt::format("no type {} to start from", source));

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
      return refuse(RefusalKind::kRefused,
                    fmt::format("type {}: two files are named {} but for letter case; nothing was added",
                                source, sourceName));
    }
    sourceNames.emplace_back(sourceName);
    copies.push_back({path, folder + "/" + targetName});
    changes.push_back(fmt::format("{:04d}/{}", typeNo, targetName));
  }
  changes.push_back(CatalogueName(session));
  // Copies, pulls and the catalogue's new line: all of them or none.
  Journal journal(session.TypeFolder(), "add");
  std::string error;
  if (!journal.Begin(changes, &error)) return refuse(RefusalKind::kInputOutput, error);
  std::size_t failed = 0;
  std::string reason;
  const bool folderReady = !madeFolder || std::filesystem::create_directory(folder, ignored);
  if (!folderReady) reason = ignored.message();
  // Every file is copied before any is flushed: the disk's flushes are paid
  // once for the type, not once a file.
  if (!folderReady || !CopyFilesTogether(copies, &failed, &reason)) {
    const std::string what = failed < sourceNames.size() ? sourceNames[failed] : "its files";
    return refuse(RefusalKind::kInputOutput,
                  fmt::format("type {}: {} could not be copied to type {}: {}; {}", source, what, typeNo,
                              reason, PutBack(journal, "nothing was added")));
  }
  CopyTypeDataOfAlreadyExistPartName(source, typeNo, name.c_str());
  if (UpdateTypeFile(name.c_str(), typeNo, 1) != 0) {
    const std::string why = SystemReason();
    return refuse(RefusalKind::kInputOutput, session.CataloguePath() + " could not be updated: " + why +
                                                 "; " + PutBack(journal, "nothing was added"));
  }
  if (!journal.Finish(&error)) {
    return refuse(
        RefusalKind::kInputOutput,
        "the type was added, but its journal could not be removed, so the next command takes it away: " +
            error);
  }
  AddModel model{typeNo, name, source, {}, {}, passedOver};
  model.pulls = PullsOf(session, name, typeNo, [&](const std::string& prefix) {
    return ReadBytes(session.DataFile(typeNo, prefix)) != ReadBytes(session.DataFile(source, prefix));
  });
  if (std::string warning = WarningOfName(session, name, typeNo); !warning.empty())
    model.warnings.push_back(warning);
  return model;
}

}  // namespace tool::ops
