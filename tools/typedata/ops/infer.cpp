#include "ops/infer.h"

#include <fmt/core.h>

#include <memory>

#include "core/lock.h"
#include "core/open_file.h"
#include "machine/machine.h"

namespace tool::ops {
namespace {

// The items that the description kept with the tree gives a label, unit or
// limits: what an inferred description loses (0 without a kept one).
std::size_t ItemsWithAbout(const std::string& root) {
  std::string text;
  FileError failure;
  mmisim::Machine machine;
  if (!ReadWholeFile(root + "/.typedata-machine", kMachineFile, &text, &failure) ||
      !mmisim::ParseMachine(text, ".typedata-machine", &machine, nullptr))
    return 0;
  std::size_t count = 0;
  for (const mmisim::MachineConfig& config : machine.configs) {
    for (const mmisim::KindItems& kind : config.kinds) count += kind.about.size();
  }
  return count;
}

}  // namespace

Result<InferModel> Infer(const InferRequest& request) {
  std::string error;
  bool busy = false;
  const std::unique_ptr<TreeLock> lock = TreeLock::Shared(request.root, &error, &busy);
  if (!lock) return Refusal::Of(busy ? RefusalKind::kBusy : RefusalKind::kUsage, error);
  InferModel model;
  if (!infer::InferTree(request.root, &model.inference, &error))
    return Refusal::Of(RefusalKind::kUsage, error);
  model.description = infer::DescriptionText(model.inference, request.root);
  if (const std::size_t about = ItemsWithAbout(request.root); about > 0) {
    model.inference.notes.push_back(fmt::format(
        "the tree's machine description gives {} item{} a label, unit or limits; the files cannot tell them, "
        "and the description written leaves them out",
        about, about == 1 ? "" : "s"));
  }
  return model;
}

}  // namespace tool::ops
