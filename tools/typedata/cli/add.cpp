// typedata add.
#include "ops/add.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {

int RunAdd(const GlobalOptions& options, const std::string& name, std::optional<int> number,
           std::optional<int> from, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kChange, &session, out); status != kDone) return status;
  const Result<AddModel> added = ops::Add(session, {name, number, from});
  if (!added.ok()) return Refuse(added.refusal(), out);
  const AddModel& model = added.model();
  for (const std::string& note : model.passedOver) out.Note(note);
  for (const std::string& warning : model.warnings) out.Warning(warning);
  Present(options, model, out);
  return kDone;
}

}  // namespace tool
