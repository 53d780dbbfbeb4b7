// typedata check: the whole type tree against the machine.
#include "cli/commands.h"
#include "core/open_tree.h"
#include "render/documents.h"
#include "ops/check.h"

namespace tool {
namespace {

// Progress as a bar on the messages stream.
class ProgressBar : public Progress {
 public:
  explicit ProgressBar(Output& out) : out_(out) {}
  void Step(const std::string& label, long done, long total) override { out_.Progress(label, done, total); }
  void End() override { out_.EndProgress(); }

 private:
  Output& out_;
};

}  // namespace

int RunCheck(const GlobalOptions& options, Output& out) {
  Session session;
  if (const std::optional<Refusal> refusal = OpenSession(options, Access::kRead, &session))
    return Refuse(*refusal, out);
  ProgressBar bar(out);
  const Result<CheckModel> checked = ops::Check(session, {}, &bar);
  if (!checked.ok()) return Refuse(checked.refusal(), out);
  Present(options, checked.model(), out);
  return checked.model().problems.empty() ? kDone : kRefused;
}

}  // namespace tool
