// The colour library: a brush for each of its sixteen colours.
#include "../state.h"

namespace mmisim {
namespace {

constexpr COLORREF Rgb(unsigned red, unsigned green, unsigned blue) { return red | green << 8 | blue << 16; }

// The operator interface's colours; brush 0 is the accent of its glyphs.
constexpr COLORREF kColours[16] = {
    Rgb(0, 102, 204),   Rgb(0, 0, 0),       Rgb(255, 255, 255), Rgb(192, 192, 192),
    Rgb(128, 128, 128), Rgb(204, 0, 0),     Rgb(0, 153, 0),     Rgb(255, 204, 0),
    Rgb(255, 128, 0),   Rgb(0, 153, 153),   Rgb(153, 0, 153),   Rgb(102, 51, 0),
    Rgb(255, 153, 153), Rgb(153, 204, 255), Rgb(204, 255, 204), Rgb(64, 64, 64),
};

}  // namespace

COLORREF BrushColour(int colour) { return kColours[colour >= 0 && colour < 16 ? colour : 0]; }

}  // namespace mmisim

extern "C" HBRUSH TD_CALL GetMMIBrush(int colour) {
  HBRUSH brush = mmisim::SolidBrush(mmisim::BrushColour(colour));
  mmisim::Record("GetMMIBrush", {colour}, mmisim::Arg(brush));
  return brush;
}
