// GetNextCommonCFG: the walk goes on after the config given last.
#include "nameparts/common_cfg_walk.h"
#include "nameparts/cursors.h"
#include "typedata_nameparts.h"

int GetNextCommonCFG(int position, char* prefix) {
  if (td::commonCfgCursor == nullptr) return 0;
  td::commonCfgCursor = td::commonCfgCursor->next;
  return td::nameparts::WalkFromCursor(position, prefix);
}
