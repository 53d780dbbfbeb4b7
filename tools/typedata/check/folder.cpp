#include "check/folder.h"

#ifdef _WIN32
#include <filesystem>
#else
#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#endif

namespace tool {

#ifdef _WIN32

bool ListFolderEntries(const std::string& folder, std::vector<FolderEntry>* entries) {
  namespace fs = std::filesystem;
  entries->clear();
  std::error_code error;
  fs::directory_iterator it(folder, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    std::error_code ignored;
    entries->push_back({it->path().filename().string(), it->is_directory(ignored), it->exists(ignored),
                        it->is_symlink(ignored)});
  }
  return !error;
}

#else

bool ListFolderEntries(const std::string& folder, std::vector<FolderEntry>* entries) {
  entries->clear();
  DIR* dir = opendir(folder.c_str());
  if (!dir) return false;
  for (const dirent* entry; (entry = readdir(dir)) != nullptr;) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    FolderEntry listed{name, entry->d_type == DT_DIR, true, entry->d_type == DT_LNK};
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      // Only links and file systems that do not tell the kind need a call.
      const std::string path = folder + "/" + name;
      struct stat status;
      if (entry->d_type == DT_UNKNOWN && lstat(path.c_str(), &status) == 0)
        listed.link = S_ISLNK(status.st_mode);
      listed.exists = stat(path.c_str(), &status) == 0;
      listed.directory = listed.exists && S_ISDIR(status.st_mode);
    }
    entries->push_back(std::move(listed));
  }
  closedir(dir);
  return true;
}

#endif

}  // namespace tool
