#include "ops/rename.h"

#include <fmt/core.h>

#include <algorithm>

#include "core/journal.h"
#include "core/names.h"
#include "core/open_tree.h"
#include "core/system_error.h"
#include "ops/name_change.h"
#include "typedata.h"

namespace tool::ops {

Result<RenameModel> Rename(Session& session, const RenameRequest& request) {
  const int number = request.number;
  const std::string& name = request.name;
  if (std::optional<Refusal> refusal = RefuseTypeNumber(session, number)) return std::move(*refusal);
  if (const std::string refusal = RefusalOfName(session, name, number); !refusal.empty())
    return Refusal::Of(RefusalKind::kRefused, refusal);
  const std::string oldName = session.TypeName(number);
  // The type's own files (the shared configs it pulls) and the catalogue:
  // all of them or none.
  std::vector<std::string> changes;
  for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next)
    changes.push_back(fmt::format("{:04d}/{}{:04d}.DAT", number, config->name, number));
  changes.push_back(CatalogueName(session));
  Journal journal(session.TypeFolder(), "rename");
  std::string error;
  if (!journal.Begin(changes, &error)) return Refusal::Of(RefusalKind::kInputOutput, error);
  // Pulled while the type still carries its old name, as the reference.
  CopyTypeDataOfAlreadyExistPartName(number, number, name.c_str());
  if (UpdateTypeFile(name.c_str(), number, 0) != 0) {
    const std::string reason = SystemReason();
    return Refusal::Of(RefusalKind::kInputOutput,
                       session.CataloguePath() + " could not be updated: " + reason + "; " +
                           PutBack(journal, "the type keeps its name and its files"));
  }
  // What the type took: its own files that changed (the catalogue is no
  // shared config, and other types' files are not touched).
  const std::vector<std::string> changed = journal.ChangedFiles();
  if (!journal.Finish(&error)) {
    return Refusal::Of(RefusalKind::kInputOutput,
                       "the type was renamed, but its journal could not be removed, so the next command puts "
                       "the old name back: " +
                           error);
  }
  if (session.current() == number) session.SetCurrent(number);
  RenameModel model{number, oldName, name, {}, {}};
  model.pulls = PullsOf(session, name, number, [&](const std::string& prefix) {
    return std::find(changed.begin(), changed.end(),
                     fmt::format("{:04d}/{}{:04d}.DAT", number, prefix, number)) != changed.end();
  });
  if (std::string warning = WarningOfName(session, name, number); !warning.empty())
    model.warnings.push_back(warning);
  return model;
}

}  // namespace tool::ops
