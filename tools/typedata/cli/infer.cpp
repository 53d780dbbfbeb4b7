// typedata infer: the machine description that explains a tree's files.
#include <fmt/core.h>

#include "cli/command.h"
#include "cli/commands.h"
#include "core/atomic_file.h"
#include "core/open_file.h"
#include "ops/infer.h"
#include "render/infer_json.h"

namespace tool {
namespace {

class Infer final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("-o,--output", output_, "write the description to this file (default: stdout)")
        ->option_text("FILE");
  }

  int Run(const GlobalOptions& options, Session* /*session*/, Output& out) override {
    // Refused before anything is read: an output never replaces a file of
    // the tree, a link or a special file.
    if (FileError refused; !output_.empty() && !CheckOutputPath(output_, options.root, &refused)) {
      out.Error(refused.Message());
      return kUsageError;
    }
    const Result<ops::InferModel> inferred = ops::Infer({options.root});
    if (!inferred.ok()) return Refuse(inferred.refusal(), out);
    const infer::Inference& inference = inferred.model().inference;
    const std::string& description = inferred.model().description;
    if (std::string error; !output_.empty() && !ReplaceFileAtomically(output_, description, &error)) {
      out.Error(error);
      return kUsageError;
    }
    if (options.json) {
      out.Document(infer::InferDocument(inference, options.root, description, output_));
    } else if (output_.empty()) {
      std::fputs(description.c_str(), out.data());
    }
    for (const std::string& note : inference.notes) out.Note(note);
    for (const infer::Conflict& conflict : inference.conflicts)
      out.Note(fmt::format("{}:{}: {}", conflict.file, conflict.line, conflict.problem));
    out.Note(fmt::format(
        "{} configs inferred from {} files of {} types{}; {}.", inference.machine.configs.size(),
        inference.files, inference.types, output_.empty() ? "" : ", written to " + output_,
        inference.conflicts.empty()
            ? "no conflicts"
            : fmt::format("{} conflict{}: the description is the best the files allow",
                          inference.conflicts.size(), inference.conflicts.size() == 1 ? "" : "s")));
    return inference.conflicts.empty() ? kDone : kRefused;
  }

 private:
  std::string output_;  // "" for stdout
};

}  // namespace

std::unique_ptr<Command> MakeInfer() { return std::make_unique<Infer>(); }

}  // namespace tool
