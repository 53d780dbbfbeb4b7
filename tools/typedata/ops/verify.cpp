#include "ops/verify.h"

#include "ops/past_values.h"

#ifdef TD_HAVE_HISTORY
#include "history/reading.h"
#endif

namespace tool::ops {

#ifdef TD_HAVE_HISTORY

namespace {

const char* KindName(history::FileChangeKind kind) {
  switch (kind) {
    case history::FileChangeKind::kAdded:
      return "added";
    case history::FileChangeKind::kDeleted:
      return "deleted";
    case history::FileChangeKind::kModified:
      break;
  }
  return "modified";
}

}  // namespace

Result<VerifyModel> Verify(const Session& session) {
  const Result<std::shared_ptr<history::History>> opened = history::History::OpenExisting(session.root());
  if (!opened.ok()) {
    if (opened.refusal().kind != RefusalKind::kNotFound) return opened.refusal();
    return Refusal::Of(RefusalKind::kRefused,
                       "this tree has no history yet (its first changing command begins it)");
  }
  const Result<history::Verification> checked = history::Verify(*opened.model());
  if (!checked.ok()) return checked.refusal();
  const history::Verification& found = checked.model();
  VerifyModel model;
  model.entries = found.entries;
  model.chainOk = found.chainOk;
  model.problems = found.problems;
  for (const history::FileDifference& difference : found.differences)
    model.differences.push_back({difference.path, KindName(difference.kind)});
  return model;
}

#else

Result<VerifyModel> Verify(const Session& /*session*/) {
  return Refusal::Of(RefusalKind::kUsage, kNoHistoryInBuild);
}

#endif

}  // namespace tool::ops
