// typedata check: the whole type tree against the machine.
#include <fmt/core.h>

#include <nlohmann/json.hpp>

#include "check.h"
#include "check_interrupted.h"
#include "commands.h"
#include "documents.h"

namespace tool {

int RunCheck(const GlobalOptions& options, Output& out) {
  Session session;
  std::string error;
  if (!session.Open(options, Access::kRead, /*makeTypeFolder=*/false, &error)) {
    out.Error(error);
    return session.busy() ? kRefused : kUsageError;
  }
  // What a command cut short left; with the catalogue lost, all there is.
  std::vector<Problem> problems = CheckInterrupted(session);
  if (!session.CatalogueExists() && problems.empty()) {
    out.Error(session.CataloguePath() + ": no catalogue (run 'typedata init' first)");
    return kUsageError;
  }
  if (session.CatalogueExists()) {
    const std::vector<Problem> found = CheckTree(session, &out);
    problems.insert(problems.end(), found.begin(), found.end());
  }
  CheckModel model;
  for (const Problem& p : problems) model.problems.push_back({p.file, p.line, p.message});
  Present(options, model, out);
  return problems.empty() ? kDone : kRefused;
}

}  // namespace tool
