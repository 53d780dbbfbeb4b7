// typedata sharing.
#include "ops/sharing.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {
namespace {

class Sharing final : public Command {
 public:
  void Define(CLI::App& /*command*/) override {}

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    Present(options, ops::Sharing(*session, {}), out);
    return kDone;
  }
};

}  // namespace

std::unique_ptr<Command> MakeSharing() { return std::make_unique<Sharing>(); }

}  // namespace tool
