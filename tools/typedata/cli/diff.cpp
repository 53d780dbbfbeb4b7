// typedata diff.
#include <fmt/core.h>

#include <cctype>

#include "cli/command.h"
#include "cli/commands.h"
#include "ops/diff.h"
#include "ops/past_show.h"
#include "render/documents.h"

namespace tool {
namespace {

// "3" or "3@WHEN" to its type and WHEN; false when the number is none.
bool ParseSide(const std::string& text, ops::DiffSide* side) {
  const std::size_t at = text.find('@');
  const std::string number = text.substr(0, at);
  if (number.empty() || number.size() > 4) return false;
  for (char c : number) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  side->number = std::stoi(number);
  side->when = at == std::string::npos ? "" : text.substr(at + 1);
  return at == std::string::npos || !side->when.empty();
}

class Diff final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("N", first_, "type number, or N@WHEN: as the tree's history kept it then")->required();
    command.add_option("M", second_, "type number, or M@WHEN")->required();
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    ops::DiffSide sides[2];
    const std::string* given[2] = {&first_, &second_};
    for (int s = 0; s < 2; ++s) {
      if (!ParseSide(*given[s], &sides[s])) {
        out.Error(fmt::format("{}: {} is not a type number (N, or N@WHEN)", s == 0 ? "N" : "M", *given[s]));
        return kUsageError;
      }
    }
    if (sides[0].when.empty() && sides[1].when.empty()) {
      const Result<DiffModel> diffed = ops::Diff(*session, {sides[0].number, sides[1].number});
      if (!diffed.ok()) return Refuse(diffed.refusal(), out);
      Present(options, diffed.model(), out);
      return diffed.model().differences.empty() ? kDone : kRefused;
    }
    // The past's document is today's with the entries each side was read at.
    const Result<ops::PastDiff> diffed = ops::DiffAt(*session, sides[0], sides[1]);
    if (!diffed.ok()) return Refuse(diffed.refusal(), out);
    const ops::PastDiff& past = diffed.model();
    const auto entry = [](const std::string& revision) {
      return revision.empty() ? Document(nullptr) : Document(revision);
    };
    if (options.json) {
      Document document = ToDocument(past.diff);
      document["firstEntry"] = entry(past.firstRevision);
      document["secondEntry"] = entry(past.secondRevision);
      out.Document(document);
    } else {
      const auto said = [](const ops::DiffSide& side, const std::string& revision) {
        return side.when.empty() ? fmt::format("type {:04d} now", side.number)
                                 : fmt::format("type {:04d} at {} (entry {})", side.number, side.when,
                                               revision.substr(0, 12));
      };
      out.Note(fmt::format("First: {}; second: {}.", said(sides[0], past.firstRevision),
                           said(sides[1], past.secondRevision)));
      PrintText(past.diff, out);
    }
    return past.diff.differences.empty() ? kDone : kRefused;
  }

 private:
  std::string first_;
  std::string second_;
};

}  // namespace

std::unique_ptr<Command> MakeDiff() { return std::make_unique<Diff>(); }

}  // namespace tool
