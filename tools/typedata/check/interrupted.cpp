#include "check/interrupted.h"

#include <fmt/core.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "core/atomic_file.h"
#include "core/journal.h"
#include "core/tree.h"

namespace fs = std::filesystem;

namespace tool {
namespace {

// The number of type records in text when every line of it is one (or a
// comment or blank), as in a catalogue; 0 otherwise.
int CatalogueRecords(const std::string& text) {
  static const std::regex record(R"(\s*\d{1,4}\s*,\s*("[^"]*")?\s*)");
  std::istringstream lines(text);
  int records = 0;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, 2, "//") == 0) continue;
    if (!std::regex_match(line, record)) return 0;
    ++records;
  }
  return records;
}

}  // namespace

std::vector<Problem> CheckInterrupted(const Session& session) {
  std::vector<Problem> problems;
  const auto relative = [&](const std::string& path) {
    return fs::path(path).lexically_relative(session.root()).generic_string();
  };
  std::error_code ignored;
  const std::string journal = JournalPath(session.TypeFolder());
  if (fs::exists(fs::symlink_status(journal, ignored)))
    problems.push_back({relative(journal), 0, -1, "",
                        "a command that changes the tree was cut short and is not yet put back; the next "
                        "command that changes the tree puts it back",
                        false});
  if (session.CatalogueExists()) return problems;
  const std::size_t folders = TypeFolderNumbers(session.TypeFolder()).size();
  if (folders == 0) return problems;
  problems.push_back(
      {relative(session.CataloguePath()), 0, -1, "",
       fmt::format("the catalogue is missing, but {} type folder{} {}: 'typedata recover' writes a "
                   "catalogue from them ('init' would hide them)",
                   folders, folders == 1 ? "" : "s", folders == 1 ? "exists" : "exist"),
       true});
  for (const auto& entry : fs::directory_iterator(session.TypeFolder(), ignored)) {
    const std::string name = entry.path().filename().string();
    if (!IsTemporaryFileName(name)) continue;
    bool readable = false;
    const std::string bytes = ReadBytes(entry.path().generic_string(), &readable);
    if (!readable) continue;
    if (const int records = CatalogueRecords(bytes); records > 0)
      problems.push_back(
          {relative(entry.path().generic_string()), 0, -1, "",
           fmt::format("a temporary file holding a catalogue of {} type{}, left by a write of the "
                       "catalogue that did not finish; it is not read as the catalogue",
                       records, records == 1 ? "" : "s"),
           false});
  }
  return problems;
}

}  // namespace tool
