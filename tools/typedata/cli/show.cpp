// typedata show.
#include <cctype>

#include "cli/command.h"
#include "cli/commands.h"
#include "ops/show.h"
#include "render/documents.h"

namespace tool {
namespace {

class Show final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("N", number_, "type number")->required();
    command.add_option("--config", config_, "only the config with this prefix")->option_text("PREFIX");
    command.add_option("--kind", kind_, "only this kind, in either letter case")
        ->transform([](std::string letter) {
          for (char& c : letter) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
          return letter;
        })
        ->option_text("D|S|A|L|V");
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    const Result<ShowModel> shown = ops::Show(*session, {number_, config_, kind_});
    if (!shown.ok()) return Refuse(shown.refusal(), out);
    Present(options, shown.model(), out);
    return kDone;
  }

 private:
  int number_ = 0;
  std::string config_;
  std::string kind_;
};

}  // namespace

std::unique_ptr<Command> MakeShow() { return std::make_unique<Show>(); }

}  // namespace tool
