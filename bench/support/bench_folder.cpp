#include "bench_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace bench {

BenchFolder::BenchFolder() {
  // TD_BENCH_DIR puts the folder on another disk than the default /tmp.
  const char* parent = std::getenv("TD_BENCH_DIR");
  std::string pattern = std::string(parent && *parent ? parent : "/tmp") + "/typedata-bench-XXXXXX";
  if (!mkdtemp(&pattern[0])) {
    std::perror("mkdtemp");
    std::abort();
  }
  root_ = pattern;
  std::filesystem::create_directories(root_ + "/work");
  std::filesystem::create_directories(root_ + "/type");
  std::filesystem::current_path(root_ + "/work");
}

BenchFolder::~BenchFolder() {
  std::error_code ignored;
  std::filesystem::current_path("/", ignored);
  std::filesystem::remove_all(root_, ignored);
}

}  // namespace bench
