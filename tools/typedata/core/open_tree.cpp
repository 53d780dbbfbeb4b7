#include "core/open_tree.h"

#include <fmt/core.h>

#include "core/tree.h"
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

std::optional<Refusal> OpenSession(const GlobalOptions& options, Access access, Session* session,
                                   bool makeTypeFolder) {
  std::string error;
  if (!session->Open(options, access, makeTypeFolder, &error))
    return Refusal::Of(session->busy() ? RefusalKind::kBusy : RefusalKind::kNoTree, error);
  return std::nullopt;
}

std::optional<Refusal> OpenTree(const GlobalOptions& options, Access access, Session* session) {
  if (std::optional<Refusal> refusal = OpenSession(options, access, session)) return refusal;
  if (!session->CatalogueExists()) return Refusal::Of(RefusalKind::kUsage, MissingCatalogue(*session));
  return std::nullopt;
}

std::optional<Refusal> RefuseTypeNumber(const Session& session, int number) {
  if (number < 0 || number > TD_TYPE_NO_MAX)
    return Refusal::Of(RefusalKind::kRefused,
                       fmt::format("type number {} is out of range (0 to {})", number, TD_TYPE_NO_MAX));
  if (!session.TypeExists(number))
    return Refusal::Of(RefusalKind::kNotFound, fmt::format("no type {}", number));
  return std::nullopt;
}

}  // namespace tool
