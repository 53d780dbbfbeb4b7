#include "check/check.h"

#include <fmt/core.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string_view>

#include "core/atomic_file.h"
#include "check/file.h"
#include "check/folder.h"
#include "core/folded.h"
#include "core/open_file.h"
#include "core/names.h"
#include "core/tree.h"
#include "typedata.h"

namespace fs = std::filesystem;

namespace tool {
namespace {

class Checker {
 public:
  explicit Checker(const Session& session) : session_(session) {}

  std::vector<Problem> Run(Progress* progress) {
    CheckFolders();
    CheckCatalogue();
    CheckUnlistedFolders();
    DataFileChecker files;
    std::size_t done = 0;
    for (const auto& [number, line] : types_) {
      CheckType(files, number);
      if (progress)
        progress->Step("checking types", static_cast<long>(++done),
                       types_.size() > 200 ? static_cast<long>(types_.size()) : 0);
    }
    if (progress) progress->End();
    CheckSharedConfigs();
    return std::move(problems_);
  }

  std::vector<Problem> RunType(int typeNo) {
    ListFolder(session_.TypeFolderOf(typeNo));
    DataFileChecker files;
    CheckType(files, typeNo);
    return std::move(problems_);
  }

 private:
  void Report(const std::string& file, int line, const std::string& what, int type = -1,
              const std::string& config = "", bool blocks = false) {
    problems_.push_back({file, line, type, config, what, blocks});
  }

  // A path below the root as the root's own relative path; the paths
  // checked are made from the root and names listed, so cutting the root
  // off gives what lexically_relative gives, at a fraction of its cost.
  std::string Relative(const std::string& path) const {
    const std::string& root = session_.root();
    if (root.size() > 1 && path.size() > root.size() + 1 && path.compare(0, root.size(), root) == 0 &&
        path[root.size()] == '/' && path.find("/.", root.size()) == std::string::npos &&
        path.find("//", root.size()) == std::string::npos)
      return path.substr(root.size() + 1);
    return fs::path(path).lexically_relative(root).generic_string();
  }

  // A folder's entries by folded name, for names that differ only in
  // letter case and for the service's way of finding a file.
  struct Listing {
    bool listed = false;  // the folder could be read
    std::map<std::string, FolderEntry> byFolded;
  };

  // Lists a folder once. The entries' kinds come with the listing, so a
  // listed file needs no call of its own to tell whether it is there and
  // whether it is a folder.
  void ListFolder(const std::string& folder) {
    Listing& listing = folders_[folder];
    std::vector<FolderEntry>& entries = entries_;
    listing.listed = ListFolderEntries(folder, &entries);
    const std::string prefix = folder.empty() || folder.back() != '/' ? folder + "/" : folder;
    for (FolderEntry& entry : entries) {
      if (IsTemporaryFileName(entry.name))
        Report(Relative(prefix + entry.name), 0,
               "a temporary file was left behind by an update that did not finish");
      std::string folded = Folded(entry.name);
      const auto [known, fresh] = listing.byFolded.emplace(std::move(folded), entry);
      if (!fresh)
        Report(Relative(prefix + entry.name), 0,
               fmt::format("'{}' and '{}' differ only in letter case: the service cannot tell which is meant",
                           known->second.name, entry.name));
    }
  }

  // The path of name in folder as the service finds it: the exact name, or
  // the one entry that matches it without regard to case; with what the
  // listing tells of it (null when the folder was not read).
  std::string Resolve(const std::string& folder, const Listing* listing, const std::string& name,
                      const FolderEntry** entry) const {
    static const FolderEntry kAbsent;
    *entry = nullptr;
    if (listing) {
      const auto found = listing->byFolded.find(Folded(name));
      if (found != listing->byFolded.end()) {
        *entry = &found->second;
        return folder + "/" + found->second.name;
      }
      if (listing->listed) *entry = &kAbsent;
    }
    return folder + "/" + name;
  }

  const Listing* ListingOf(const std::string& folder) const {
    const auto listed = folders_.find(folder);
    return listed == folders_.end() ? nullptr : &listed->second;
  }

  void CheckFolders() {
    ListFolder(session_.root());
    ListFolder(session_.TypeFolder());
    // The type folders are the folders named with four digits, as
    // TypeFolderNumbers finds them, here taken from the listing just made.
    if (const Listing* types = ListingOf(session_.TypeFolder())) {
      for (const auto& [folded, entry] : types->byFolded) {
        if (entry.directory && entry.name.size() == 4 &&
            entry.name.find_first_not_of("0123456789") == std::string::npos)
          typeFolders_.push_back(std::stoi(entry.name));
      }
    }
    std::sort(typeFolders_.begin(), typeFolders_.end());
    for (int number : typeFolders_) {
      CheckLinkedFolder(number);
      ListFolder(session_.TypeFolderOf(number));
    }
  }

  // A type folder that is a symbolic link takes the service's reads and
  // writes of that type wherever it leads, outside the tree too.
  void CheckLinkedFolder(int number) {
    const Listing* types = ListingOf(session_.TypeFolder());
    const auto entry = types->byFolded.find(fmt::format("{:04d}", number));
    if (entry == types->byFolded.end() || !entry->second.link) return;
    std::error_code ignored;
    const fs::path folder = session_.TypeFolderOf(number);
    const fs::path target = fs::read_symlink(folder, ignored);
    const fs::path resolved = fs::weakly_canonical(folder, ignored);
    const fs::path own = fs::weakly_canonical(session_.TypeFolder(), ignored);
    const bool inside = resolved.parent_path() == own;
    Report(
        Relative(folder.generic_string()), 0,
        fmt::format("type folder {:04d} is a symbolic link to '{}'{}: the service reads and writes type {}'s "
                    "files there; put the folder itself in its place",
                    number, target.generic_string(), inside ? "" : ", outside the tree", number),
        number);
  }

  void CheckCatalogue() {
    const FolderEntry* ignoredEntry = nullptr;
    const std::string path =
        Resolve(session_.TypeFolder(), ListingOf(session_.TypeFolder()), "mmi.typ", &ignoredEntry);
    const std::string file = Relative(path);
    std::error_code ignored;
    if (fs::is_directory(path, ignored))
      return Report(file, 0, "a folder stands where the catalogue belongs", -1, "", true);
    std::string bytes;
    FileError failure;
    if (!ReadWholeFile(path, kCatalogueFile, &bytes, &failure))
      return Report(file, 0, "the catalogue cannot be read: " + failure.reason, -1, "", true);
    std::istringstream in(std::move(bytes));
    std::map<std::string, std::pair<std::size_t, int>> partAt;  // part -> position, type
    int lineNo = 0;
    for (std::string line; std::getline(in, line);) {
      ++lineNo;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      CutComment(&line[0]);
      line.resize(std::strlen(line.c_str()));
      const std::string text = trim(&line[0]);
      if (text.empty() || text[0] == '[' || text[0] == '/') continue;
      int typeNo = -1;
      std::string name;
      if (!ParseRecord(text, &typeNo, &name)) {
        Report(file, lineNo, fmt::format("line not understood as a type record: {}", text));
        continue;
      }
      if (const auto seen = types_.find(typeNo); seen != types_.end()) {
        Report(file, lineNo,
               fmt::format("type number {} is listed twice (first on line {})", typeNo, seen->second));
        continue;
      }
      types_[typeNo] = lineNo;
      if (!name.empty()) CheckName(file, lineNo, typeNo, name, &partAt);
    }
  }

  static bool ParseRecord(const std::string& text, int* typeNo, std::string* name) {
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    std::string rest = end;
    const std::size_t comma = rest.find_first_not_of(" \t");
    if (end == text.c_str() || comma == std::string::npos || rest[comma] != ',') return false;
    if (number < 0 || number > TD_TYPE_NO_MAX) return false;
    *typeNo = static_cast<int>(number);
    rest = rest.substr(comma + 1);
    const std::size_t start = rest.find_first_not_of(" \t");
    if (start == std::string::npos) return true;  // "0, ": no name
    const std::size_t close = rest.find('"', start + 1);
    if (rest[start] != '"' || close == std::string::npos) return false;
    *name = rest.substr(start + 1, close - start - 1);
    return rest.find_first_not_of(" \t", close + 1) == std::string::npos;
  }

  // A name's own form through the tool's rules; its parts against the
  // types before it, in one pass over the catalogue.
  void CheckName(const std::string& file, int lineNo, int typeNo, const std::string& name,
                 std::map<std::string, std::pair<std::size_t, int>>* partAt) {
    const std::vector<std::string> parts = PartsOf(name);
    const bool blank = name.front() == ' ' || name.back() == ' ';
    bool control = false;
    for (unsigned char c : name) control = control || c < 0x20 || c == 0x7F;
    if (parts.empty() || blank || control || name.size() > TD_TYPE_NAME_MAX) {
      // A refusal of form needs no other type: RefusalOfName gives it at once.
      Report(file, lineNo, fmt::format("type {}: {}", typeNo, RefusalOfName(session_, name, typeNo)));
      return;
    }
    const std::size_t counted = static_cast<std::size_t>(GetMMISystemStruc()->namePartCount);
    for (std::size_t at = 0; at < parts.size() && at < counted; ++at) {
      const auto [first, fresh] = partAt->emplace(parts[at], std::make_pair(at, typeNo));
      if (!fresh && first->second.first != at) {
        Report(file, lineNo,
               fmt::format("type {}: part '{}' is part {} of type {}, and cannot be part {} here", typeNo,
                           parts[at], first->second.first + 1, first->second.second, at + 1));
      }
    }
  }

  void CheckUnlistedFolders() {
    for (int number : typeFolders_) {
      if (types_.count(number) || !HoldsAnything(session_.TypeFolderOf(number))) continue;
      Report(Relative(session_.TypeFolderOf(number)), 0,
             fmt::format("type folder {:04d} holds files, but the catalogue does not list type {}; "
                         "'typedata add --number {}' will not take it, 'typedata recover' lists a lost "
                         "catalogue's types",
                         number, number, number),
             number);
    }
  }

  void CheckType(DataFileChecker& files, int typeNo) {
    const std::string folder = session_.TypeFolderOf(typeNo);
    const Listing* listing = ListingOf(folder);
    int configIndex = 0;
    for (const ConfigRecord* config = GetMMISystemStruc()->configList; config;
         config = config->next, ++configIndex) {
      const int position = config->configNo - 1;
      char name[TD_DAT_NAME_SIZE];
      if (MakeDatFileName(name, typeNo, position) != 0) continue;
      const FolderEntry* listed = nullptr;
      const std::string path = Resolve(folder, listing, name, &listed);
      const std::string file = Relative(path);
      std::error_code ignored;
      if (listed ? listed->directory : fs::is_directory(path, ignored)) {
        Report(file, 0, "a folder stands where the type data file belongs", typeNo, config->name, true);
      } else if (!(listed ? listed->exists : fs::exists(path, ignored))) {
        Report(file, 0,
               fmt::format("type {}: the type data file of config {} is missing", typeNo, config->configNo),
               typeNo, config->name, true);
      } else {
        files.Check(typeNo, *config, position, configIndex, name, path, file, &problems_);
      }
    }
  }

  void CheckSharedConfigs() {
    const int partCount = GetMMISystemStruc()->namePartCount;
    std::vector<TypeInfo> types;
    bool typesRead = false;  // only when some config is shared
    std::vector<char> first;
    std::vector<char> other;
    for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next) {
      const int p = config->partNo;
      if (p < 1 || p > partCount) continue;
      if (!typesRead) {
        types = session_.Types();
        typesRead = true;
      }
      std::map<std::string, std::vector<int>> byPart;
      for (const TypeInfo& type : types) {
        if (static_cast<int>(type.parts.size()) >= p) byPart[type.parts[p - 1]].push_back(type.number);
      }
      for (const auto& [part, numbers] : byPart) {
        if (numbers.size() < 2) continue;
        std::size_t firstSize = 0;
        if (!ReadFileInto(session_.DataFile(numbers[0], config->name), &first, &firstSize)) continue;
        for (std::size_t i = 1; i < numbers.size(); ++i) {
          const std::string path = session_.DataFile(numbers[i], config->name);
          std::size_t otherSize = 0;
          if (ReadFileInto(path, &other, &otherSize) &&
              std::string_view(other.data(), otherSize) != std::string_view(first.data(), firstSize)) {
            Report(Relative(path), 0,
                   fmt::format("shared config {} (part {} '{}') differs from type {}'s", config->name, p,
                               part, numbers[0]),
                   numbers[i], config->name);
          }
        }
      }
    }
  }

  const Session& session_;
  std::map<std::string, Listing> folders_;  // folder -> its entries
  std::vector<int> typeFolders_;            // the numbers of the type folders
  std::vector<FolderEntry> entries_;        // the last folder's, kept for its memory
  std::map<int, int> types_;                // type number -> catalogue line
  std::vector<Problem> problems_;
};

}  // namespace

std::vector<Problem> CheckTree(const Session& session, Progress* progress) {
  return Checker(session).Run(progress);
}

std::vector<Problem> CheckTypeFiles(const Session& session, int typeNo) {
  return Checker(session).RunType(typeNo);
}

const Problem* LoadBlocker(const std::vector<Problem>& problems) {
  for (const Problem& problem : problems) {
    if (problem.blocksLoading) return &problem;
  }
  return nullptr;
}

}  // namespace tool
