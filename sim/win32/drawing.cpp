// Fonts, brushes and device contexts on Windows: real GDI objects, and the
// memory canvas that tests read pixels from.
#include <map>

#include "../state.h"

namespace mmisim {

HFONT CommonFont(HDC dc) {
  // Nine points at the device's resolution, made once per resolution.
  static std::map<int, HFONT> fonts;
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  HFONT& font = fonts[dpi];
  if (!font) {
    font = CreateFontA(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                       "Tahoma");
  }
  return font;
}

HBRUSH SolidBrush(COLORREF colour) {
  static std::map<COLORREF, HBRUSH> brushes;
  HBRUSH& brush = brushes[colour];
  if (!brush) brush = CreateSolidBrush(colour);
  return brush;
}

HGDIOBJ SelectedBrush(HDC dc) { return GetCurrentObject(dc, OBJ_BRUSH); }

Canvas::Canvas(int width, int height) {
  dc_ = CreateCompatibleDC(nullptr);
  // A 32-bit top-down bitmap keeps every colour exact.
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bitmap_ = bitmap;
  replaced_ = SelectObject(dc_, bitmap);
  PatBlt(dc_, 0, 0, width, height, WHITENESS);
}

Canvas::~Canvas() {
  SelectObject(dc_, static_cast<HGDIOBJ>(replaced_));
  DeleteObject(static_cast<HGDIOBJ>(bitmap_));
  DeleteDC(dc_);
}

COLORREF Canvas::Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

}  // namespace mmisim
