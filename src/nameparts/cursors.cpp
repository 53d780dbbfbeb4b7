#include "nameparts/cursors.h"

namespace td {

TypeRecord* partSearchCursor = nullptr;
ConfigRecord* commonCfgCursor = nullptr;

}  // namespace td
