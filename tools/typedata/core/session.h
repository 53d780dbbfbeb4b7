// One run of the tool: a machine, a type tree, and the simulated host
// started on them, as a host program starts before it calls the service.
#ifndef TOOLS_TYPEDATA_CORE_SESSION_H
#define TOOLS_TYPEDATA_CORE_SESSION_H

#include <memory>
#include <string>
#include <vector>

#include "core/lock.h"
#include "mmisim.h"

namespace tool {

struct GlobalOptions {
  std::string root = ".";  // the folder that holds type/
  std::string machine;     // a machine description; empty: the one the tree remembers
  bool force = false;      // take --machine although the tree remembers another
  bool json = false;
  bool strict = false;  // refuse values that would be stored rounded
  // Who changes the tree and why, for its history.
  std::string user;       // "": TYPEDATA_USER, else the login name
  std::string reason;     // required of every change where the tree says so
  std::string checkedBy;  // who checked the change, when someone did
  std::string words;      // the command as given, for the history's entry
};

// What a command does to the tree: reading commands share its lock, a
// changing command holds it alone for its whole run.
enum class Access { kRead, kChange };

struct TypeInfo {
  int number = 0;
  std::string name;
  std::vector<std::string> parts;  // empty for a malformed or empty name
  bool current = false;
};

class Session {
 public:
  Session() = default;
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Takes the tree's lock, loads the machine (the one given, else the one
  // the tree remembers, else the sample machine), moves into root/type
  // (root and type made first when makeTypeFolder) so that the service's
  // "..\type\" is root/type, starts the host, which reads the catalogue,
  // and takes the current type from the state file.
  bool Open(const GlobalOptions& options, Access access, bool makeTypeFolder, std::string* error);
  // A reading session.
  bool Open(const GlobalOptions& options, bool makeTypeFolder, std::string* error) {
    return Open(options, Access::kRead, makeTypeFolder, error);
  }
  // Open failed because another command held the tree.
  bool busy() const { return busy_; }
  // What Open found of an interrupted command's journal (rolled back, or
  // left for a changing command), each line as the command line says it
  // on stderr; kept whether or not Open succeeded.
  const std::vector<std::string>& rolledBack() const { return rolledBack_; }

  const std::string& root() const { return root_; }
  std::string TypeFolder() const { return root_ + "/type"; }
  std::string CataloguePath() const;  // the catalogue file, whatever its letter case
  bool CatalogueExists() const;

  // Whether the service may be handed typeNo's data files: each one there
  // is a regular file no bigger than a data file can be. False with a
  // message naming the first that is not.
  bool TypeFilesReadable(int typeNo, std::string* error) const;

  // The current type, -1 when none is known.
  int current() const { return current_; }
  // Makes typeNo the host's current type (system record) and remembers it.
  bool SetCurrent(int typeNo);
  // Makes typeNo current in the host only, for the length of this run.
  void MakeCurrentInHost(int typeNo);

  // The catalogue's types in list order (the combo box's catalogue order),
  // or sorted by name without regard to case.
  std::vector<TypeInfo> Types(bool sortedByName = false) const;
  bool TypeExists(int typeNo) const;
  std::string TypeName(int typeNo) const;

  // The path of a config's type data file of a type.
  std::string DataFile(int typeNo, const std::string& prefix) const;
  // The folder of a type's files.
  std::string TypeFolderOf(int typeNo) const;

  // The machine description this run uses, as text ("" for the sample
  // machine of a tree that remembers none), and the file that keeps the
  // tree's machine.
  const std::string& machineText() const { return machineText_; }
  std::string MachinePath() const { return root_ + "/.typedata-machine"; }
  // Keeps this run's machine with the tree (changing sessions only).
  bool RememberMachine(std::string* error) const;

 private:
  std::string StatePath() const { return root_ + "/.typedata-state"; }
  // Every file that the service could take for the catalogue is one it can read.
  bool CheckCatalogues(std::string* error) const;
  void SaveState() const;
  bool LoadMachine(const GlobalOptions& options, Access access, mmisim::Machine* machine, std::string* error);

  std::unique_ptr<TreeLock> lock_;  // released after the host stops
  std::string machineText_;
  bool rememberMachine_ = false;  // this run's machine is to be kept with the tree
  bool busy_ = false;
  std::vector<std::string> rolledBack_;
  std::string root_;
  std::string previousDirectory_;
  int current_ = -1;
  bool open_ = false;
};

// The parts of a name as the service splits it; empty when malformed.
std::vector<std::string> PartsOf(const std::string& name);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_SESSION_H
