// typedata set.
#include "ops/set.h"
#include "cli/command.h"
#include "cli/glue.h"
#include "render/conflict_document.h"
#include "render/documents.h"

namespace tool {

int SayFailure(const GlobalOptions& options, const ops::SaveFailure& failure, const Document& document,
               Output& out) {
  for (const std::string& error : failure.errors) out.Error(error);
  if (options.json) out.Document(FailedSaveDocument(document, failure.save));
  return ExitStatus(failure.kind);
}

namespace {

class Set final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("N", number_, "type number")->required();
    command.add_option("PREFIX", prefix_, "the config's prefix")->required();
    command.add_option("KIND:ITEM=VALUE", assignments_, "e.g. D:3=12.5 V:1=text")->required();
    command.add_option("--expect", expect_,
                       "refuse unless the type's files are as at this revision (show --json: \"revision\")");
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    ops::SetRequest request{number_, prefix_, assignments_, options.strict};
    request.expect = expect_;
    const Result<ops::SetOutcome> set = ops::Set(*session, request);
    if (!set.ok()) return Refuse(set.refusal(), out);
    const ops::SetOutcome& outcome = set.model();
    if (outcome.conflict) {
      const std::vector<std::string> lines = ConflictLines(*outcome.conflict);
      for (const std::string& line : lines) out.Error(line);
      out.Error("to save over it after a look, give --expect " +
                CombinedRevision(outcome.conflict->revisions));
      if (options.json)
        out.Document(ConflictDocument(number_, outcome.model.name, lines.front(), *outcome.conflict));
      return kRefused;
    }
    return PresentSaved(options, outcome, out);
  }

 private:
  int number_ = 0;
  std::string prefix_;
  std::vector<std::string> assignments_;
  std::string expect_;
};

}  // namespace

std::unique_ptr<Command> MakeSet() { return std::make_unique<Set>(); }

}  // namespace tool
