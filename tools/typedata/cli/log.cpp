// typedata log.
#include "ops/log.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "render/log_document.h"

namespace tool {
namespace {

class Log final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("TYPE", type_, "only this type's entries");
    command.add_option("--config", config_, "only the changes of the config with this prefix")
        ->option_text("PREFIX");
    command.add_option("--item", item_, "only the changes of this item")->option_text("KIND:N");
    command.add_option("--since", since_, "only entries after this revision, release, or date and time")
        ->option_text("WHEN");
    command.add_option("--until", until_, "only entries up to this revision, release, or date and time")
        ->option_text("WHEN");
    command.footer(
        "WHEN: a revision (HEAD~2, a commit's hex or its prefix), a release's name, or a date and\n"
        "time (UTC unless it says its offset; the last entry made at or before it). The global\n"
        "--user NAME lists only that user's entries.\n");
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    // The tool's --user (who makes a change) names, for log, the user
    // whose entries to list.
    const Result<LogModel> logged = ops::Log(*session, {type_, config_, item_, since_, until_, options.user});
    if (!logged.ok()) return Refuse(logged.refusal(), out);
    Present(options, logged.model(), out);
    return kDone;
  }

 private:
  int type_ = -1;
  std::string config_;
  std::string item_;
  std::string since_;
  std::string until_;
};

}  // namespace

std::unique_ptr<Command> MakeLog() { return std::make_unique<Log>(); }

}  // namespace tool
