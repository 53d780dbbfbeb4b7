#include "tool_tree.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/lock.h"
#include "core/open_tree.h"
#include "fuzz_support.h"
#include "ops/add.h"
#include "ops/init.h"
#include "ops/set.h"

namespace fs = std::filesystem;

namespace td::fuzz {
namespace {

bool IsLock(const std::string& root, const fs::path& path) {
  return path.lexically_normal() == fs::path(tool::TreeLock::PathIn(root)).lexically_normal();
}

constexpr const char* kFiles[] = {
    "type/mmi.typ",           "type/0000/MAIN0000.DAT",    "type/0001/MAIN0001.DAT",
    "type/0001/TOOL0001.DAT", "type/0001/FEED0001.DAT",    "type/0001/MAT0001.DAT",
    "type/0002/TOOL0002.DAT", "type/0002/main0002.dat",    "type/0003/MAT0003.DAT",
    "type/0009/MAIN0009.DAT", "type/0001/~td0123abcd.tmp", "type/0003/TEMP.DAT",
    ".typedata-state",        ".typedata-machine",         "type/MMI.TYP",
    "type/0002/FEED0002.DAT",
};
constexpr std::size_t kFileCount = sizeof kFiles / sizeof kFiles[0];

}  // namespace

void LayRecords(const std::string& root, const std::string& text) {
  std::size_t at = text.rfind("@@", 0) == 0 ? 0 : text.find("\n@@");
  if (at != 0 && at != std::string::npos) ++at;
  while (at != std::string::npos && at < text.size()) {
    const std::size_t header = text.find('\n', at);
    const std::string head =
        text.substr(at + 2, header == std::string::npos ? std::string::npos : header - at - 2);
    std::size_t next = header == std::string::npos ? std::string::npos : text.find("\n@@", header);
    const std::size_t end = next == std::string::npos ? text.size() : next + 1;
    const std::string path = root + "/" + kFiles[std::strtoul(head.c_str(), nullptr, 10) % kFileCount];
    if (!head.empty() && head.back() == '-') {
      std::error_code error;
      std::filesystem::remove(path, error);
    } else {
      const std::size_t body = header == std::string::npos ? text.size() : header + 1;
      td::fuzz::WriteFile(path, text.substr(body, end > body ? end - body : 0));
    }
    at = next == std::string::npos ? std::string::npos : next + 1;
  }
}

Files Snapshot(const std::string& root) {
  Files files;
  std::error_code error;
  for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
    if (!it->is_regular_file() || IsLock(root, it->path())) continue;
    std::ifstream in(it->path(), std::ios::binary);
    files[fs::relative(it->path(), root).generic_string()] =
        std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  return files;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::error_code error;
  fs::create_directories(fs::path(path).parent_path(), error);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void Restore(const std::string& root, const Files& files) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(root, error)) {
    if (!IsLock(root, entry.path())) fs::remove_all(entry.path(), error);
  }
  for (const auto& [path, bytes] : files) WriteFile(root + "/" + path, bytes);
}

const ToolTree& SampleTree() {
  static const ToolTree tree = [] {
    ToolTree made;
    // In memory where there is such a file system: the tool flushes every file it writes.
    std::string folder = fs::is_directory("/dev/shm") ? "/dev/shm/td-fuzz-XXXXXX" : "/tmp/td-fuzz-XXXXXX";
    Require(mkdtemp(folder.data()) != nullptr, "a temporary folder");
    made.base = folder;
    made.root = made.base + "/tree";
    std::error_code error;
    Require(fs::create_directory(made.root, error), "a folder for the tree");
    made.options.root = made.root;
    {
      tool::Session session;
      Require(!tool::OpenSession(made.options, tool::Access::kChange, &session, /*makeTypeFolder=*/true) &&
                  tool::ops::Init(session, {}).ok(),
              "init");
    }
    const auto add = [&](const char* name, int number) {
      tool::Session session;
      Require(!tool::OpenTree(made.options, tool::Access::kChange, &session) &&
                  tool::ops::Add(session, {name, number, 0}).ok(),
              name);
    };
    add("T40+STEEL+FAST", 1);
    add("T40+ALU+SLOW", 2);
    add("T50+STEEL+SLOW", 3);
    {
      tool::Session session;
      Require(!tool::OpenTree(made.options, tool::Access::kChange, &session), "a session for set");
      const tool::Result<tool::ops::SetOutcome> set =
          tool::ops::Set(session, {1, "TOOL", {"D:1=41.5", "V:1=die-7"}, false});
      Require(set.ok() && !set.model().failure, "set 1");
    }
    made.pristine = Snapshot(made.root);
    return made;
  }();
  static const bool cleaned = [] {
    std::atexit([] {
      std::error_code error;
      fs::remove_all(tree.base, error);
    });
    return true;
  }();
  (void)cleaned;
  return tree;
}

}  // namespace td::fuzz
