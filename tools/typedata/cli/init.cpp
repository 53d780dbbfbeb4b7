// typedata init.
#include "ops/init.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "ops/record_change.h"
#include "render/documents.h"

namespace tool {
namespace {

class Init final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_flag("--force", force_, "replace an existing catalogue");
    command.add_flag("--no-history", noHistory_, "keep no history of the tree's changes");
    command.add_flag("--require-reason", requireReason_,
                     "refuse every later change of the tree that gives no --reason");
  }

  int Prepare(const GlobalOptions& /*options*/, Output& out) override {
    if (requireReason_ && (noHistory_ || !ops::HistoryInThisBuild())) {
      out.Error(noHistory_ ? "--require-reason needs the history that --no-history leaves out"
                           : "history is not in this build of typedata; --require-reason cannot be kept");
      return kUsageError;
    }
    return kDone;
  }

  bool KeepsHistory() const override { return !noHistory_; }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    const Result<InitModel> made = ops::Init(*session, {force_ || options.force});
    if (!made.ok()) return Refuse(made.refusal(), out);
    if (const std::optional<Refusal> refusal =
            ops::KeepHistorySettings(*session, !noHistory_, requireReason_))
      return Refuse(*refusal, out);
    Present(options, made.model(), out);
    return kDone;
  }

 private:
  bool force_ = false;
  bool noHistory_ = false;
  bool requireReason_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeInit() { return std::make_unique<Init>(); }

}  // namespace tool
