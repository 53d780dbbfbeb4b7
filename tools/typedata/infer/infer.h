// typedata infer: the machine description that explains a type tree.
//
// The files tell the configs (from the file names' prefixes), each kind's
// item count, the items that no file holds, whether an item is real or
// integer, the values that make good defaults and the name part through
// which a config is shared. They do not tell config numbers, conversions,
// offline copies, boards, the HPC link or the locale: those are guessed or
// taken from the sample machine, and every guess carries its evidence.
#ifndef TOOLS_TYPEDATA_INFER_INFER_H
#define TOOLS_TYPEDATA_INFER_INFER_H

#include <string>
#include <vector>

#include "machine/machine.h"

namespace tool::infer {

// Something the files contradict themselves on. line 0: the file as a whole.
struct Conflict {
  std::string file;  // relative to the root, "/" separators
  int line = 0;
  std::string problem;
};

// Why a statement of the description says what it says.
struct Evidence {
  std::string text;      // the comment written after the statement
  bool assumed = false;  // the files cannot tell it: taken from the sample machine
};

// The items of one kind described alike, as one 'item' statement gives them.
struct ItemRun {
  int first = 1;
  int last = 1;
  Evidence why;
};

struct KindEvidence {
  Evidence count;             // for the 'items' statement
  std::vector<ItemRun> runs;  // items 1 to count, in runs of equal description and evidence
};

struct ConfigEvidence {
  Evidence number;  // config number and position in the config list
  Evidence part;
  KindEvidence kinds[5];  // D, S, A, L, V
};

struct Inference {
  mmisim::Machine machine;              // the description as the parser would give it
  std::vector<ConfigEvidence> configs;  // parallel to machine.configs
  Evidence locale, offline, nameParts, listOrder, hpc, boards;
  int types = 0;  // in the catalogue
  int files = 0;  // type data files read
  long long bytes = 0;
  std::vector<Conflict> conflicts;
  std::vector<std::string> notes;  // what was passed over, and why
};

// Infers the machine of the tree root/type. False with a message when there
// is no type folder to read; everything else, however odd, gives a
// description (and conflicts). Changes the current directory while it reads
// the catalogue and restores it before it returns.
bool InferTree(const std::string& root, Inference* inference, std::string* error);

// The description in the documented format, every guess commented.
std::string DescriptionText(const Inference& inference, const std::string& source);

}  // namespace tool::infer

#endif  // TOOLS_TYPEDATA_INFER_INFER_H
