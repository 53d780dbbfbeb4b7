// The shell library's combo boxes and common font.
#include "../state.h"

namespace mmisim {

void FailComboBoxAt(long n) { S().failComboBoxAt = n > 0 ? S().comboBoxCalls + n : 0; }

}  // namespace mmisim

using mmisim::Arg;
using mmisim::Record;
using mmisim::S;

extern "C" {

HWND TD_CALL MakeComboBox(HWND parent, HINSTANCE instance, const char* text, std::uint32_t style, int x,
                          int y, int width, int height, int controlId) {
  mmisim::State& s = S();
  ++s.comboBoxCalls;
  HWND box = nullptr;
  if (s.failComboBoxAt == 0 || s.comboBoxCalls != s.failComboBoxAt) {
    box = mmisim::CreateComboBoxWindow(parent, instance, text ? text : "", style, x, y, width, height,
                                       controlId);
  }
  Record("MakeComboBox", {Arg(parent), Arg(instance), Arg(text), style, x, y, width, height, controlId},
         Arg(box), text);
  return box;
}

HFONT TD_CALL SetCommonFontSize(HDC dc) {
  HFONT font = mmisim::CommonFont(dc);
  Record("SetCommonFontSize", {Arg(dc)}, Arg(font));
  return font;
}

}  // extern "C"
