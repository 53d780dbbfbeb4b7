// typedata export.
#include <fmt/core.h>

#include "cli/commands.h"
#include "ops/export.h"
#include "render/documents.h"
#include "render/export_csv.h"

namespace tool {

int RunExport(const GlobalOptions& options, int number, const std::string& format, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  // A type that is none is said before the options that do not fit.
  if (RefuseTypeNumber(session, number, out)) return kRefused;
  if (format != "json" && format != "csv") {
    out.Error("--format is json or csv");
    return kUsageError;
  }
  if (options.json && format == "csv") {
    out.Error("--json gives the JSON document; leave it out for --format csv");
    return kUsageError;
  }
  const Result<ExportModel> exported = ops::Export(session, {number});
  if (!exported.ok()) return Refuse(exported.refusal(), out);
  const TypeValues& values = exported.model().values;
  if (format == "csv") {
    PrintExportCsv(values, out);
    return kDone;
  }
  if (const std::string refusal = ExportRefusal(values); !refusal.empty()) {
    out.Error(fmt::format("type {}: {}", number, refusal));
    return kRefused;
  }
  out.Document(ExportDocument(values));
  return kDone;
}

}  // namespace tool
