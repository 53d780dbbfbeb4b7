// typedata history verify.
#include "cli/command.h"
#include "cli/commands.h"
#include "ops/past_values.h"
#include "ops/record_change.h"
#include "ops/verify.h"
#include "render/documents.h"

namespace tool {
namespace {

class History final : public Command {
 public:
  void Define(CLI::App& command) override {
    command
        .add_option("ACTION", action_,
                    "verify: check the chain of entries as git fsck does, and that the tree equals the last "
                    "entry (exit 1 when not)")
        ->required()
        ->check(CLI::IsMember({"verify"}));
  }

  int Prepare(const GlobalOptions& /*options*/, Output& out) override {
    if (ops::HistoryInThisBuild()) return kDone;
    out.Error(ops::kNoHistoryInBuild);
    return kUsageError;
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    const Result<VerifyModel> verified = ops::Verify(*session);
    if (!verified.ok()) return Refuse(verified.refusal(), out);
    Present(options, verified.model(), out);
    return verified.model().ok() ? kDone : kRefused;
  }

 private:
  std::string action_;
};

}  // namespace

std::unique_ptr<Command> MakeHistory() { return std::make_unique<History>(); }

}  // namespace tool
