#include "import.h"

#include <fmt/core.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "values.h"

namespace tool {
namespace {

// One CSV line: config,kind,item,value (a field may be quoted).
bool ParseCsvLine(const std::string& line, std::vector<std::string>* fields) {
  fields->clear();
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"')
        field += '"', ++i;
      else if (c == '"')
        quoted = false;
      else
        field += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields->push_back(field), field.clear();
    } else if (c != '\r') {
      field += c;
    }
  }
  fields->push_back(field);
  return !quoted;
}

// The checks every entry passes, whatever the format: "" or what is wrong.
std::string FormError(const std::string& config, const std::string& kind, const std::string& item) {
  if (config.empty()) return "no config is named";
  if (kind.size() != 1 || KindIndex(kind[0]) < 0)
    return fmt::format("'{}' is not a kind (D, S, A, L or V, in capitals)", kind);
  const bool digits =
      !item.empty() && item.size() <= 5 && item.find_first_not_of("0123456789") == std::string::npos;
  if (!digits || std::stol(item) < 1 || std::stol(item) > 65535)
    return fmt::format("'{}' is not an item number (1 to 65535)", item);
  return "";
}

// Shortest text in the type data files' number form (no exponent, which
// set and import refuse) that reads back to the same double.
std::string Exact(double value) { return PlainNumber(value); }

bool ReadJson(const std::string& text, const std::string& file, std::vector<Change>* changes,
              std::string* error) {
  const nlohmann::json document = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded() || !document.is_object() || !document.contains("configs") ||
      !document["configs"].is_array()) {
    *error = file + ": not an export of typedata (JSON with \"configs\")";
    return false;
  }
  const nlohmann::json& configs = document["configs"];
  for (std::size_t c = 0; c < configs.size(); ++c) {
    const nlohmann::json& config = configs[c];
    const std::string at = fmt::format("configs[{}]", c);
    if (!config.is_object() || !config.contains("config") || !config["config"].is_string()) {
      *error = fmt::format("{}: {}: an entry is an object with \"config\": its prefix", file, at);
      return false;
    }
    const std::string prefix = config["config"].get<std::string>();
    for (const auto& [kind, items] : config.items()) {
      if (kind == "config") continue;
      if (const std::string wrong = FormError(prefix, kind, "1"); !wrong.empty()) {
        *error = fmt::format("{}: {}.{}: {}", file, at, kind, wrong);
        return false;
      }
      if (!items.is_object()) {
        *error = fmt::format("{}: {}.{}: the items are an object of item numbers", file, at, kind);
        return false;
      }
      for (const auto& [item, value] : items.items()) {
        const std::string where = fmt::format("{}.{}.\"{}\"", at, kind, item);
        std::string wrong = FormError(prefix, kind, item);
        const bool text = kind == "V";
        if (!wrong.empty()) {
          *error = fmt::format("{}: {}: {} {}:{}: {}", file, where, prefix, kind, item, wrong);
          return false;
        }
        if (text ? !value.is_string() : !value.is_number()) {
          *error =
              fmt::format("{}: {}: {} {}:{} is {}; an item's value is a number or a text ({}: {})", file,
                          where, prefix, kind, item, value.type_name(), kind, text ? "a text" : "a number");
          return false;
        }
        Change change{prefix, kind[0], std::stoi(item),
                      text ? value.get<std::string>() : Exact(value.get<double>()), where};
        changes->push_back(std::move(change));
      }
    }
  }
  return true;
}

bool ReadCsv(const std::string& text, const std::string& file, std::vector<Change>* changes,
             std::string* error) {
  std::istringstream lines(text);
  std::string line;
  int lineNo = 0;
  std::vector<std::string> fields;
  while (std::getline(lines, line)) {
    ++lineNo;
    // Spreadsheet programs begin a UTF-8 CSV with a byte order mark.
    if (lineNo == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || (lineNo == 1 && line.rfind("config,", 0) == 0)) continue;
    if (!ParseCsvLine(line, &fields) || fields.size() != 4) {
      *error = fmt::format("{}:{}: expected config,kind,item,value", file, lineNo);
      return false;
    }
    if (const std::string wrong = FormError(fields[0], fields[1], fields[2]); !wrong.empty()) {
      *error = fmt::format("{}:{}: {}", file, lineNo, wrong);
      return false;
    }
    changes->push_back(
        Change{fields[0], fields[1][0], std::stoi(fields[2]), fields[3], fmt::format("line {}", lineNo)});
  }
  return true;
}

}  // namespace

bool ReadImport(const std::string& text, const std::string& file, std::vector<Change>* changes,
                std::string* error) {
  changes->clear();
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  const bool json = first != std::string::npos && text[first] == '{';
  return json ? ReadJson(text, file, changes, error) : ReadCsv(text, file, changes, error);
}

}  // namespace tool
