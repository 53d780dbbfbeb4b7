#include "core/tree.h"

#include <algorithm>
#include <filesystem>

#include "core/atomic_file.h"
#include "core/open_file.h"

namespace fs = std::filesystem;

namespace tool {

std::string ReadBytes(const std::string& path, bool* ok) {
  std::string bytes;
  FileError ignored;
  const bool read = ReadWholeFile(path, kTypeDataFile, &bytes, &ignored);
  if (ok) *ok = read;
  return bytes;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::string ignored;
  return ReplaceFileAtomically(path, bytes, &ignored);
}

std::vector<int> TypeFolderNumbers(const std::string& typeFolder) {
  std::vector<int> numbers;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(typeFolder, ignored)) {
    const std::string name = entry.path().filename().string();
    if (name.size() != 4 || !entry.is_directory(ignored)) continue;
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    numbers.push_back(std::stoi(name));
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

bool HoldsAnything(const std::string& folder) {
  std::error_code ignored;
  return fs::directory_iterator(folder, ignored) != fs::directory_iterator();
}

TreeFiles ReadTree(const std::string& folder) {
  TreeFiles files;
  std::error_code ignored;
  for (fs::recursive_directory_iterator it(folder, ignored), end; it != end; it.increment(ignored)) {
    if (!it->is_regular_file(ignored)) continue;
    files[fs::relative(it->path(), folder, ignored).generic_string()] = ReadBytes(it->path().string());
  }
  return files;
}

std::vector<std::string> ChangedFiles(const TreeFiles& before, const TreeFiles& after) {
  std::vector<std::string> changed;
  for (const auto& [path, bytes] : after) {
    const auto old = before.find(path);
    if (old == before.end() || old->second != bytes) changed.push_back(path);
  }
  return changed;
}

}  // namespace tool
