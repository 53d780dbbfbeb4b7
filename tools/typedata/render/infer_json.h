// The JSON document of typedata infer (docs/json.md).
#ifndef TOOLS_TYPEDATA_RENDER_INFER_JSON_H
#define TOOLS_TYPEDATA_RENDER_INFER_JSON_H

#include <string>

#include "render/documents.h"
#include "infer/infer.h"

namespace tool::infer {

// written: the file the description went to, "" for none.
Document InferDocument(const Inference& inference, const std::string& root, const std::string& description,
                       const std::string& written);

}  // namespace tool::infer

#endif  // TOOLS_TYPEDATA_RENDER_INFER_JSON_H
