// From a config's evidence to its description: each kind's count and
// items, the name part through which it is shared, and the conflicts.
#ifndef TOOLS_TYPEDATA_INFER_DECIDE_H
#define TOOLS_TYPEDATA_INFER_DECIDE_H

#include <map>
#include <string>
#include <vector>

#include "infer/evidence.h"
#include "infer/infer.h"

namespace tool::infer {

// The kinds of a config: which it has, their counts and items.
void DecideKinds(const ConfigStats& stats, mmisim::MachineConfig* config, ConfigEvidence* evidence,
                 std::vector<Conflict>* conflicts);

// The name parts of each type in the catalogue that has a name.
using TypeParts = std::map<int, std::vector<std::string>>;

// The name part (1 to 3) through which the config is shared, 0 for none.
int DecidePart(const ConfigStats& stats, const TypeParts& parts, Evidence* evidence,
               std::vector<Conflict>* conflicts);

// A value written as a description writes a default: decimal, no exponent,
// no trailing zeros.
std::string DecimalText(double value);

}  // namespace tool::infer

#endif  // TOOLS_TYPEDATA_INFER_DECIDE_H
