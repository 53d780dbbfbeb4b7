// typedata show.
#include <fmt/core.h>

#include <cctype>

#include "cli/command.h"
#include "cli/commands.h"
#include "ops/past_show.h"
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
    command
        .add_option("--at", at_,
                    "the values as the tree's history kept them at a revision, a release, "
                    "or a date and time")
        ->option_text("WHEN");
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    if (!at_.empty()) return RunAt(options, *session, out);
    const Result<ShowModel> shown = ops::Show(*session, {number_, config_, kind_});
    if (!shown.ok()) return Refuse(shown.refusal(), out);
    Present(options, shown.model(), out);
    return kDone;
  }

 private:
  // The past's document is today's with the entry it was read at.
  int RunAt(const GlobalOptions& options, Session& session, Output& out) const {
    ops::ShowRequest request;
    request.number = number_;
    request.config = config_;
    request.kind = kind_;
    const Result<ops::PastShow> shown = ops::ShowAt(session, request, at_);
    if (!shown.ok()) return Refuse(shown.refusal(), out);
    if (options.json) {
      Document document = ToDocument(shown.model().shown);
      document["at"] = at_;
      document["entry"] = shown.model().revision;
      out.Document(document);
      return kDone;
    }
    out.Note(fmt::format("Type {:04d} as the history kept it at {} (entry {}).", number_, at_,
                         shown.model().revision.substr(0, 12)));
    PrintText(shown.model().shown, out);
    return kDone;
  }

  int number_ = 0;
  std::string config_;
  std::string kind_;
  std::string at_;
};

}  // namespace

std::unique_ptr<Command> MakeShow() { return std::make_unique<Show>(); }

}  // namespace tool
