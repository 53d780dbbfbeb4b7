// The revisions of a type's files in a document, and the document of a
// save refused because its files changed since they were read.
#ifndef TOOLS_TYPEDATA_RENDER_CONFLICT_DOCUMENT_H
#define TOOLS_TYPEDATA_RENDER_CONFLICT_DOCUMENT_H

#include <string>
#include <vector>

#include "core/revision.h"
#include "ops/models.h"
#include "render/documents.h"

namespace tool {

// "revision" (of every file together) and "revisions" (each config's file).
void AddRevisions(const std::vector<FileRevision>& files, Document* document);

// Configs left out of a document because their file cannot be read:
// config, file, problem (in check's words).
Document BrokenDocument(const std::vector<BrokenConfig>& broken);

// What the conflict says: a line for each file that changed, the first
// its summary (the error), then one a value, "TOOL D:1: 40 -> 77".
std::vector<std::string> ConflictLines(const RevisionConflict& conflict);

// The set document (type, name) with "error", "changed" (each value: seen,
// null when not known, and now), "files" (each: the revision read and the
// one now) and the files' revisions now, to save over them.
Document ConflictDocument(int type, const std::string& name, const std::string& error,
                          const RevisionConflict& conflict);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_RENDER_CONFLICT_DOCUMENT_H
