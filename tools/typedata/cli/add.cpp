// typedata add.
#include "ops/add.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {
namespace {

class Add final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("NAME", name_, "type name, parts separated by '+'")->required();
    command.add_option("--number", number_, "the type number (default: the lowest free one)")
        ->option_text("NUMBER");
    command.add_option("--from", from_, "the type to copy (default: the current type)")->option_text("N");
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    const Result<AddModel> added = ops::Add(*session, {name_, number_, from_});
    if (!added.ok()) return Refuse(added.refusal(), out);
    const AddModel& model = added.model();
    for (const std::string& note : model.passedOver) out.Note(note);
    for (const std::string& warning : model.warnings) out.Warning(warning);
    Present(options, model, out);
    return kDone;
  }

 private:
  std::string name_;
  std::optional<int> number_;
  std::optional<int> from_;
};

}  // namespace

std::unique_ptr<Command> MakeAdd() { return std::make_unique<Add>(); }

}  // namespace tool
