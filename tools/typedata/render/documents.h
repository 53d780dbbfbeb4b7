// The JSON document of every command (docs/json.md describes them). Each
// carries "schemaVersion" and "command"; numbers are typed (an integer
// item's value is an integer, a real item's a number, a V text a string);
// items come in numeric order. The browser interface sends the same
// documents: these are plain functions of the commands' models.
#ifndef TOOLS_TYPEDATA_RENDER_DOCUMENTS_H
#define TOOLS_TYPEDATA_RENDER_DOCUMENTS_H

#include <nlohmann/json.hpp>
#include <string>

#include "core/save_failure.h"
#include "ops/models.h"
#include "render/output.h"

namespace tool {

// Ordered: members stay in the order written, so documents read top down.
using Document = nlohmann::ordered_json;

// Raised when a document's members change incompatibly.
constexpr int kSchemaVersion = 1;

// {"schemaVersion": 1, "command": command}
Document NewDocument(const std::string& command);

// An item's value as a typed JSON value, and its default (null for V).
Document ValueJson(const ItemValue& item, char kind);
Document DefaultJson(const ItemValue& item, char kind);

Document ToDocument(const InitModel& model);
Document ToDocument(const ListModel& model);
Document ToDocument(const AddModel& model);
Document ToDocument(const RenameModel& model);
Document ToDocument(const UseModel& model);
Document ToDocument(const ShowModel& model);
Document ToDocument(const SetModel& model);
Document ToDocument(const DiffModel& model);
Document ToDocument(const CheckModel& model);
Document ToDocument(const ImportModel& model);
Document ToDocument(const RecoverModel& model);
Document ToDocument(const SharingModel& model);
Document ToDocument(const CompareModel& model);
Document ToDocument(const ReleaseModel& model);
Document ToDocument(const VerifyModel& model);
Document ToDocument(const RestoreModel& model);
Document ToDocument(const WatchModel& model);
// The export: every in-use item of every config, by kind, keyed by item
// number. Only for a type whose texts are UTF-8 (ExportRefusal).
Document ExportDocument(const TypeValues& values);
// Why a type cannot be exported as JSON exactly ("" when it can).
std::string ExportRefusal(const TypeValues& values);

// The command's document for a failed save: what it holds, saved and
// shared naming only the files that hold new values, with "error" and
// "putBack" (docs/json.md).
Document FailedSaveDocument(Document document, const FailedSave& failed);

// The text the command line prints for a model (render/text.cpp).
void PrintText(const InitModel& model, Output& out);
void PrintText(const ListModel& model, Output& out);
void PrintText(const AddModel& model, Output& out);
// What add says on stderr, without the number it prints for scripts.
void PrintAdded(const AddModel& model, Output& out);
void PrintText(const RenameModel& model, Output& out);
void PrintText(const UseModel& model, Output& out);
void PrintText(const ShowModel& model, Output& out);
void PrintText(const SetModel& model, Output& out);
void PrintText(const DiffModel& model, Output& out);
void PrintText(const CheckModel& model, Output& out);
void PrintText(const ImportModel& model, Output& out);
void PrintText(const RecoverModel& model, Output& out);
void PrintText(const SharingModel& model, Output& out);
void PrintText(const CompareModel& model, Output& out);
void PrintText(const ReleaseModel& model, Output& out);
void PrintText(const VerifyModel& model, Output& out);
void PrintText(const RestoreModel& model, Output& out);

// The document with --json, the text without.
template <typename Model>
void Present(const GlobalOptions& options, const Model& model, Output& out) {
  if (options.json)
    out.Document(ToDocument(model));
  else
    PrintText(model, out);
}

}  // namespace tool

#endif  // TOOLS_TYPEDATA_RENDER_DOCUMENTS_H
