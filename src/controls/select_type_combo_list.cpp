// SelectTypeComboList: selects the type combo box's item of a type number.
#include "typedata_controls.h"

TD_EXPORT(int) SelectTypeComboList(HWND parent, int controlId, int typeNo) {
  const LRESULT wanted = typeNo & 0xFFFF;
  const LRESULT count = SendDlgItemMessageA(parent, controlId, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT data = SendDlgItemMessageA(parent, controlId, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
    if (data == wanted) {
      SendDlgItemMessageA(parent, controlId, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
      return static_cast<int>(data);
    }
  }
  return -1;
}
