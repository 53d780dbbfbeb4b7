#include "ops/recover.h"

#include <fmt/core.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "core/atomic_file.h"
#include "core/journal.h"
#include "core/names.h"
#include "core/tree.h"
#include "typedata.h"

namespace tool::ops {
namespace {

// Reads "NUMBER,NAME" lines (NAME may be quoted; blank lines and lines
// starting with '#' are passed over) from text, the file named file, into
// names. False with "file:line: what" in *error.
bool ReadNames(const std::string& text, const std::string& file, std::map<int, std::string>* names,
               std::string* error) {
  std::istringstream lines(text);
  int lineNo = 0;
  for (std::string line; std::getline(lines, line);) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    const std::size_t comma = line.find(',');
    const std::string number = comma == std::string::npos ? line : line.substr(0, comma);
    std::string name = comma == std::string::npos ? "" : line.substr(comma + 1);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
    const bool digits =
        !number.empty() && number.size() <= 4 && number.find_first_not_of("0123456789") == std::string::npos;
    if (comma == std::string::npos || !digits) {
      *error = fmt::format("{}:{}: expected NUMBER,NAME with a type number from 0 to {}", file, lineNo,
                           TD_TYPE_NO_MAX);
      return false;
    }
    if (!names->emplace(std::stoi(number), name).second) {
      *error = fmt::format("{}:{}: type {} is named twice", file, lineNo, number);
      return false;
    }
  }
  return true;
}

}  // namespace

Result<RecoverModel> Recover(Session& session, const RecoverRequest& request) {
  const std::string& namesFile = request.namesFile;
  if (session.CatalogueExists()) {
    return Refusal::Of(
        RefusalKind::kRefused,
        session.CataloguePath() +
            " exists; recover writes a catalogue only where it is lost ('typedata check' names "
            "the type folders it does not list)");
  }
  std::vector<int> numbers;
  for (int number : TypeFolderNumbers(session.TypeFolder())) {
    if (HoldsAnything(session.TypeFolderOf(number))) numbers.push_back(number);
  }
  if (numbers.empty()) {
    return Refusal::Of(
        RefusalKind::kRefused,
        session.TypeFolder() + " holds no type folder with files; 'typedata init' makes a new tree");
  }
  std::map<int, std::string> names;
  std::string error;
  if (!namesFile.empty() && !ReadNames(request.namesText, namesFile, &names, &error))
    return Refusal::Of(RefusalKind::kUsage, error);
  for (const auto& [number, name] : names) {
    if (!std::binary_search(numbers.begin(), numbers.end(), number)) {
      return Refusal::Of(RefusalKind::kRefused, fmt::format("{}: type {} '{}' has no type folder with files",
                                                            namesFile, number, name));
    }
  }

  // Each name is checked against the types taken before it, as add would.
  std::string catalogue;
  for (int number : numbers) {
    const std::string& name = names.count(number) ? names[number] : std::string();
    if (!name.empty()) {
      if (const std::string refusal = RefusalOfName(session, name, number); !refusal.empty())
        return Refusal::Of(RefusalKind::kRefused, fmt::format("{}: type {}: {}", namesFile, number, refusal));
    }
    if (name.find_first_of("\"\r\n") != std::string::npos || name.find("//") != std::string::npos ||
        Type_Add(name.c_str(), number) != 0) {
      return Refusal::Of(
          RefusalKind::kRefused,
          fmt::format("{}: type {}: the name '{}' cannot be kept in a catalogue", namesFile, number, name));
    }
    // The newest first, as add lists them.
    catalogue.insert(0, fmt::format("{},\"{}\"\r\n", number, name));
  }
  // A recover cut short leaves no catalogue and no temporary file.
  Journal journal(session.TypeFolder(), "recover");
  const std::string path = session.CataloguePath();
  if (!journal.Begin({std::filesystem::path(path).filename().string()}, &error))
    return Refusal::Of(RefusalKind::kInputOutput, error);
  // An input/output error: the journal takes back what was written.
  if (!ReplaceFileAtomically(path, catalogue, &error) || !journal.Finish(&error))
    return Refusal::Of(RefusalKind::kInputOutput, "the catalogue could not be written: " + error);
  RecoverModel model{session.CataloguePath(), {}};
  for (int number : numbers) {
    const auto named = names.find(number);
    model.types.push_back({number, named == names.end() ? "" : named->second});
  }
  return model;
}

}  // namespace tool::ops
