// log's presentation: its JSON document and its text, a report fit for
// paper ("changed since release").
#ifndef TOOLS_TYPEDATA_RENDER_LOG_DOCUMENT_H
#define TOOLS_TYPEDATA_RENDER_LOG_DOCUMENT_H

#include "ops/log.h"
#include "render/documents.h"

namespace tool {

Document ToDocument(const LogModel& model);
void PrintText(const LogModel& model, Output& out);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_RENDER_LOG_DOCUMENT_H
