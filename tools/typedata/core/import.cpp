#include "core/import.h"

#include <fmt/core.h>

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <tuple>

#include "core/values.h"

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

// The lines of text, whatever ends them: CR LF, LF, or CR alone (an older
// spreadsheet's CSV); each line's end is cut off.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

// A JSON object that names a member twice keeps only one of them: the
// parser's callback sees every key, so a repeated one is caught with its
// path ("configs[1].D.\"3\"").
class RepeatedKeys {
 public:
  bool operator()(int /*depth*/, nlohmann::json::parse_event_t event, nlohmann::json& parsed) {
    using Event = nlohmann::json::parse_event_t;
    switch (event) {
      case Event::object_start:
      case Event::array_start:
        Element();
        frames_.push_back({event == Event::array_start, -1, "", {}});
        break;
      case Event::object_end:
      case Event::array_end:
        if (!frames_.empty()) frames_.pop_back();
        break;
      case Event::key:
        if (!frames_.empty() && parsed.is_string()) {
          Frame& frame = frames_.back();
          frame.key = parsed.get<std::string>();
          if (!frame.keys.insert(frame.key).second && repeated_.empty()) repeated_ = Path();
        }
        break;
      case Event::value:
        Element();
        break;
    }
    return true;
  }
  // The first key given twice in one object, "" when none.
  const std::string& repeated() const { return repeated_; }

 private:
  struct Frame {
    bool array = false;
    int index = -1;
    std::string key;
    std::set<std::string> keys;
  };
  void Element() {
    if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
  }
  std::string Path() const {
    std::string path;
    for (std::size_t f = 0; f < frames_.size(); ++f) {
      const Frame& frame = frames_[f];
      if (frame.array)
        path += fmt::format("[{}]", frame.index);
      else
        path += f == 0 ? frame.key : f < 3 ? "." + frame.key : fmt::format(".\"{}\"", frame.key);
    }
    return path;
  }
  std::vector<Frame> frames_;
  std::string repeated_;
};

// Shortest text in the type data files' number form (no exponent, which
// set and import refuse) that reads back to the same double.
std::string Exact(double value) { return PlainNumber(value); }

bool ReadJson(const std::string& text, const std::string& file, std::vector<Change>* changes,
              std::string* error) {
  RepeatedKeys repeated;
  const nlohmann::json document = nlohmann::json::parse(text, std::ref(repeated), /*allow_exceptions=*/false);
  if (!document.is_discarded() && !repeated.repeated().empty()) {
    *error =
        fmt::format("{}: {} is given twice in one object; an item is given once", file, repeated.repeated());
    return false;
  }
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
  int lineNo = 0;
  std::vector<std::string> fields;
  for (const std::string& line : Lines(text)) {
    ++lineNo;
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

// Where a change came from, as messages name it: "file:4" for a CSV line,
// "file: configs[1].D.\"3\"" for a JSON entry.
std::string PlaceOf(const Change& change, const std::string& file) {
  if (change.where.rfind("line ", 0) == 0) return file + ":" + change.where.substr(5);
  return file + ": " + change.where;
}

}  // namespace

std::string RepeatedItem(const std::vector<Change>& changes, const std::vector<std::string>& places) {
  std::map<std::tuple<std::string, char, int>, std::size_t> seen;
  for (std::size_t i = 0; i < changes.size(); ++i) {
    const Change& change = changes[i];
    const auto [first, fresh] = seen.emplace(std::make_tuple(change.prefix, change.kind, change.item), i);
    if (fresh) continue;
    return fmt::format("{}: {} {}:{} is given again, first at {}; an item is given once", places[i],
                       change.prefix, change.kind, change.item, places[first->second]);
  }
  return "";
}

bool ReadImport(const std::string& bytes, const std::string& file, std::vector<Change>* changes,
                std::string* error) {
  changes->clear();
  // Spreadsheet programs begin a UTF-8 CSV with a byte order mark; editors
  // sometimes a JSON file too.
  const std::string text = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? bytes.substr(3) : bytes;
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) {
    // Not even an export of a type without values: that has the CSV's header.
    *error = file +
             ": the file is empty; an export is JSON with \"configs\" or CSV with the header "
             "config,kind,item,value";
    return false;
  }
  const bool json = text[first] == '{';
  if (!(json ? ReadJson(text, file, changes, error) : ReadCsv(text, file, changes, error))) return false;
  std::vector<std::string> places;
  for (const Change& change : *changes) places.push_back(PlaceOf(change, file));
  *error = RepeatedItem(*changes, places);
  return error->empty();
}

}  // namespace tool
