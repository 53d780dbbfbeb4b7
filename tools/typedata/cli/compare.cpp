// typedata compare: several types side by side.
#include <fmt/core.h>

#include "cli/command.h"
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

class Compare final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("N", numbers_, "type numbers, the first the one the others are held against")
        ->required();
    command.add_option("--config", config_, "only the config with this prefix")->option_text("PREFIX");
    command.add_flag("--all", all_, "every item, not only those whose values differ");
  }

  int Prepare(const GlobalOptions& /*options*/, Output& out) override {
    if (numbers_.size() < 2) {
      out.Error("compare takes two types or more");
      return kUsageError;
    }
    return kDone;
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    // The server answers such a selection with no rows; said here, as show says it.
    if (const std::string none = config_.empty() ? "" : NoConfig(config_); !none.empty())
      return Refuse(Refusal::Of(RefusalKind::kNotFound, none), out);
    const Result<CompareModel> compared = ops::Compare(*session, {numbers_, config_, !all_});
    if (!compared.ok()) return Refuse(compared.refusal(), out);
    Present(options, compared.model(), out);
    return kDone;
  }

 private:
  std::vector<int> numbers_;
  std::string config_;
  bool all_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeCompare() { return std::make_unique<Compare>(); }

}  // namespace tool
