#include "ops/import.h"

#include "core/import.h"
#include "core/open_file.h"
#include "core/open_tree.h"

namespace tool::ops {

std::optional<Refusal> ReadImportFile(const std::string& file, ImportRequest* request) {
  std::string text;
  if (FileError failure; !ReadWholeFile(file, kImportFile, &text, &failure))
    return Refusal::Of(RefusalKind::kUsage, file + ": cannot be read: " + failure.reason);
  std::string refusal;
  request->file = file;
  request->changes.clear();
  if (!ReadImport(text, file, &request->changes, &refusal))
    return Refusal::Of(RefusalKind::kUsage, refusal + "; nothing was changed");
  return std::nullopt;
}

Result<ImportOutcome> Import(Session& session, const ImportRequest& request) {
  if (std::optional<Refusal> refusal = RefuseTypeNumber(session, request.number)) return std::move(*refusal);
  TypeValues loaded;
  std::string error;
  if (!LoadType(request.number, &loaded, &error)) return Refusal::Of(RefusalKind::kRefused, error);
  ImportOutcome outcome{
      {request.number, loaded.name, request.file, static_cast<int>(request.changes.size()), {}, {}},
      {},
      std::nullopt};
  std::vector<Change> changes = request.changes;
  if (std::optional<Refusal> refusal = ReviewAndApply(request.strict, loaded, changes, request.file + ": ",
                                                      true, &outcome.model.changed, &outcome.notes))
    return std::move(*refusal);
  if (!outcome.model.changed.empty())
    outcome.failure = SaveAndCollect(session, request.number, "import", &outcome.model.saved);
  return outcome;
}

}  // namespace tool::ops
