// infer: the machine description that explains a tree's files.
#ifndef TOOLS_TYPEDATA_OPS_INFER_H
#define TOOLS_TYPEDATA_OPS_INFER_H

#include <string>

#include "core/refusal.h"
#include "infer/infer.h"

namespace tool::ops {

struct InferRequest {
  std::string root;  // the folder that holds type/
};

// What was inferred and the description's text. Conflicts are no refusal:
// the description is then the best the files allow (inference.conflicts).
struct InferModel {
  infer::Inference inference;
  std::string description;
};

// Reads the tree under its shared lock: refused for a tree another command
// changes and for a tree that cannot be read.
Result<InferModel> Infer(const InferRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_INFER_H
