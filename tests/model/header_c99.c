/* The public header compiles as C99 (this file is built with -std=c99). */
#include "typedata.h"

int td_header_compiles_as_c99(void) {
  TypeRecord* record = 0;
  BlockTable table = {{0}};
  CfgId id = TD_CFGID(1, TD_CODE_S, 2);
  (void)record;
  return table.slot[TD_SLOT_V] == 0 && TD_CFGID_KIND(id) == TD_CODE_S;
}
