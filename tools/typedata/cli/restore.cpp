// typedata restore.
#include "ops/restore.h"
#include "cli/command.h"
#include "cli/glue.h"
#include "ops/past_values.h"
#include "ops/record_change.h"
#include "render/documents.h"

namespace tool {
namespace {

class Restore final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("N", number_, "type number")->required();
    command.add_option("--at", at_, "the entry: a revision, a release's name, or a date and time (UTC)")
        ->required()
        ->option_text("WHEN");
    command.add_option("--config", config_, "only this config's values (its prefix)")->option_text("C");
    command.add_option("--item", item_, "only this item of the config (e.g. D:3)")->option_text("K:N");
  }

  int Prepare(const GlobalOptions& options, Output& out) override {
    if (!ops::HistoryInThisBuild()) {
      out.Error(ops::kNoHistoryInBuild);
      return kUsageError;
    }
    // Putting values back is always said why, whatever the tree requires.
    if (options.reason.empty()) {
      out.Error("restore needs --reason WHY; nothing was changed");
      return kUsageError;
    }
    if (!item_.empty() && config_.empty()) {
      out.Error("--item needs --config: the item of which config");
      return kUsageError;
    }
    return kDone;
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    const Result<ops::RestoreOutcome> restored =
        ops::Restore(*session, {number_, at_, config_, item_, options.strict});
    if (!restored.ok()) return Refuse(restored.refusal(), out);
    const ops::RestoreOutcome& outcome = restored.model();
    return PresentSaved(options, outcome, out);
  }

 private:
  int number_ = 0;
  std::string at_;
  std::string config_;
  std::string item_;
};

}  // namespace

std::unique_ptr<Command> MakeRestore() { return std::make_unique<Restore>(); }

}  // namespace tool
