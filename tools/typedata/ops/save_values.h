// The steps that set and import share: changes reviewed and applied to a
// loaded type, then the type saved under a journal.
#ifndef TOOLS_TYPEDATA_OPS_SAVE_VALUES_H
#define TOOLS_TYPEDATA_OPS_SAVE_VALUES_H

#include <optional>
#include <string>
#include <vector>

#include "core/refusal.h"
#include "core/edit.h"
#include "ops/models.h"
#include "core/save_failure.h"
#include "core/session.h"
#include "core/value_review.h"

namespace tool::ops {

// Reviews the changes (the files' number forms, rounding) and applies them
// to the loaded type. applied gets every change, or with onlyChanged those
// that change a value; notes says which values were rounded. Refused at
// the first change that cannot be made, with the notes so far. where
// prefixes its message.
std::optional<Refusal> ReviewAndApply(bool strict, const TypeValues& loaded, std::vector<Change>& changes,
                                      const std::string& where, bool onlyChanged,
                                      std::vector<ReviewedChange>* applied, std::vector<std::string>* notes);

// A save that failed: what became of its files, what it says (in order),
// and whether it is refused (a type sharing a changed config did not
// receive it) or an input/output error.
struct SaveFailure {
  FailedSave save;
  std::vector<std::string> errors;
  RefusalKind kind = RefusalKind::kInputOutput;
};

// Saves the type under a journal and collects the files written: the
// type's own and the shared ones that went to other types. A save that
// fails, or whose push misses a type sharing a changed config, is put back
// whole. A failed save's message names the file and the system's reason.
std::optional<SaveFailure> SaveAndCollect(Session& session, int number, const char* command,
                                          SavedFiles* saved);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_SAVE_VALUES_H
