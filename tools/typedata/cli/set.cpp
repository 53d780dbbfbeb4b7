// typedata set.
#include "ops/set.h"
#include "cli/glue.h"
#include "render/documents.h"

namespace tool {

int SayFailure(const GlobalOptions& options, const ops::SaveFailure& failure, const Document& document,
               Output& out) {
  for (const std::string& error : failure.errors) out.Error(error);
  if (options.json) out.Document(FailedSaveDocument(document, failure.save));
  return ExitStatus(failure.kind);
}

int RunSet(const GlobalOptions& options, int number, const std::string& prefix,
           const std::vector<std::string>& assignments, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kChange, &session, out); status != kDone) return status;
  const Result<ops::SetOutcome> set = ops::Set(session, {number, prefix, assignments, options.strict});
  if (!set.ok()) return Refuse(set.refusal(), out);
  const ops::SetOutcome& outcome = set.model();
  for (const std::string& note : outcome.notes) out.Note(note);
  if (outcome.failure) return SayFailure(options, *outcome.failure, ToDocument(outcome.model), out);
  Present(options, outcome.model, out);
  return kDone;
}

}  // namespace tool
