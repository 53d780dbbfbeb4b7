// typedata recover.
#include <filesystem>

#include "cli/command.h"
#include "cli/commands.h"
#include "core/open_file.h"
#include "ops/recover.h"
#include "render/documents.h"

namespace tool {
namespace {

class Recover final : public Command {
 public:
  void Define(CLI::App& command) override {
    command
        .add_option("--names", request_.namesFile, "a file of NUMBER,NAME lines giving the types their names")
        ->option_text("FILE");
  }

  // The names file is the user's, named from where the command was given:
  // read before the session moves into the type folder.
  int Prepare(const GlobalOptions& /*options*/, Output& out) override {
    const std::string& file = request_.namesFile;
    if (FileError failure; !file.empty() && !ReadWholeFile(std::filesystem::absolute(file).string(),
                                                           kNamesFile, &request_.namesText, &failure)) {
      out.Error(file + ": cannot be read: " + failure.reason);
      return kUsageError;
    }
    return kDone;
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    const Result<RecoverModel> recovered = ops::Recover(*session, request_);
    if (!recovered.ok()) return Refuse(recovered.refusal(), out);
    Present(options, recovered.model(), out);
    return kDone;
  }

 private:
  ops::RecoverRequest request_;
};

}  // namespace

std::unique_ptr<Command> MakeRecover() { return std::make_unique<Recover>(); }

}  // namespace tool
