// typedata rename.
#include "ops/rename.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {
namespace {

class Rename final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("N", number_, "type number")->required();
    command.add_option("NAME", name_, "the new name")->required();
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    const Result<RenameModel> renamed = ops::Rename(*session, {number_, name_});
    if (!renamed.ok()) return Refuse(renamed.refusal(), out);
    for (const std::string& warning : renamed.model().warnings) out.Warning(warning);
    Present(options, renamed.model(), out);
    return kDone;
  }

 private:
  int number_ = 0;
  std::string name_;
};

}  // namespace

std::unique_ptr<Command> MakeRename() { return std::make_unique<Rename>(); }

}  // namespace tool
