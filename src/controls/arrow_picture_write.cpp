// ArrowPictureWrite: the downward arrow glyph.
#include <cstdint>

#include "typedata_controls.h"

TD_EXPORT(void) ArrowPictureWrite(HDC dc, int x, int y) {
  // Unsigned 16-bit coordinates, signed arithmetic: points left of or above
  // the origin come out negative.
  const int left = static_cast<std::uint16_t>(x);
  const int top = static_cast<std::uint16_t>(y);
  // A shaft 20 wide from left - 20 to left, a head 40 wide at top + 10,
  // the tip at (left - 10, top + 20).
  const POINT arrow[7] = {
      {left - 20, top + 5},  {left - 20, top + 10}, {left - 30, top + 10}, {left - 10, top + 20},
      {left + 10, top + 10}, {left, top + 10},      {left, top + 5},
  };
  HGDIOBJ kept = SelectObject(dc, GetMMIBrush(0));
  Polygon(dc, arrow, 7);
  SelectObject(dc, kept);
}
