#include "support/workspace.h"

#include "platform/temp_file.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace td::testing {

Workspace::Workspace() {
  previous_ = fs::current_path().string();
  std::random_device seed;
  std::mt19937_64 random(seed());
  const fs::path base = fs::temp_directory_path();
  for (;;) {
    std::ostringstream name;
    name << "typedata-test-" << std::hex << random();
    const fs::path candidate = base / name.str();
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      root_ = candidate.generic_string();
      break;
    }
  }
  fs::create_directories(root_ + "/work");
  fs::current_path(root_ + "/work");
}

Workspace::~Workspace() {
  std::error_code error;
  fs::current_path(previous_, error);
  fs::remove_all(root_, error);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::string& path) { return fs::exists(path); }

void MakeDirs(const std::string& path) { fs::create_directories(path); }

bool TemporaryFileIn(const std::string& folder) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (platform::IsTemporaryName(entry.path().filename().string())) return true;
  }
  return false;
}

}  // namespace td::testing
