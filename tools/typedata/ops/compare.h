// compare: several types side by side, every item their configs describe.
#ifndef TOOLS_TYPEDATA_OPS_COMPARE_H
#define TOOLS_TYPEDATA_OPS_COMPARE_H

#include <string>
#include <vector>

#include "core/refusal.h"
#include "core/session.h"
#include "ops/models.h"

namespace tool::ops {

struct CompareRequest {
  std::vector<int> numbers;     // the first is the one the others are held against
  std::string config;           // one config's prefix, "" for all
  bool onlyDifferences = true;  // keep only the rows whose values differ
  // A config whose file cannot be read is named in the type's broken and
  // its cells left empty, rather than the comparison refused.
  bool partial = false;
};

// Refused for a number that names no type, or a type that cannot be loaded.
Result<CompareModel> Compare(const Session& session, const CompareRequest& request);

}  // namespace tool::ops

#endif  // TOOLS_TYPEDATA_OPS_COMPARE_H
