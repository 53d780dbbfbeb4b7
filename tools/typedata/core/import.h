// Reading an export (JSON or CSV) back as changes, every entry checked for
// its form before anything is changed.
#ifndef TOOLS_TYPEDATA_CORE_IMPORT_H
#define TOOLS_TYPEDATA_CORE_IMPORT_H

#include <string>
#include <vector>

#include "core/edit.h"

namespace tool {

// Reads text (the contents of file) into changes, each with the place it
// came from ("line 4", "configs[1].D.\"3\""). Refuses the whole text, with
// "file:line: what" or "file: path: what" in *error, on the first entry
// that is not a config, a kind D, S, A, L or V, an item number from 1 to
// 65535 and a value of the kind's form (a number, or a text for V).
// An empty file, an item given twice (two lines, two entries, or one key
// twice in a JSON object) and a text that is neither JSON nor CSV are
// refused too. Lines may end in CR LF, LF or CR; a UTF-8 byte order mark
// is passed over.
bool ReadImport(const std::string& text, const std::string& file, std::vector<Change>* changes,
                std::string* error);

// "" when no item is changed twice; else what set or import says: the
// second change's place, the item, and the first's place (places[i] names
// where changes[i] came from). Two changes of one item would both be
// reported while only one is saved.
std::string RepeatedItem(const std::vector<Change>& changes, const std::vector<std::string>& places);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_IMPORT_H
