// typedata init, typedata list.
#include <fmt/core.h>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "core/open_tree.h"
#include "render/documents.h"
#include "ops/list.h"
#include "core/system_error.h"
#include "core/tree.h"
#include "typedata.h"

namespace tool {

int ExitStatus(RefusalKind kind) {
  switch (kind) {
    case RefusalKind::kNotFound:
    case RefusalKind::kRefused:
    case RefusalKind::kBusy:
      return kRefused;
    case RefusalKind::kNoTree:
    case RefusalKind::kInputOutput:
    case RefusalKind::kUsage:
      return kUsageError;
  }
  return kUsageError;
}

int ExitStatus(const Refusal& refusal) { return ExitStatus(refusal.kind); }

int Refuse(const Refusal& refusal, Output& out) {
  for (const std::string& note : refusal.notes) out.Note(note);
  out.Error(refusal.message);
  return ExitStatus(refusal);
}

int OpenTree(const GlobalOptions& options, Access access, Session* session, Output& out) {
  if (const std::optional<Refusal> refusal = OpenTree(options, access, session)) return Refuse(*refusal, out);
  return kDone;
}

bool OpenTree(const GlobalOptions& options, Session* session, Output& out) {
  return OpenTree(options, Access::kRead, session, out) == kDone;
}

bool RefuseTypeNumber(const Session& session, int number, Output& out) {
  if (const std::optional<Refusal> refusal = RefuseTypeNumber(session, number)) {
    out.Error(refusal->message);
    return true;
  }
  return false;
}

int RunInit(const GlobalOptions& options, bool force, Output& out) {
  Session session;
  std::string error;
  if (!session.Open(options, Access::kChange, /*makeTypeFolder=*/true, &error)) {
    out.Error(error);
    return session.busy() ? kRefused : kUsageError;
  }
  force = force || options.force;
  if (session.CatalogueExists() && !force) {
    out.Error(session.CataloguePath() + " exists; 'typedata init --force' replaces it with a new catalogue");
    return kRefused;
  }
  if (const std::vector<int> folders = TypeFolderNumbers(session.TypeFolder()); !folders.empty() && !force) {
    out.Error(
        fmt::format("{} holds {} type folder{} ({:04d} first) and no catalogue; 'typedata recover' "
                    "writes a catalogue from them, 'typedata init --force' starts anew beside them",
                    session.TypeFolder(), folders.size(), folders.size() == 1 ? "" : "s", folders[0]));
    return kRefused;
  }
  const TreeFiles before = ReadTree(session.TypeFolderOf(0));
  session.MakeCurrentInHost(0);
  if (CreateSetTypeData() != 0) {
    out.Error("the new catalogue could not be written under " + session.TypeFolder() + ": " + SystemReason());
    return kUsageError;  // an input/output error
  }
  if (!session.RememberMachine(&error)) {
    out.Error(error);
    return kRefused;
  }
  session.SetCurrent(0);
  InitModel model{session.TypeFolder(), GetMMITypeInfo()->configCount, {"mmi.typ"}};
  for (const std::string& path : ChangedFiles(before, ReadTree(session.TypeFolderOf(0))))
    model.written.push_back("0000/" + path);
  Present(options, model, out);
  return kDone;
}

int RunList(const GlobalOptions& options, ListOrder order, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  const Result<ListModel> list = ops::List(session, {order});
  if (!list.ok()) return Refuse(list.refusal(), out);
  if (list.model().types.empty()) out.Note(session.CataloguePath() + " lists no types");
  Present(options, list.model(), out);
  return kDone;
}

}  // namespace tool
