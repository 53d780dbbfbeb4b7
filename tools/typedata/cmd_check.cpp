// typedata check: the whole type tree against the machine.
#include <fmt/core.h>

#include <nlohmann/json.hpp>

#include "check.h"
#include "commands.h"
#include "documents.h"

namespace tool {

int RunCheck(const GlobalOptions& options, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  const std::vector<Problem> problems = CheckTree(session, &out);
  CheckModel model;
  for (const Problem& p : problems) model.problems.push_back({p.file, p.line, p.message});
  Present(options, model, out);
  return problems.empty() ? kDone : kRefused;
}

}  // namespace tool
