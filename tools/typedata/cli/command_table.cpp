// The tool's commands: what each is called, says of itself in the help,
// and needs of the tree (git's builtin table is the model).
#include "cli/command.h"

namespace tool {

const std::vector<CommandRow>& CommandTable() {
  static const std::vector<CommandRow> table = {
      {"demo", "the operator's day on the sample machine, narrated, in a new folder", TreeNeed::kNone,
       MakeDemo},
      {"init", "a new catalogue and type 0 from the machine's defaults", TreeNeed::kMakeAndChange, MakeInit},
      {"list", "the types: number, name, parts, which is current", TreeNeed::kRead, MakeList},
      {"add", "a new type: its files copied from a type, its shared configs pulled in", TreeNeed::kChange,
       MakeAdd},
      {"rename", "a new name for a type; the shared configs of its new parts pulled in", TreeNeed::kChange,
       MakeRename},
      {"use", "load a type, make it current and download it to the controller", TreeNeed::kChange, MakeUse},
      {"show", "every item of a type: number, data type, value, default", TreeNeed::kRead, MakeShow},
      {"set", "change values of a type as an operator would, and save", TreeNeed::kChange, MakeSet},
      {"diff", "the items whose values differ between two types", TreeNeed::kRead, MakeDiff},
      {"compare", "several types side by side, the values that differ marked", TreeNeed::kRead, MakeCompare},
      // log reads a tree whose catalogue is gone too: its trail says how it went.
      {"log", "the history's entries, newest first, each with its values old -> new", TreeNeed::kReadAny,
       MakeLog},
      {"sharing", "which types share which config through which name part", TreeNeed::kRead, MakeSharing},
      {"recover", "write a lost catalogue anew from the type folders found", TreeNeed::kChangeAny,
       MakeRecover},
      {"check", "validate the whole type tree against the machine", TreeNeed::kReadAny, MakeCheck},
      // infer takes the lock itself: it reads a tree that may have no catalogue or machine yet.
      {"infer", "write the machine description that explains the tree's files", TreeNeed::kNone, MakeInfer},
      {"export", "a type's values, exactly, as JSON or CSV", TreeNeed::kRead, MakeExport},
      {"import", "values from an export into a type, saved when they differ", TreeNeed::kChange, MakeImport},
      {"restore", "a type's values (a config's, an item's) put back as the history kept them at WHEN",
       TreeNeed::kChange, MakeRestore},
      // release writes no file of type/, but holds the lock alone as a change does: the outside changes
      // are recorded first, so the tag names the tree as it stands, and no change slips in between.
      {"release", "a named point of the tree's history (who, when, why)", TreeNeed::kChange, MakeRelease},
      // verify reads a tree whose catalogue may be gone by hand: that is what it names.
      {"history", "history verify: the chain of entries whole, the tree equal to the last",
       TreeNeed::kReadAny, MakeHistory},
      // watch takes the lock for each recording only; held while waiting it would shut out every change.
      {"watch", "record the changes made outside the tool as they settle, until stopped", TreeNeed::kNone,
       MakeWatch},
      // serve opens the tree for each request; held open it would keep its lock for as long as it serves.
      {"serve", "see and edit the types in the browser, on this machine only", TreeNeed::kNone, MakeServe},
  };
  return table;
}

const CommandRow* FindCommand(const std::string& name) {
  for (const CommandRow& row : CommandTable()) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

bool Changes(TreeNeed need) {
  return need == TreeNeed::kChange || need == TreeNeed::kChangeAny || need == TreeNeed::kMakeAndChange;
}

}  // namespace tool
