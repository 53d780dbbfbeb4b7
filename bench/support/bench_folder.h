// A fresh folder for one benchmark program: the current directory becomes
// its child "work", so that the service's "..\type\" lands inside it. The
// folder is removed when the object goes.
#ifndef TYPEDATA_BENCH_SUPPORT_BENCH_FOLDER_H
#define TYPEDATA_BENCH_SUPPORT_BENCH_FOLDER_H

#include <string>

namespace bench {

class BenchFolder {
 public:
  BenchFolder();
  ~BenchFolder();
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;

  // The folder's path on this system.
  const std::string& root() const { return root_; }
  // The system path of "..\type\<relative>" ("/" separators).
  std::string TypePath(const std::string& relative) const { return root_ + "/type/" + relative; }

 private:
  std::string root_;
};

}  // namespace bench

#endif  // TYPEDATA_BENCH_SUPPORT_BENCH_FOLDER_H
