// The walk shared by GetFirstCommonCFG and GetNextCommonCFG.
#ifndef TYPEDATA_NAMEPARTS_COMMON_CFG_WALK_H
#define TYPEDATA_NAMEPARTS_COMMON_CFG_WALK_H

namespace td::nameparts {

// From the config at commonCfgCursor on: 1 with the first config bound to
// position (low 16 bits), the cursor on it and its prefix copied into prefix
// (8 bytes); 0 with the cursor null when there is none.
int WalkFromCursor(int position, char* prefix);

}  // namespace td::nameparts

#endif  // TYPEDATA_NAMEPARTS_COMMON_CFG_WALK_H
