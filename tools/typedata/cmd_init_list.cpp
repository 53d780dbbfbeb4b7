// typedata init, typedata list.
#include <fmt/core.h>

#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "documents.h"
#include "system_error.h"
#include "tree.h"
#include "typedata.h"

namespace tool {

std::string MissingCatalogue(const Session& session) {
  const std::size_t folders = TypeFolderNumbers(session.TypeFolder()).size();
  if (folders == 0) return session.CataloguePath() + ": no catalogue (run 'typedata init' first)";
  return fmt::format(
      "{}: the catalogue is missing, but {} type folder{} {}: 'typedata recover' writes a catalogue "
      "from them ('init' would hide them)",
      session.CataloguePath(), folders, folders == 1 ? "" : "s", folders == 1 ? "exists" : "exist");
}

int OpenTree(const GlobalOptions& options, Access access, Session* session, Output& out) {
  std::string error;
  if (!session->Open(options, access, /*makeTypeFolder=*/false, &error)) {
    out.Error(error);
    return session->busy() ? kRefused : kUsageError;
  }
  if (!session->CatalogueExists()) {
    out.Error(MissingCatalogue(*session));
    return kUsageError;
  }
  return kDone;
}

bool OpenTree(const GlobalOptions& options, Session* session, Output& out) {
  return OpenTree(options, Access::kRead, session, out) == kDone;
}

bool RefuseTypeNumber(const Session& session, int number, Output& out) {
  if (number < 0 || number > TD_TYPE_NO_MAX) {
    out.Error(fmt::format("type number {} is out of range (0 to {})", number, TD_TYPE_NO_MAX));
    return true;
  }
  if (!session.TypeExists(number)) {
    out.Error(fmt::format("no type {}", number));
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

int RunList(const GlobalOptions& options, bool sorted, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  Present(options, ListModel{sorted, session.Types(sorted)}, out);
  return kDone;
}

}  // namespace tool
