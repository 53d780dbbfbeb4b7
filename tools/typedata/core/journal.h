// Every changing command is all or nothing. Before its first change a
// command that changes more than one file writes a journal in the type
// folder (type/.typedata-journal): the files it may change, each with what
// it held (a second name of the old file: the service and the tool replace
// files by renaming a new one over them, so the old one stays as it was;
// a copy where no second name can be made), or marked absent. The journal
// goes when the command ends, having finished or having put everything
// back; a journal found by the next command is an interrupted one, and
// that command puts the tree back as it was before it.
#ifndef TOOLS_TYPEDATA_CORE_JOURNAL_H
#define TOOLS_TYPEDATA_CORE_JOURNAL_H

#include <memory>
#include <string>
#include <vector>

namespace tool {

class TreeLock;

// The journal's folder in a type folder.
std::string JournalPath(const std::string& typeFolder);

class Journal {
 public:
  // command: the command's name, for the message of the next command
  // should this one be cut short.
  Journal(std::string typeFolder, std::string command);
  // A command that began and did not finish is put back.
  ~Journal();
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  // Names every file the command may change (paths relative to the type
  // folder, "0003/TOOL0003.DAT", "mmi.typ") and keeps what they hold, the
  // journal written and flushed before it returns. False with the reason,
  // nothing in the tree changed.
  bool Begin(const std::vector<std::string>& files, std::string* error);

  // Whether a file named to Begin now differs from what it held: made,
  // removed, or other bytes.
  bool Changed(const std::string& file) const;
  // The files named to Begin that changed, in the order named.
  std::vector<std::string> ChangedFiles() const;

  // The command's changes stand: the journal goes.
  bool Finish(std::string* error);
  // A failed command: every file named is put back as it was and the
  // journal goes. *putBack gets the files that had changed. False with
  // what could not be put back in *error; the journal then stays for the
  // next command to try again.
  bool PutBack(std::vector<std::string>* putBack, std::string* error);

 private:
  std::string typeFolder_;
  std::string command_;
  std::vector<std::string> files_;  // as named to Begin
  std::vector<std::string> paths_;  // as found in the tree (letter case)
  std::vector<int> kept_;           // 1 kept, -1 absent, -2 a folder left alone
  bool open_ = false;
};

// Called right after a command takes the tree's lock: a journal that an
// interrupted command left is rolled back, and said gets the lines that
// say so, as the command line says them (not made printable). A changing
// command (exclusive lock) rolls back or fails with *error. A reading
// command takes the lock alone for the roll-back, waiting for it as a
// changing command does, and then shares it again; when it cannot have it,
// it says that the tree holds an interrupted change that the next changing
// command puts back, and reads on.
bool RollBackInterrupted(const std::string& root, const std::string& typeFolder,
                         std::unique_ptr<TreeLock>* lock, std::vector<std::string>* said, std::string* error);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_JOURNAL_H
