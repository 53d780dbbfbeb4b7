// typedata set, typedata export, typedata import.
#include <fmt/core.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "commands.h"
#include "edit.h"
#include "tree.h"
#include "typedata.h"

namespace tool {
namespace {

// Saves and reports the files written: the type's own and the shared ones
// that went to other types.
int SaveAndReport(Session& session, int number, Output& out) {
  std::vector<std::string> written;
  std::string error;
  if (!SaveType(session, number, &written, &error)) {
    out.Error(error);
    return kRefused;
  }
  const std::string own = fmt::format("{:04d}/", number);
  std::vector<std::string> shared;
  for (const std::string& file : written)
    (file.rfind(own, 0) == 0 ? out.Note("  saved " + file), void() : shared.push_back(file));
  if (shared.empty()) {
    out.Note("  no other type shares a changed config");
  } else {
    for (const std::string& file : shared) {
      const int to = std::atoi(file.substr(0, 4).c_str());
      out.Note(fmt::format("  shared with type {:04d} '{}': {}", to, session.TypeName(to), file));
    }
  }
  return kDone;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// One CSV line: config,kind,item,value (a value may be quoted).
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

std::string Exact(double value) {
  return fmt::format("{}", value);  // shortest text that reads back to the same double
}

}  // namespace

int RunSet(const GlobalOptions& options, int number, const std::string& prefix,
           const std::vector<std::string>& assignments, Output& out) {
  Session session;
  if (!OpenTree(options, &session, out)) return kUsageError;
  std::vector<Change> changes;
  std::string error;
  for (const std::string& text : assignments) {
    Change change;
    if (!ParseAssignment(prefix, text, &change, &error)) {
      out.Error(error);
      return kUsageError;
    }
    changes.push_back(change);
  }
  TypeValues loaded;
  if (!LoadType(number, &loaded, &error)) {
    out.Error(error);
    return kRefused;
  }
  for (const Change& change : changes) {
    bool changed = false;
    if (!ApplyChange(loaded, change, &changed, &error)) {
      out.Error(error + "; nothing was saved");
      return kRefused;
    }
  }
  out.Note(fmt::format("Type {:04d} '{}': {} value{} set.", number, loaded.name, changes.size(),
                       changes.size() == 1 ? "" : "s"));
  return SaveAndReport(session, number, out);
}

int RunExport(const GlobalOptions& options, int number, const std::string& format, Output& out) {
  Session session;
  if (!OpenTree(options, &session, out)) return kUsageError;
  if (format != "json" && format != "csv") {
    out.Error("--format is json or csv");
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
          out.Line(fmt::format("{},{},{},{}", CsvField(config.prefix), kind.kind, item.number,
                               kind.kind == 'V' ? CsvField(item.text) : Exact(item.value)));
        }
      }
    }
    return kDone;
  }
  nlohmann::json configs = nlohmann::json::array();
  for (const ConfigValues& config : loaded.configs) {
    nlohmann::json entry = {{"config", config.prefix}};
    for (const KindValues& kind : config.kinds) {
      if (!kind.present) continue;
      nlohmann::json items = nlohmann::json::object();
      for (const ItemValue& item : kind.items) {
        if (!item.described || !(item.dataType != 0 && item.dataType != ' ')) continue;
        if (kind.kind == 'V')
          items[std::to_string(item.number)] = item.text;
        else
          items[std::to_string(item.number)] = item.value;
      }
      entry[std::string(1, kind.kind)] = items;
    }
    configs.push_back(entry);
  }
  out.Line(nlohmann::json{{"type", number}, {"name", loaded.name}, {"configs", configs}}.dump(2));
  return kDone;
}

int RunImport(const GlobalOptions& options, int number, const std::string& file, Output& out) {
  bool readable = false;
  const std::string text = ReadBytes(file, &readable);
  if (!readable) {
    out.Error(file + ": cannot be read");
    return kUsageError;
  }
  std::vector<Change> changes;
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first != std::string::npos && text[first] == '{') {
    const nlohmann::json document = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded() || !document.contains("configs") || !document["configs"].is_array()) {
      out.Error(file + ": not an export of typedata (JSON with \"configs\")");
      return kUsageError;
    }
    for (const auto& config : document["configs"]) {
      if (!config.is_object() || !config.contains("config") || !config["config"].is_string()) continue;
      for (const auto& [kind, items] : config.items()) {
        if (kind.size() != 1 || KindIndex(kind[0]) < 0 || !items.is_object()) continue;
        for (const auto& [item, value] : items.items()) {
          Change change{config["config"].get<std::string>(), kind[0], std::atoi(item.c_str()),
                        value.is_string() ? value.get<std::string>() : Exact(value.get<double>())};
          changes.push_back(change);
        }
      }
    }
  } else {
    std::istringstream lines(text);
    std::string line;
    int lineNo = 0;
    std::vector<std::string> fields;
    while (std::getline(lines, line)) {
      ++lineNo;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty() || (lineNo == 1 && line.rfind("config,", 0) == 0)) continue;
      if (!ParseCsvLine(line, &fields) || fields.size() != 4 || fields[1].size() != 1) {
        out.Error(fmt::format("{}:{}: expected config,kind,item,value", file, lineNo));
        return kUsageError;
      }
      changes.push_back(Change{fields[0], fields[1][0], std::atoi(fields[2].c_str()), fields[3]});
    }
  }

  Session session;
  if (!OpenTree(options, &session, out)) return kUsageError;
  TypeValues loaded;
  std::string error;
  if (!LoadType(number, &loaded, &error)) {
    out.Error(error);
    return kRefused;
  }
  int differing = 0;
  for (const Change& change : changes) {
    bool changed = false;
    if (!ApplyChange(loaded, change, &changed, &error)) {
      out.Error(file + ": " + error + "; nothing was saved");
      return kRefused;
    }
    differing += changed ? 1 : 0;
  }
  if (differing == 0) {
    out.Note(fmt::format("Type {:04d} already holds every value of {}; nothing to save.", number, file));
    return kDone;
  }
  out.Note(fmt::format("Type {:04d}: {} value{} changed.", number, differing, differing == 1 ? "" : "s"));
  return SaveAndReport(session, number, out);
}

}  // namespace tool
