// typedata init.
#include "ops/init.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {
namespace {

class Init final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_flag("--force", force_, "replace an existing catalogue");
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    const Result<InitModel> made = ops::Init(*session, {force_ || options.force});
    if (!made.ok()) return Refuse(made.refusal(), out);
    Present(options, made.model(), out);
    return kDone;
  }

 private:
  bool force_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeInit() { return std::make_unique<Init>(); }

}  // namespace tool
