// UpdateTypeComboList: the catalogue's types into the type combo box, in
// catalogue order or by name.
#include <string>
#include <vector>

#include "controls/type_combo_item.h"
#include "typedata_controls.h"

namespace {

// Style of the temporary sorting box: WS_VSCROLL | CBS_SORT | CBS_DROPDOWNLIST.
constexpr std::uint32_t kSortingBoxStyle = 0x200103;

std::vector<const TypeRecord*> CatalogueTypes() {
  std::vector<const TypeRecord*> types;
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  for (const TypeRecord* type = catalogue ? catalogue->typeList : nullptr; type; type = type->next) {
    types.push_back(type);
  }
  return types;
}

void ListInCatalogueOrder(HWND parent, int controlId, int skipCurrent,
                          const std::vector<const TypeRecord*>& types) {
  SendDlgItemMessageA(parent, controlId, CB_RESETCONTENT, 0, 0);
  for (const TypeRecord* type : types) {
    if (!td::LeavesOut(skipCurrent, *type)) td::AddTypeComboItem(parent, controlId, *type);
  }
}

// The names go into a sorting box, which puts them in the platform's sorted
// order; each carries its record's place in the catalogue, so that every
// record is listed once with its own name even when two share a number.
void ListByName(HWND parent, HINSTANCE instance, int controlId, int skipCurrent,
                const std::vector<const TypeRecord*>& types) {
  HWND sorter = MakeComboBox(parent, instance, "", kSortingBoxStyle, 0, 0, 100, 50, 0);
  if (!sorter) {
    // Without a sorting box the list is still complete, in catalogue order.
    ListInCatalogueOrder(parent, controlId, skipCurrent, types);
    return;
  }
  for (std::size_t place = 0; place < types.size(); ++place) {
    const std::string name = td::TypeName(*types[place]);
    const LRESULT index = SendMessageA(sorter, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (index >= 0)
      SendMessageA(sorter, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(place));
  }
  SendDlgItemMessageA(parent, controlId, CB_RESETCONTENT, 0, 0);
  const LRESULT count = SendMessageA(sorter, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT place = SendMessageA(sorter, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
    if (place < 0 || static_cast<std::size_t>(place) >= types.size()) continue;
    const TypeRecord& type = *types[static_cast<std::size_t>(place)];
    if (!td::LeavesOut(skipCurrent, type)) td::AddTypeComboItem(parent, controlId, type);
  }
  DestroyWindow(sorter);
}

}  // namespace

TD_EXPORT(void) UpdateTypeComboList(HWND parent, HINSTANCE instance, int controlId, int skipCurrent) {
  const std::vector<const TypeRecord*> types = CatalogueTypes();
  const SystemRecord* system = GetMMISystemStruc();
  if (system && system->typeListOrder == 1) {
    ListByName(parent, instance, controlId, skipCurrent, types);
  } else {
    ListInCatalogueOrder(parent, controlId, skipCurrent, types);
  }
}
