// typedata import.
#include "ops/import.h"
#include "cli/glue.h"
#include "render/documents.h"

namespace tool {

int RunImport(const GlobalOptions& options, int number, const std::string& file, Output& out) {
  // The file is named from where the command was given, and is refused
  // before the tree is opened.
  ops::ImportRequest request{number, file, {}, options.strict};
  if (const std::optional<Refusal> refusal = ops::ReadImportFile(file, &request))
    return Refuse(*refusal, out);
  Session session;
  if (const int status = OpenTree(options, Access::kChange, &session, out); status != kDone) return status;
  const Result<ops::ImportOutcome> imported = ops::Import(session, request);
  if (!imported.ok()) return Refuse(imported.refusal(), out);
  const ops::ImportOutcome& outcome = imported.model();
  for (const std::string& note : outcome.notes) out.Note(note);
  if (outcome.failure) return SayFailure(options, *outcome.failure, ToDocument(outcome.model), out);
  Present(options, outcome.model, out);
  return kDone;
}

}  // namespace tool
