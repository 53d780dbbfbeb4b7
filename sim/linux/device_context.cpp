// Device contexts and drawing objects where Windows is absent. A device
// context keeps its selected brush, pen and font, records every object
// selected into it and every polygon drawn; a canvas reads its pixels back
// from those polygons, filled with the brush they were drawn with (the
// outline, drawn with the pen on Windows, is not rendered).
#include <cstdint>
#include <map>

#include "../state.h"
#include "stand_ins.h"

namespace mmisim {
namespace standin {
namespace {

enum class ObjectKind { kBrush, kPen, kFont };

struct DrawingObject {
  ObjectKind kind = ObjectKind::kBrush;
  COLORREF colour = 0;
  int height = 0;  // fonts
};

struct DeviceContext {
  HWND window = nullptr;
  bool fromGetDC = false;  // else a canvas
  int width = 0;
  int height = 0;
  HGDIOBJ brush = nullptr;
  HGDIOBJ pen = nullptr;
  HGDIOBJ font = nullptr;
  std::vector<HGDIOBJ> selected;
  std::vector<DrawnPolygon> polygons;
};

std::map<HGDIOBJ, DrawingObject>& Objects() {
  static std::map<HGDIOBJ, DrawingObject> objects;
  return objects;
}

std::map<HDC, DeviceContext>& Contexts() {
  static std::map<HDC, DeviceContext> contexts;
  return contexts;
}

DeviceContext* FindContext(HDC dc) {
  const auto found = Contexts().find(dc);
  return found == Contexts().end() ? nullptr : &found->second;
}

HGDIOBJ MakeObject(DrawingObject object) {
  HGDIOBJ handle = NewHandle();
  Objects()[handle] = object;
  return handle;
}

// What a fresh device context has selected: a white brush, a black pen.
HGDIOBJ StockBrush() {
  static HGDIOBJ brush = MakeObject({ObjectKind::kBrush, 0xFFFFFF, 0});
  return brush;
}

HGDIOBJ StockPen() {
  static HGDIOBJ pen = MakeObject({ObjectKind::kPen, 0x000000, 0});
  return pen;
}

HDC MakeContext(HWND window, bool fromGetDC, int width, int height) {
  HDC dc = static_cast<HDC>(NewHandle());
  DeviceContext context;
  context.window = window;
  context.fromGetDC = fromGetDC;
  context.width = width;
  context.height = height;
  context.brush = StockBrush();
  context.pen = StockPen();
  Contexts()[dc] = context;
  return dc;
}

// Even-odd filling, as Windows' alternate mode, sampled at the pixel's
// centre.
bool Inside(const std::vector<POINT>& points, double x, double y) {
  bool inside = false;
  for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
    const POINT& a = points[i];
    const POINT& b = points[j];
    if ((a.y > y) == (b.y > y)) continue;
    const double crossing = a.x + (y - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y);
    if (x < crossing) inside = !inside;
  }
  return inside;
}

}  // namespace

int FontHeight(HGDIOBJ font) {
  const auto found = Objects().find(font);
  return found != Objects().end() && found->second.kind == ObjectKind::kFont ? found->second.height : 0;
}

}  // namespace standin

HFONT CommonFont(HDC /*dc*/) {
  // Nine points at 96 dots per inch.
  static HGDIOBJ font = standin::MakeObject({standin::ObjectKind::kFont, 0, 12});
  return static_cast<HFONT>(font);
}

HBRUSH SolidBrush(COLORREF colour) {
  static std::map<COLORREF, HGDIOBJ> brushes;
  HGDIOBJ& brush = brushes[colour];
  if (!brush) brush = standin::MakeObject({standin::ObjectKind::kBrush, colour, 0});
  return static_cast<HBRUSH>(brush);
}

HGDIOBJ SelectedBrush(HDC dc) {
  const standin::DeviceContext* context = standin::FindContext(dc);
  return context ? context->brush : nullptr;
}

std::vector<DrawnPolygon> PolygonsDrawn(HDC dc) {
  const standin::DeviceContext* context = standin::FindContext(dc);
  return context ? context->polygons : std::vector<DrawnPolygon>{};
}

std::vector<HGDIOBJ> ObjectsSelected(HDC dc) {
  const standin::DeviceContext* context = standin::FindContext(dc);
  return context ? context->selected : std::vector<HGDIOBJ>{};
}

int DeviceContextsInUse() {
  int count = 0;
  for (const auto& entry : standin::Contexts()) count += entry.second.fromGetDC ? 1 : 0;
  return count;
}

Canvas::Canvas(int width, int height) : dc_(standin::MakeContext(nullptr, false, width, height)) {}

Canvas::~Canvas() { standin::Contexts().erase(dc_); }

COLORREF Canvas::Pixel(int x, int y) const {
  const standin::DeviceContext* context = standin::FindContext(dc_);
  if (!context || x < 0 || y < 0 || x >= context->width || y >= context->height) return 0xFFFFFFFF;
  COLORREF colour = kBackground;
  for (const DrawnPolygon& polygon : context->polygons) {
    if (standin::Inside(polygon.points, x + 0.5, y + 0.5)) colour = standin::Objects()[polygon.brush].colour;
  }
  return colour;
}

}  // namespace mmisim

extern "C" {

HDC GetDC(HWND window) {
  if (window && !mmisim::standin::IsWindow(window)) return nullptr;
  return mmisim::standin::MakeContext(window, true, 0, 0);
}

int ReleaseDC(HWND window, HDC dc) {
  const mmisim::standin::DeviceContext* context = mmisim::standin::FindContext(dc);
  if (!context || !context->fromGetDC || context->window != window) return 0;
  mmisim::standin::Contexts().erase(dc);
  return 1;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  mmisim::standin::DeviceContext* context = mmisim::standin::FindContext(dc);
  const auto found = mmisim::standin::Objects().find(object);
  if (!context || found == mmisim::standin::Objects().end()) return nullptr;
  context->selected.push_back(object);
  HGDIOBJ* slot = &context->brush;
  if (found->second.kind == mmisim::standin::ObjectKind::kPen) slot = &context->pen;
  if (found->second.kind == mmisim::standin::ObjectKind::kFont) slot = &context->font;
  HGDIOBJ previous = *slot;
  *slot = object;
  return previous;
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
  mmisim::standin::DeviceContext* context = mmisim::standin::FindContext(dc);
  if (!context || !points || count < 2) return 0;
  context->polygons.push_back(
      mmisim::DrawnPolygon{std::vector<POINT>(points, points + count), context->brush});
  return 1;
}

}  // extern "C"
