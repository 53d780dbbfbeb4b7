// typedata export.
#include <fmt/core.h>

#include "cli/command.h"
#include "cli/commands.h"
#include "ops/export.h"
#include "render/documents.h"
#include "render/export_csv.h"

namespace tool {
namespace {

class Export final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("N", number_, "type number")->required();
    command.add_option("--format", format_, "json (the default) or csv")
        ->check(CLI::IsMember({"json", "csv"}))
        ->option_text("json|csv");
  }

  int Run(const GlobalOptions& options, Session* session, Output& out) override {
    // A type that is none is said before the options that do not fit.
    if (RefuseTypeNumber(*session, number_, out)) return kRefused;
    if (format_ != "json" && format_ != "csv") {
      out.Error("--format is json or csv");
      return kUsageError;
    }
    if (options.json && format_ == "csv") {
      out.Error("--json gives the JSON document; leave it out for --format csv");
      return kUsageError;
    }
    const Result<ExportModel> exported = ops::Export(*session, {number_});
    if (!exported.ok()) return Refuse(exported.refusal(), out);
    const TypeValues& values = exported.model().values;
    if (format_ == "csv") {
      PrintExportCsv(values, out);
      return kDone;
    }
    if (const std::string refusal = ExportRefusal(values); !refusal.empty()) {
      out.Error(fmt::format("type {}: {}", number_, refusal));
      return kRefused;
    }
    out.Document(ExportDocument(values));
    return kDone;
  }

 private:
  int number_ = 0;
  std::string format_ = "json";
};

}  // namespace

std::unique_ptr<Command> MakeExport() { return std::make_unique<Export>(); }

}  // namespace tool
