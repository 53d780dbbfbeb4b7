#include "tree.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace tool {

std::string ReadBytes(const std::string& path, bool* ok) {
  std::ifstream in(path, std::ios::binary);
  if (ok) *ok = static_cast<bool>(in);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  const std::string temp = path + ".restore-tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) return false;
  }
  std::error_code error;
  fs::rename(temp, path, error);
  if (error) fs::remove(temp, error);
  return !error;
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
