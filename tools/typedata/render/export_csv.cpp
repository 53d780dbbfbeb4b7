#include "render/export_csv.h"

#include <fmt/core.h>

#include "core/display_width.h"

namespace tool {
namespace {

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

std::vector<std::string> ExportCsvLines(const TypeValues& values) {
  std::vector<std::string> lines{"config,kind,item,value"};
  for (const ConfigValues& config : values.configs) {
    for (const KindValues& kind : config.kinds) {
      for (const ItemValue& item : kind.items) {
        if (!item.described || !(item.dataType != 0 && item.dataType != ' ')) continue;
        // PlainNumber: the shortest text in the files' form that reads back to the same double.
        lines.push_back(fmt::format("{},{},{},{}", CsvField(config.prefix), kind.kind, item.number,
                                    kind.kind == 'V' ? CsvField(item.text) : PlainNumber(item.value)));
      }
    }
  }
  return lines;
}

void PrintExportCsv(const TypeValues& values, Output& out) {
  // Exact into a file; a text's control bytes never reach a terminal.
  for (const std::string& line : ExportCsvLines(values))
    out.Line(out.dataOnTerminal() ? Printable(line) : line);
}

}  // namespace tool
