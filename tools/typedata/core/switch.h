// Making a type current as a host does: its files loaded, the type code sent
// to the interface boards, and its values downloaded step by step, each
// step started when the last step's dummy read has been answered.
#ifndef TOOLS_TYPEDATA_CORE_SWITCH_H
#define TOOLS_TYPEDATA_CORE_SWITCH_H

#include <string>
#include <vector>

#include "core/progress.h"
#include "core/session.h"

namespace tool {

struct StepReport {
  int configIndex = 0;
  std::string prefix;
  int itemsSent = 0;
};

// A type code that an interface board received.
struct TypeCodeSent {
  int board = 0;  // 128 to 143
  int configIndex = 0;
  int typeNo = 0;
};

struct SwitchReport {
  int loadResult = 0;                   // ChangeCurrentTypeData's result
  std::vector<TypeCodeSent> typeCodes;  // in the order the boards received them
  std::vector<StepReport> steps;        // the download, one config a step
  bool downloaded = false;              // the end message arrived
};

// Switches the session's current type to typeNo. False with a message when
// the type cannot be loaded (the current type then stays). The download's
// steps go to progress (may be null) as "download", one config a step.
bool SwitchType(Session& session, int typeNo, bool download, Progress* progress, SwitchReport* report,
                std::string* error);

}  // namespace tool

#endif  // TOOLS_TYPEDATA_CORE_SWITCH_H
