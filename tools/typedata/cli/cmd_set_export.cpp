// typedata set, typedata export, typedata import.
#include <fmt/core.h>
#include <fmt/format.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/commands.h"
#include "core/open_file.h"
#include "core/display_width.h"
#include "render/documents.h"
#include "core/edit.h"
#include "core/import.h"
#include "ops/save_values.h"
#include "ops/set.h"
#include "core/push_check.h"
#include "core/save_failure.h"
#include "core/system_error.h"
#include "core/tree.h"
#include "typedata.h"
#include "core/value_review.h"

namespace tool {
namespace {

// Says what a save that failed says, and gives the status to exit with.
int SayFailure(const GlobalOptions& options, const ops::SaveFailure& failure, const Document& document,
               Output& out) {
  for (const std::string& error : failure.errors) out.Error(error);
  if (options.json) out.Document(FailedSaveDocument(document, failure.save));
  return ExitStatus(failure.kind);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string Exact(double value) {
  return PlainNumber(value);  // shortest text in the files' form that reads back to the same double
}

}  // namespace

int RunSet(const GlobalOptions& options, int number, const std::string& prefix,
           const std::vector<std::string>& assignments, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kChange, &session, out); status != kDone) return status;
  const Result<ops::SetOutcome> set = ops::Set(session, {number, prefix, assignments, options.strict});
  if (!set.ok()) return Refuse(set.refusal(), out);
  const ops::SetOutcome& outcome = set.model();
  for (const std::string& note : outcome.notes) out.Note(note);
  if (outcome.failure) return SayFailure(options, *outcome.failure, ToDocument(outcome.model), out);
  Present(options, outcome.model, out);
  return kDone;
}

int RunExport(const GlobalOptions& options, int number, const std::string& format, Output& out) {
  Session session;
  if (const int status = OpenTree(options, Access::kRead, &session, out); status != kDone) return status;
  if (RefuseTypeNumber(session, number, out)) return kRefused;
  if (format != "json" && format != "csv") {
    out.Error("--format is json or csv");
    return kUsageError;
  }
  if (options.json && format == "csv") {
    out.Error("--json gives the JSON document; leave it out for --format csv");
    return kUsageError;
  }
  TypeValues loaded;
  std::string error;
  if (!LoadType(number, &loaded, &error)) {
    out.Error(error);
    return kRefused;
  }
  if (format == "csv") {
    out.Line("config,kind,item,value");
    for (const ConfigValues& config : loaded.configs) {
      for (const KindValues& kind : config.kinds) {
        for (const ItemValue& item : kind.items) {
          if (!item.described || !(item.dataType != 0 && item.dataType != ' ')) continue;
          const std::string line = fmt::format("{},{},{},{}", CsvField(config.prefix), kind.kind, item.number,
                                               kind.kind == 'V' ? CsvField(item.text) : Exact(item.value));
          // Exact into a file; a text's control bytes never reach a terminal.
          out.Line(out.dataOnTerminal() ? Printable(line) : line);
        }
      }
    }
    return kDone;
  }
  if (const std::string refusal = ExportRefusal(loaded); !refusal.empty()) {
    out.Error(fmt::format("type {}: {}", number, refusal));
    return kRefused;
  }
  out.Document(ExportDocument(loaded));
  return kDone;
}

int RunImport(const GlobalOptions& options, int number, const std::string& file, Output& out) {
  std::string text;
  if (FileError failure; !ReadWholeFile(file, kImportFile, &text, &failure)) {
    out.Error(file + ": cannot be read: " + failure.reason);
    return kUsageError;
  }
  std::vector<Change> changes;
  std::string refusal;
  if (!ReadImport(text, file, &changes, &refusal)) {
    out.Error(refusal + "; nothing was changed");
    return kUsageError;
  }

  Session session;
  if (const int status = OpenTree(options, Access::kChange, &session, out); status != kDone) return status;
  if (RefuseTypeNumber(session, number, out)) return kRefused;
  TypeValues loaded;
  std::string error;
  if (!LoadType(number, &loaded, &error)) {
    out.Error(error);
    return kRefused;
  }
  ImportModel model{number, loaded.name, file, static_cast<int>(changes.size()), {}, {}};
  std::vector<std::string> notes;
  if (const std::optional<Refusal> refusal =
          ops::ReviewAndApply(options.strict, loaded, changes, file + ": ", true, &model.changed, &notes))
    return Refuse(*refusal, out);
  for (const std::string& note : notes) out.Note(note);
  if (!model.changed.empty()) {
    if (const std::optional<ops::SaveFailure> failure =
            ops::SaveAndCollect(session, number, "import", &model.saved))
      return SayFailure(options, *failure, ToDocument(model), out);
  }
  Present(options, model, out);
  return kDone;
}

}  // namespace tool
