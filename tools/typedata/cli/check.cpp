// typedata check: the whole type tree against the machine.
#include "ops/check.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {
namespace {

class Check final : public Command {
 public:
  void Define(CLI::App& /*command*/) override {}

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    const std::unique_ptr<Progress> progress = MakeProgress(options, out);
    const Result<CheckModel> checked = ops::Check(*session, {}, progress.get());
    if (!checked.ok()) return Refuse(checked.refusal(), out);
    Present(options, checked.model(), out);
    return checked.model().problems.empty() ? kDone : kRefused;
  }
};

}  // namespace

std::unique_ptr<Command> MakeCheck() { return std::make_unique<Check>(); }

}  // namespace tool
