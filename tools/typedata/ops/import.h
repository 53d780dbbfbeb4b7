// import: values from an export (CSV or JSON) into a type, saved with the
// types that share the configs changed.
#ifndef TOOLS_TYPEDATA_OPS_IMPORT_H
#define TOOLS_TYPEDATA_OPS_IMPORT_H

#include <optional>
#include <string>
#include <vector>

#include "core/edit.h"
#include "core/refusal.h"
#include "core/session.h"
#include "ops/models.h"
#include "ops/save_values.h"

namespace tool::ops {

struct ImportRequest {
  int number = 0;
  std::string file;             // as given, for messages
  std::vector<Change> changes;  // what the file holds (ReadImportFile)
  bool strict = false;          // refuse values that would be stored rounded
};

// Reads and parses the file into request (file and changes), before any
// tree is opened: the file is named from where the command was given.
std::optional<Refusal> ReadImportFile(const std::string& file, ImportRequest* request);

// What import did: the values that changed and the files saved (none when
// nothing changed), or when the save failed what became of it.
struct ImportOutcome {
  ImportModel model;
  std::vector<std::string> notes;  // values stored rounded
  std::optional<SaveFailure> failure;
};

// Refused before anything is written; a save that fails is an outcome.
Result<ImportOutcome> Import(Session& session, const ImportRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_IMPORT_H
