#include "controls/type_combo_item.h"

#include <cstdio>
#include <cstring>

namespace td {

std::string TypeName(const TypeRecord& type) {
  // A full field without its terminating zero must not run into typeNo.
  const void* end = std::memchr(type.name, '\0', sizeof type.name);
  const std::size_t length = end ? static_cast<const char*>(end) - type.name : sizeof type.name;
  return std::string(type.name, length);
}

bool LeavesOut(int skipCurrent, const TypeRecord& type) {
  if (skipCurrent != 1) return false;
  const SystemRecord* system = GetMMISystemStruc();
  return system && type.typeNo == system->currentTypeNo;
}

void AddTypeComboItem(HWND parent, int controlId, const TypeRecord& type) {
  char text[256];
  std::snprintf(text, sizeof text, "%04d %s", static_cast<int>(type.typeNo), TypeName(type).c_str());
  const LRESULT index =
      SendDlgItemMessageA(parent, controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  // An item that could not be added has no data to set; CB_ERR as an index
  // would reach another item's data.
  if (index < 0) return;
  SendDlgItemMessageA(parent, controlId, CB_SETITEMDATA, static_cast<WPARAM>(index), type.typeNo);
}

}  // namespace td
