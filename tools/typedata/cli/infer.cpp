// typedata infer: the machine description that explains a tree's files.
#include <fmt/core.h>

#include "core/atomic_file.h"
#include "cli/commands.h"
#include "core/open_file.h"
#include "infer/infer.h"
#include "render/infer_json.h"
#include "core/lock.h"

namespace tool {

int RunInfer(const GlobalOptions& options, const std::string& outputFile, Output& out) {
  std::string error;
  // Refused before anything is read: an output never replaces a file of
  // the tree, a link or a special file.
  if (FileError refused; !outputFile.empty() && !CheckOutputPath(outputFile, options.root, &refused)) {
    out.Error(refused.Message());
    return kUsageError;
  }
  bool busy = false;
  const std::unique_ptr<TreeLock> lock = TreeLock::Shared(options.root, &error, &busy);
  if (!lock) {
    out.Error(error);
    return busy ? kRefused : kUsageError;
  }
  infer::Inference inference;
  if (!infer::InferTree(options.root, &inference, &error)) {
    out.Error(error);
    return kUsageError;
  }
  const std::string description = infer::DescriptionText(inference, options.root);
  if (!outputFile.empty() && !ReplaceFileAtomically(outputFile, description, &error)) {
    out.Error(error);
    return kUsageError;
  }
  if (options.json) {
    out.Document(infer::InferDocument(inference, options.root, description, outputFile));
  } else if (outputFile.empty()) {
    std::fputs(description.c_str(), out.data());
  }
  for (const std::string& note : inference.notes) out.Note(note);
  for (const infer::Conflict& conflict : inference.conflicts)
    out.Note(fmt::format("{}:{}: {}", conflict.file, conflict.line, conflict.problem));
  out.Note(
      fmt::format("{} configs inferred from {} files of {} types{}; {}.", inference.machine.configs.size(),
                  inference.files, inference.types, outputFile.empty() ? "" : ", written to " + outputFile,
                  inference.conflicts.empty()
                      ? "no conflicts"
                      : fmt::format("{} conflict{}: the description is the best the files allow",
                                    inference.conflicts.size(), inference.conflicts.size() == 1 ? "" : "s")));
  return inference.conflicts.empty() ? kDone : kRefused;
}

}  // namespace tool
