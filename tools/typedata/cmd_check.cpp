// typedata check: the whole type tree against the machine.
#include <fmt/core.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "names.h"
#include "tree.h"
#include "typedata.h"
#include "values.h"

namespace fs = std::filesystem;

namespace tool {
namespace {

struct Problem {
  std::string file;  // relative to the root
  int line = 0;      // 0: the file as a whole
  std::string what;
};

class Checker {
 public:
  Checker(const Session& session, Output& out) : session_(session), out_(out) {}

  std::vector<Problem> Run() {
    CheckCatalogue();
    CheckTemporaryFiles();
    std::size_t done = 0;
    for (const auto& [number, line] : types_) {
      CheckType(number);
      out_.Progress("checking types", static_cast<long>(++done),
                    types_.size() > 200 ? static_cast<long>(types_.size()) : 0);
    }
    out_.EndProgress();
    CheckSharedConfigs();
    return problems_;
  }

 private:
  void Report(const std::string& file, int line, const std::string& what) {
    problems_.push_back({file, line, what});
  }

  std::string Relative(const std::string& path) const {
    return fs::relative(path, session_.root()).generic_string();
  }

  static std::vector<std::string> Lines(const std::string& path, bool* ok) {
    std::vector<std::string> lines;
    std::istringstream in(ReadBytes(path, ok));
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

  static std::string Trimmed(std::string text) {
    CutComment(&text[0]);
    text.resize(std::strlen(text.c_str()));
    return std::string(trim(&text[0]));
  }

  void CheckCatalogue() {
    const std::string path = session_.CataloguePath();
    const std::string file = Relative(path);
    bool ok = false;
    const std::vector<std::string> lines = Lines(path, &ok);
    if (!ok) return Report(file, 0, "the catalogue cannot be read");
    for (std::size_t n = 0; n < lines.size(); ++n) {
      const int lineNo = static_cast<int>(n) + 1;
      const std::string text = Trimmed(lines[n]);
      if (text.empty() || text[0] == '[' || text[0] == '/') continue;
      char* end = nullptr;
      const long number = std::strtol(text.c_str(), &end, 10);
      std::string rest = end;
      const std::size_t comma = rest.find_first_not_of(" \t");
      bool understood = end != text.c_str() && comma != std::string::npos && rest[comma] == ',';
      std::string name;
      if (understood) {
        rest = rest.substr(comma + 1);
        const std::size_t start = rest.find_first_not_of(" \t");
        if (start == std::string::npos) {
          name.clear();  // "0, ": no name
        } else if (rest[start] == '"' && rest.find('"', start + 1) != std::string::npos) {
          const std::size_t close = rest.find('"', start + 1);
          name = rest.substr(start + 1, close - start - 1);
          understood = rest.find_first_not_of(" \t", close + 1) == std::string::npos;
        } else {
          understood = false;
        }
      }
      if (!understood || number < 0 || number > TD_TYPE_NO_MAX) {
        Report(file, lineNo, fmt::format("line not understood as a type record: {}", text));
        continue;
      }
      const int typeNo = static_cast<int>(number);
      if (const auto seen = types_.find(typeNo); seen != types_.end()) {
        Report(file, lineNo,
               fmt::format("type number {} is listed twice (first on line {})", typeNo, seen->second));
        continue;
      }
      types_[typeNo] = lineNo;
      if (!name.empty()) {
        const std::string refusal = RefusalOfName(session_, name, typeNo);
        if (!refusal.empty()) Report(file, lineNo, "type " + std::to_string(typeNo) + ": " + refusal);
      }
    }
  }

  void CheckTemporaryFiles() {
    std::error_code ignored;
    for (fs::recursive_directory_iterator it(session_.TypeFolder(), ignored), end; it != end;
         it.increment(ignored)) {
      std::string name = it->path().filename().string();
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (name == "temp.dat" || name == "temp.typ") {
        Report(Relative(it->path().string()), 0,
               "a temporary file was left behind by an update that did not finish");
      }
    }
  }

  void CheckType(int typeNo) {
    for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next) {
      CheckDataFile(typeNo, *config);
    }
  }

  const ConfigRecord* ConfigOf(const ConfigRecord& wanted, int* index) const {
    *index = 0;
    for (const ConfigRecord* c = GetMMISystemStruc()->configList; c; c = c->next, ++*index) {
      if (c == &wanted) return c;
    }
    return nullptr;
  }

  void CheckDataFile(int typeNo, const ConfigRecord& config) {
    const std::string path = session_.DataFile(typeNo, config.name);
    const std::string file = Relative(path);
    if (!fs::exists(path))
      return Report(
          file, 0,
          fmt::format("type {}: the type data file of config {} is missing", typeNo, config.configNo));
    bool ok = false;
    const std::vector<std::string> lines = Lines(path, &ok);
    if (!ok) return Report(file, 0, "the file cannot be read");
    int configIndex = 0;
    ConfigOf(config, &configIndex);

    int kind = -1;  // index into D, S, A, L, V
    std::set<int> seen;
    int sectionLine = 0;
    auto closeSection = [&]() {
      if (kind < 0) return;
      const int code = GetHAIndex(kKindLetters[kind]);
      const unsigned count = config.kindTable[code].count;
      for (unsigned i = 0; i < count; ++i) {
        CfgIdRecord* description = nullptr;
        const bool described = GetCFGIDStruc(TD_CFGID(i, code, configIndex), &description) >= 0;
        const bool written =
            described && (kind != 4 || (description->dataType != 0 && description->dataType != ' '));
        if (written && !seen.count(static_cast<int>(i) + 1)) {
          Report(file, sectionLine,
                 fmt::format("[{}] has no item {}: the value there reads as {}", kKindLetters[kind], i + 1,
                             kind == 4 ? "an empty text" : "0"));
        }
      }
    };
    for (std::size_t n = 0; n < lines.size(); ++n) {
      const int lineNo = static_cast<int>(n) + 1;
      const bool comment = lines[n].find("//") != std::string::npos;
      const std::string text = Trimmed(lines[n]);
      if (text.empty()) continue;
      if (text[0] == '[') {
        const std::size_t close = text.find(']');
        std::string name = close == std::string::npos ? "" : text.substr(1, close - 1);
        name.erase(0, name.find_first_not_of(" \t"));
        name.erase(name.find_last_not_of(" \t") + 1);
        if (name.size() == 1 && KindIndex(name[0]) >= 0) {
          closeSection();
          kind = KindIndex(name[0]);
          seen.clear();
          sectionLine = lineNo;
        }
        continue;
      }
      if (kind < 0) continue;  // header lines
      CheckItemLine(file, lineNo, text, comment, config, configIndex, kind, &seen);
    }
    closeSection();
  }

  void CheckItemLine(const std::string& file, int lineNo, const std::string& text, bool comment,
                     const ConfigRecord& config, int configIndex, int kind, std::set<int>* seen) {
    const int code = GetHAIndex(kKindLetters[kind]);
    const unsigned count = config.kindTable[code].count;
    if (kind == 4 && comment)
      Report(file, lineNo, "a text holds \"//\": what follows it is lost when the file is read");
    std::size_t at = 0;
    while (at < text.size()) {
      const std::size_t end = text.find_first_of(",;", at);
      const std::string item = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
      at = end == std::string::npos ? text.size() : end + 1;
      const std::size_t colon = item.find(':');
      if (colon == std::string::npos) {
        if (kind == 4 && item.find_first_not_of(" \t") != std::string::npos) {
          Report(file, lineNo,
                 fmt::format("a text holds ',' or ';': '{}' is lost when the file is read", item));
        }
        continue;
      }
      char* stop = nullptr;
      const long number = std::strtol(item.c_str(), &stop, 10);
      if (number < 1) continue;
      if (static_cast<unsigned long>(number) > count) {
        Report(
            file, lineNo,
            fmt::format("[{}] item {} is beyond the config's {} items", kKindLetters[kind], number, count));
        continue;
      }
      seen->insert(static_cast<int>(number));
      if (kind == 4) {
        if (item.size() - colon - 1 > 258)
          Report(file, lineNo, fmt::format("text of item {} is longer than 258 characters", number));
        continue;
      }
      if (kind == 3) continue;  // L values never reach the controller
      const double value = std::strtod(item.c_str() + colon + 1, nullptr);
      CfgIdRecord* description = nullptr;
      const CfgId id = TD_CFGID(number - 1, code, configIndex);
      if (GetCFGIDStruc(id, &description) < 0 || description->dataType == 0 || description->dataType == ' ')
        continue;
      const bool real = description->dataType == 'P' || description->dataType == 'F';
      const std::int32_t form = ConvertDoubleToMMIForm(value, id);
      const double back = real ? ConvertMMIBintoBinF(form, description->conversion)
                               : ConvertMMIBintoBinL(form, description->conversion);
      const double unit = real ? std::fabs(ConvertMMIBintoBinF(1, description->conversion)) : 1.0;
      if (std::fabs(back - value) > unit) {
        Report(file, lineNo,
               fmt::format("[{}] item {}: the controller cannot hold {}", kKindLetters[kind], number,
                           item.substr(colon + 1)));
      }
    }
  }

  void CheckSharedConfigs() {
    const int partCount = GetMMISystemStruc()->namePartCount;
    const std::vector<TypeInfo> types = session_.Types();
    for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next) {
      const int p = config->partNo;
      if (p < 1 || p > partCount) continue;
      std::map<std::string, std::vector<int>> byPart;
      for (const TypeInfo& type : types) {
        if (static_cast<int>(type.parts.size()) >= p) byPart[type.parts[p - 1]].push_back(type.number);
      }
      for (const auto& [part, numbers] : byPart) {
        if (numbers.size() < 2) continue;
        bool readable = false;
        const std::string first = ReadBytes(session_.DataFile(numbers[0], config->name), &readable);
        if (!readable) continue;
        for (std::size_t i = 1; i < numbers.size(); ++i) {
          bool other = false;
          if (ReadBytes(session_.DataFile(numbers[i], config->name), &other) != first && other) {
            Report(Relative(session_.DataFile(numbers[i], config->name)), 0,
                   fmt::format("shared config {} (part {} '{}') differs from type {}'s", config->name, p,
                               part, numbers[0]));
          }
        }
      }
    }
  }

  const Session& session_;
  Output& out_;
  std::map<int, int> types_;  // type number -> catalogue line
  std::vector<Problem> problems_;
};

}  // namespace

int RunCheck(const GlobalOptions& options, Output& out) {
  Session session;
  if (!OpenTree(options, &session, out)) return kUsageError;
  const std::vector<Problem> problems = Checker(session, out).Run();
  if (options.json) {
    nlohmann::json list = nlohmann::json::array();
    for (const Problem& p : problems)
      list.push_back({{"file", p.file}, {"line", p.line}, {"problem", p.what}});
    out.Line(list.dump(2));
  } else {
    for (const Problem& p : problems) out.Line(fmt::format("{}:{}: {}", p.file, p.line, p.what));
  }
  out.Note(problems.empty()
               ? "No problems found."
               : fmt::format("{} problem{} found.", problems.size(), problems.size() == 1 ? "" : "s"));
  return problems.empty() ? kDone : kRefused;
}

}  // namespace tool
