// typedata release.
#include "ops/release.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "ops/past_values.h"
#include "ops/record_change.h"
#include "render/documents.h"

namespace tool {
namespace {

class Release final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("NAME", name_, "the release's name (as a git tag takes it: v1, 2026-12-line3)")
        ->required();
  }

  int Prepare(const GlobalOptions& /*options*/, Output& out) override {
    if (ops::HistoryInThisBuild()) return kDone;
    out.Error(ops::kNoHistoryInBuild);
    return kUsageError;
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    const Result<ReleaseModel> made = ops::Release(*session, {name_, options.user, options.reason});
    if (!made.ok()) return Refuse(made.refusal(), out);
    Present(options, made.model(), out);
    return kDone;
  }

 private:
  std::string name_;
};

}  // namespace

std::unique_ptr<Command> MakeRelease() { return std::make_unique<Release>(); }

}  // namespace tool
