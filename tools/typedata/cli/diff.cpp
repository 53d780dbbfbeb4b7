// typedata diff.
#include "ops/diff.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {
namespace {

class Diff final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("N", first_, "type number")->required();
    command.add_option("M", second_, "type number")->required();
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    const Result<DiffModel> diffed = ops::Diff(*session, {first_, second_});
    if (!diffed.ok()) return Refuse(diffed.refusal(), out);
    Present(options, diffed.model(), out);
    return diffed.model().differences.empty() ? kDone : kRefused;
  }

 private:
  int first_ = 0;
  int second_ = 0;
};

}  // namespace

std::unique_ptr<Command> MakeDiff() { return std::make_unique<Diff>(); }

}  // namespace tool
