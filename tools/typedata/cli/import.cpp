// typedata import.
#include "ops/import.h"
#include "cli/command.h"
#include "cli/glue.h"
#include "render/documents.h"

namespace tool {
namespace {

class Import final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("N", request_.number, "type number")->required();
    command.add_option("FILE", request_.file, "an export (JSON or CSV)")->required();
  }

  // The file is named from where the command was given, and is refused
  // before the tree is opened.
  int Prepare(const GlobalOptions& options, Output& out) override {
    request_.strict = options.strict;
    if (const std::optional<Refusal> refusal = ops::ReadImportFile(request_.file, &request_))
      return Refuse(*refusal, out);
    return kDone;
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    const Result<ops::ImportOutcome> imported = ops::Import(*session, request_);
    if (!imported.ok()) return Refuse(imported.refusal(), out);
    const ops::ImportOutcome& outcome = imported.model();
    return PresentSaved(options, outcome, out);
  }

 private:
  ops::ImportRequest request_;
};

}  // namespace

std::unique_ptr<Command> MakeImport() { return std::make_unique<Import>(); }

}  // namespace tool
