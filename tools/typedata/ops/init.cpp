#include "ops/init.h"

#include <fmt/core.h>

#include "core/system_error.h"
#include "core/tree.h"
#include "typedata.h"

namespace tool::ops {

Result<InitModel> Init(Session& session, const InitRequest& request) {
  if (session.CatalogueExists() && !request.force) {
    return Refusal::Of(RefusalKind::kRefused, session.CataloguePath() +
                                                  " exists; 'typedata init --force' replaces it with a new "
                                                  "catalogue");
  }
  if (const std::vector<int> folders = TypeFolderNumbers(session.TypeFolder());
      !folders.empty() && !request.force) {
    return Refusal::Of(
        RefusalKind::kRefused,
        fmt::format("{} holds {} type folder{} ({:04d} first) and no catalogue; 'typedata recover' "
                    "writes a catalogue from them, 'typedata init --force' starts anew beside them",
                    session.TypeFolder(), folders.size(), folders.size() == 1 ? "" : "s", folders[0]));
  }
  const TreeFiles before = ReadTree(session.TypeFolderOf(0));
  session.MakeCurrentInHost(0);
  if (CreateSetTypeData() != 0) {
    return Refusal::Of(RefusalKind::kInputOutput, "the new catalogue could not be written under " +
                                                      session.TypeFolder() + ": " + SystemReason());
  }
  std::string error;
  if (!session.RememberMachine(&error)) return Refusal::Of(RefusalKind::kRefused, error);
  session.SetCurrent(0);
  InitModel model{session.TypeFolder(), GetMMITypeInfo()->configCount, {"mmi.typ"}};
  for (const std::string& path : ChangedFiles(before, ReadTree(session.TypeFolderOf(0))))
    model.written.push_back("0000/" + path);
  return model;
}

}  // namespace tool::ops
