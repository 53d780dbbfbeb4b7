// Changing a type's values as an operator does, and saving them.
#ifndef TOOLS_TYPEDATA_CORE_EDIT_H
#define TOOLS_TYPEDATA_CORE_EDIT_H

#include <string>
#include <vector>

#include "core/journal.h"
#include "core/session.h"
#include "core/values.h"

namespace tool {

struct Change {
  std::string prefix;  // the config
  char kind = 0;
  int item = 0;       // item number, from 1
  std::string value;  // as given: a number, or a V text
  std::string where;  // where an import took it from ("line 4"), for messages
};

// "KIND:ITEM=VALUE" for the config prefix.
bool ParseAssignment(const std::string& prefix, const std::string& text, Change* change, std::string* error);

// Puts a change into the loaded type (LoadType first): D, S and A into comm
// memory as the operator's screens do, and into the block; L and V into the
// block. Refuses items that do not exist or are not in use, numbers the
// controller cannot hold, texts that would not survive a save and a read.
// *changed tells whether the value differs from what the type held.
bool ApplyChange(const TypeValues& loaded, const Change& change, bool* changed, std::string* error);

// Saves every config of the type as the current type (SaveAllCurrentTypeData),
// the service pushing its shared configs to the types that share them, and
// gives the files written, relative to the type folder: those of the ones
// the journal names (begun on FilesASaveWrites) that changed.
bool SaveType(Session& session, int typeNo, const Journal& journal, std::vector<std::string>* written,
              std::string* error);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_EDIT_H
