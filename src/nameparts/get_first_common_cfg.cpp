// GetFirstCommonCFG: the walk of the configs bound to a name part, from the
// head of the config list.
#include "host/host.h"
#include "nameparts/common_cfg_walk.h"
#include "nameparts/cursors.h"
#include "typedata_nameparts.h"

int GetFirstCommonCFG(int position, char* prefix) {
  const SystemRecord* system = GetMMISystemStruc();
  td::commonCfgCursor = system != nullptr ? system->configList : nullptr;
  return td::nameparts::WalkFromCursor(position, prefix);
}
