#include "ops/check.h"

#include "check/check.h"
#include "check/interrupted.h"

namespace tool::ops {

Result<CheckModel> Check(const Session& session, const CheckRequest& /*request*/, Progress* progress) {
  // What a command cut short left; with the catalogue lost, all there is.
  std::vector<Problem> problems = CheckInterrupted(session);
  if (!session.CatalogueExists() && problems.empty())
    return Refusal::Of(RefusalKind::kUsage,
                       session.CataloguePath() + ": no catalogue (run 'typedata init' first)");
  if (session.CatalogueExists()) {
    const std::vector<Problem> found = CheckTree(session, progress);
    problems.insert(problems.end(), found.begin(), found.end());
  }
  CheckModel model;
  for (const Problem& p : problems) model.problems.push_back({p.file, p.line, p.message});
  return model;
}

}  // namespace tool::ops
