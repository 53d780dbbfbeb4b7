#include "file_system.h"

namespace td::platform {
namespace {

// The one replaceable table of file operations, as the service's single
// thread sees it. Null means the platform's own.
FileSystem* g_file_system = nullptr;

}  // namespace

bool FileSystem::SyncFiles(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    auto file = OpenWrite(path, WriteMode::kAppend);
    if (!file || !file->Sync() || !file->Close()) return false;
  }
  return true;
}

bool FileSystem::SyncDirs(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    if (!SyncDir(folder)) return false;
  }
  return true;
}

bool FileSystem::Replaceable(const std::string& path) {
  if (!Exists(path)) return true;
  auto probe = OpenWrite(path, WriteMode::kAppend);
  return probe && probe->Close();
}

FileSystem& Fs() { return g_file_system ? *g_file_system : DefaultFileSystem(); }

FileSystem* SetFileSystem(FileSystem* fs) {
  FileSystem* before = g_file_system;
  g_file_system = fs;
  return before;
}

std::string ParentOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  if (cut == std::string::npos) return ".";
  if (cut == 0) return path.substr(0, 1);
  return path.substr(0, cut);
}

}  // namespace td::platform
