// typedata use: a type loaded, made current and downloaded.
#include "ops/use.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "render/documents.h"

namespace tool {
namespace {

class Use final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("N", number_, "type number")->required();
    command.add_flag("--no-download", noDownload_, "load and make current only");
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    const std::unique_ptr<Progress> progress = MakeProgress(options, out);
    const Result<UseModel> used = ops::Use(*session, {number_, !noDownload_}, progress.get());
    if (!used.ok()) return Refuse(used.refusal(), out);
    Present(options, used.model(), out);
    if (!noDownload_ && !used.model().report.downloaded) {
      out.Error("the download did not end");
      return kRefused;
    }
    return kDone;
  }

 private:
  int number_ = 0;
  bool noDownload_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeUse() { return std::make_unique<Use>(); }

}  // namespace tool
