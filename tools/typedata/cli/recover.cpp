// typedata recover.
#include <filesystem>

#include "cli/glue.h"
#include "core/open_file.h"
#include "ops/recover.h"
#include "render/documents.h"

namespace tool {

int RunRecover(const GlobalOptions& options, const std::string& namesFile, Output& out) {
  // The names file is the user's, named from where the command was given:
  // read before the session moves into the type folder.
  ops::RecoverRequest request{namesFile, {}};
  if (FileError failure; !namesFile.empty() && !ReadWholeFile(std::filesystem::absolute(namesFile).string(),
                                                              kNamesFile, &request.namesText, &failure)) {
    out.Error(namesFile + ": cannot be read: " + failure.reason);
    return kUsageError;
  }
  Session session;
  if (const int status = OpenSession(options, Access::kChange, &session, out); status != kDone) return status;
  const Result<RecoverModel> recovered = ops::Recover(session, request);
  if (!recovered.ok()) return Refuse(recovered.refusal(), out);
  Present(options, recovered.model(), out);
  return kDone;
}

}  // namespace tool
