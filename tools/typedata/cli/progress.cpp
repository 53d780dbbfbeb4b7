// The progress a command shows: the bar, or JSON lines with --json.
#include "cli/commands.h"
#include "render/progress_json.h"
#include "render/progress_text.h"

namespace tool {

std::unique_ptr<Progress> MakeProgress(const GlobalOptions& options, Output& out) {
  if (options.json) return std::make_unique<JsonProgress>(stderr);
  return std::make_unique<TextProgress>(out);
}

}  // namespace tool
