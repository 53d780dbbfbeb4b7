// typedata compare: several types side by side.
#include <fmt/core.h>

#include "cli/commands.h"
#include "ops/compare.h"
#include "render/documents.h"
#include "typedata.h"

namespace tool {
namespace {

// Why the machine has no config prefix ("" when it has), with the configs it has.
std::string NoConfig(const std::string& prefix) {
  std::string configs;
  for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next) {
    if (config->name == prefix) return "";
    configs += fmt::format("{}{}", configs.empty() ? "" : ", ", config->name);
  }
  return fmt::format("the machine has no config '{}'; its configs: {}", prefix, configs);
}

}  // namespace

int RunCompare(const GlobalOptions& options, const std::vector<int>& numbers, const std::string& config,
               bool all, Output& out) {
  if (numbers.size() < 2) {
    out.Error("compare takes two types or more");
    return kUsageError;
  }
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  // The server answers such a selection with no rows; said here, as show says it.
  if (const std::string none = config.empty() ? "" : NoConfig(config); !none.empty())
    return Refuse(Refusal::Of(RefusalKind::kNotFound, none), out);
  const Result<CompareModel> compared = ops::Compare(session, {numbers, config, !all});
  if (!compared.ok()) return Refuse(compared.refusal(), out);
  Present(options, compared.model(), out);
  return kDone;
}

}  // namespace tool
