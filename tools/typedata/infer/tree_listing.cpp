#include "infer/tree_listing.h"

#include <fmt/core.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "core/open_file.h"

namespace fs = std::filesystem;

namespace tool::infer {
namespace {

constexpr std::size_t kMaxPrefix = 7;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool Digits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool PrefixCharacters(const std::string& prefix) {
  return std::all_of(prefix.begin(), prefix.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
  });
}

std::vector<fs::directory_entry> Sorted(const fs::path& folder) {
  std::vector<fs::directory_entry> entries;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) entries.push_back(entry);
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
  return entries;
}

void ListTypeFolder(const fs::directory_entry& folder, int typeNo, TreeListing* listing,
                    std::vector<Conflict>* conflicts, std::vector<std::string>* notes) {
  const std::string folderName = folder.path().filename().string();
  for (const auto& entry : Sorted(folder.path())) {
    const std::string name = entry.path().filename().string();
    const std::string file = "type/" + folderName + "/" + name;
    std::error_code ignored;
    if (!entry.is_regular_file(ignored)) {
      notes->push_back(file + ": not a file; passed over");
      continue;
    }
    const std::string lower = Lower(name);
    if (lower == "temp.dat") {
      conflicts->push_back({file, 0, "a temporary file was left behind by an update that did not finish"});
      continue;
    }
    if (lower.size() < 9 || lower.compare(lower.size() - 4, 4, ".dat") != 0) {
      notes->push_back(file + ": not a type data file; passed over");
      continue;
    }
    const std::string digits = name.substr(name.size() - 8, 4);
    const std::string prefix = name.substr(0, name.size() - 8);
    if (!Digits(digits) || prefix.empty()) {
      notes->push_back(file + ": not named <prefix><nnnn>.DAT; passed over");
      continue;
    }
    if (std::stoi(digits) != typeNo) {
      conflicts->push_back(
          {file, 0, fmt::format("the file's number {} is not its folder's; passed over", digits)});
      continue;
    }
    if (prefix.size() > kMaxPrefix || !PrefixCharacters(prefix)) {
      conflicts->push_back(
          {file, 0,
           fmt::format("prefix '{}' cannot be a config's (letters and digits, at most {}); passed over",
                       prefix, kMaxPrefix)});
      continue;
    }
    listing->files.push_back({typeNo, prefix, entry.path().string(), file});
  }
}

}  // namespace

bool ListTree(const std::string& root, TreeListing* listing, std::vector<Conflict>* conflicts,
              std::vector<std::string>* notes, std::string* error) {
  *listing = TreeListing();
  const fs::path typeFolder = fs::path(root) / "type";
  std::error_code failure;
  if (!fs::is_directory(typeFolder, failure)) {
    *error = typeFolder.generic_string() + ": no type folder here (give --root the folder that holds type/)";
    return false;
  }
  listing->typeFolder = typeFolder.string();
  for (const auto& entry : Sorted(typeFolder)) {
    const std::string name = entry.path().filename().string();
    const std::string lower = Lower(name);
    std::error_code ignored;
    if (name.rfind(".typedata-", 0) == 0) continue;  // the tool's own: the lock, the journal
    if (entry.is_symlink(ignored) && name.size() == 4 && Digits(name)) {
      conflicts->push_back(
          {"type/" + name, 0, "the type folder is a symbolic link; not followed (its files are left out)"});
    } else if (entry.is_directory(ignored) && name.size() == 4 && Digits(name)) {
      const int typeNo = std::stoi(name);
      listing->folders.insert(typeNo);
      ListTypeFolder(entry, typeNo, listing, conflicts, notes);
    } else if (lower == "mmi.typ") {
      // The host reads it as it starts, and would wait on a FIFO.
      if (FileError failure; !CheckReadable(entry.path().string(), kCatalogueFile, &failure)) {
        conflicts->push_back({"type/" + name, 0, "the catalogue cannot be read: " + failure.reason});
        continue;
      }
      if (listing->catalogue)
        conflicts->push_back({"type/" + name, 0, "a second catalogue, in another letter case"});
      listing->catalogue = true;
    } else if (lower == "temp.typ") {
      conflicts->push_back(
          {"type/" + name, 0, "a temporary file was left behind by an update that did not finish"});
    } else {
      notes->push_back("type/" + name + ": neither a type folder nor the catalogue; passed over");
    }
  }
  return true;
}

}  // namespace tool::infer
