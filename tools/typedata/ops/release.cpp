#include "ops/release.h"

#include "ops/past_values.h"

#ifdef TD_HAVE_HISTORY
#include "history/reading.h"
#include "history/who.h"
#endif

namespace tool::ops {

#ifdef TD_HAVE_HISTORY

Result<ReleaseModel> Release(const Session& session, const ReleaseRequest& request) {
  const Result<std::shared_ptr<history::History>> opened = history::History::OpenExisting(session.root());
  if (!opened.ok()) {
    if (opened.refusal().kind != RefusalKind::kNotFound) return opened.refusal();
    return Refusal::Of(
        RefusalKind::kRefused,
        "this tree keeps no history (made with init --no-history): there is nothing to release");
  }
  const history::History& kept = *opened.model();
  ReleaseModel model;
  model.name = request.name;
  model.user = history::CurrentUser(request.user);
  model.station = history::StationName();
  model.reason = request.reason;
  const Result<std::string> tag = history::MakeRelease(
      kept, request.name, {model.user, model.station, "release " + request.name, request.reason, ""});
  if (!tag.ok()) return tag.refusal();
  model.tag = tag.model();
  const Result<std::string> entry = history::ResolveWhen(kept, request.name);
  if (!entry.ok()) return entry.refusal();
  model.revision = entry.model();
  return model;
}

#else

Result<ReleaseModel> Release(const Session& /*session*/, const ReleaseRequest& /*request*/) {
  return Refusal::Of(RefusalKind::kUsage, kNoHistoryInBuild);
}

#endif

}  // namespace tool::ops
