// Every test works in a fresh temporary folder: the current directory is
// its child "work", so the service's "..\type\" lands inside it.
#ifndef TESTS_SUPPORT_WORKSPACE_H
#define TESTS_SUPPORT_WORKSPACE_H

#include <gtest/gtest.h>

#include <string>

namespace td::testing {

class Workspace {
 public:
  Workspace();
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  // The temporary folder (the parent of the current directory).
  const std::string& root() const { return root_; }
  // A path below root, with '/' separators.
  std::string Path(const std::string& relative) const { return root_ + "/" + relative; }

 private:
  std::string root_;
  std::string previous_;
};

// Whole-file helpers on real paths (not the service's).
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
void MakeDirs(const std::string& path);
// True when the folder (a real path) holds a temporary file of the service.
bool TemporaryFileIn(const std::string& folder);

// A test whose fixture is a fresh workspace.
class WorkspaceTest : public ::testing::Test {
 protected:
  Workspace workspace_;
};

}  // namespace td::testing

#endif  // TESTS_SUPPORT_WORKSPACE_H
