// A command of the tool, and the table of them all. The dispatcher defines
// each command's arguments on the parser, opens the tree as the table says
// (and takes its lock) once, and runs the command's glue on it: the glue
// calls an operation and presents its model or its refusal.
#ifndef TOOLS_TYPEDATA_CLI_COMMAND_H
#define TOOLS_TYPEDATA_CLI_COMMAND_H

#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "core/session.h"
#include "render/output.h"

namespace tool {

// What a command needs of the tree before its glue runs.
enum class TreeNeed {
  kNone,           // nothing: it opens what it needs itself, or no tree at all
  kRead,           // an existing catalogue, the lock shared
  kChange,         // an existing catalogue, the lock held alone
  kReadAny,        // the tree with or without a catalogue, the lock shared
  kChangeAny,      // the tree with or without a catalogue, the lock held alone
  kMakeAndChange,  // the root and its type folder made first, the lock held alone
};

// Whether a command of this need changes the tree.
bool Changes(TreeNeed need);

class Command {
 public:
  Command() = default;
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;
  virtual ~Command() = default;

  // Its arguments and options, on its own part of the parser.
  virtual void Define(CLI::App& command) = 0;
  // What is done before the tree is opened (a file the user named, read
  // from where the command was given; arguments that do not fit): kDone
  // to go on, else the exit status, said.
  virtual int Prepare(const GlobalOptions& /*options*/, Output& /*out*/) { return 0; }
  // The command on the tree opened as its row says (nullptr for kNone).
  virtual int Run(const GlobalOptions& options, Session* session, Output& out) = 0;
  // Whether a change it makes goes into the tree's history (made for a
  // tree that has none yet); init --no-history says no.
  virtual bool KeepsHistory() const { return true; }
};

struct CommandRow {
  const char* name;
  const char* summary;  // the help's line
  TreeNeed tree;
  std::unique_ptr<Command> (*make)();
};

// The commands, in the order the help lists them.
const std::vector<CommandRow>& CommandTable();
const CommandRow* FindCommand(const std::string& name);

// Prepares command, opens the tree as row says, and runs it; the exit status.
int Dispatch(const CommandRow& row, Command& command, const GlobalOptions& options, Output& out);

// Runs a command given as words ("set", "1", "MAIN", "D:1=20.25") on the
// tree of options, as if typed (the demo's steps); the exit status.
int RunWords(const GlobalOptions& options, const std::vector<std::string>& words, Output& out);

// Each command's maker (one file each in cli/).
std::unique_ptr<Command> MakeDemo();
std::unique_ptr<Command> MakeInit();
std::unique_ptr<Command> MakeList();
std::unique_ptr<Command> MakeAdd();
std::unique_ptr<Command> MakeRename();
std::unique_ptr<Command> MakeUse();
std::unique_ptr<Command> MakeShow();
std::unique_ptr<Command> MakeSet();
std::unique_ptr<Command> MakeDiff();
std::unique_ptr<Command> MakeLog();
std::unique_ptr<Command> MakeCompare();
std::unique_ptr<Command> MakeSharing();
std::unique_ptr<Command> MakeRecover();
std::unique_ptr<Command> MakeCheck();
std::unique_ptr<Command> MakeInfer();
std::unique_ptr<Command> MakeExport();
std::unique_ptr<Command> MakeImport();
std::unique_ptr<Command> MakeServe();
std::unique_ptr<Command> MakeRelease();
std::unique_ptr<Command> MakeHistory();
std::unique_ptr<Command> MakeRestore();
std::unique_ptr<Command> MakeWatch();

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CLI_COMMAND_H
