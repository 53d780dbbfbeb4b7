// MakeTypeComBoxSet: creates the type combo box, gives it the common font
// and its item heights, and fills it.
#include <cstdint>

#include "typedata_controls.h"

namespace {

// WS_VSCROLL | CBS_DROPDOWNLIST.
constexpr std::uint32_t kTypeComboStyle = 0x200003;

}  // namespace

TD_EXPORT(HWND)
MakeTypeComBoxSet(HWND parent, HINSTANCE instance, int x, int y, int width, int itemHeight, int controlId,
                  int skipCurrent) {
  const int left = static_cast<std::int16_t>(x);
  const int top = static_cast<std::int16_t>(y);
  const int boxWidth = static_cast<std::int16_t>(width);
  const int height = static_cast<std::int16_t>(itemHeight);
  // Nine item heights: the selection field with its drop-down list.
  HWND box = MakeComboBox(parent, instance, "", kTypeComboStyle, left, top, boxWidth, 9 * height, controlId);

  HDC dc = GetDC(parent);
  HFONT font = SetCommonFontSize(dc);
  ReleaseDC(parent, dc);

  // The font first: a new font sets the heights anew.
  SendDlgItemMessageA(parent, controlId, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  SendDlgItemMessageA(parent, controlId, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
  SendDlgItemMessageA(parent, controlId, CB_SETITEMHEIGHT, 0, height);

  UpdateTypeComboList(parent, instance, controlId, skipCurrent);
  return box;
}
