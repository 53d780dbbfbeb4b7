// ArrowPictureWrite: the glyph drawn into a memory device context, read
// back pixel by pixel.
#include <gtest/gtest.h>

#include "type_combo_fixture.h"

namespace {

using td::testing::Recorded;

class ArrowPictureWrite_ : public td::testing::SimHostTest {};

struct Pixel {
  int x;
  int y;
};

void ExpectColour(const mmisim::Canvas& canvas, std::initializer_list<Pixel> pixels, COLORREF colour) {
  for (const Pixel& pixel : pixels) {
    EXPECT_EQ(canvas.Pixel(pixel.x, pixel.y), colour) << "at " << pixel.x << "," << pixel.y;
  }
}

void ExpectNotColour(const mmisim::Canvas& canvas, std::initializer_list<Pixel> pixels, COLORREF colour) {
  for (const Pixel& pixel : pixels) {
    EXPECT_NE(canvas.Pixel(pixel.x, pixel.y), colour) << "at " << pixel.x << "," << pixel.y;
  }
}

#ifndef _WIN32
std::vector<std::pair<int, int>> PointsOf(const mmisim::DrawnPolygon& polygon) {
  std::vector<std::pair<int, int>> points;
  for (const POINT& point : polygon.points) points.emplace_back(point.x, point.y);
  return points;
}
#endif

TEST_F(ArrowPictureWrite_, FillsTheArrowWithBrushZeroAndSelectsTheOldBrushBack) {
  mmisim::Canvas canvas(200, 120);
  const COLORREF brushColour = mmisim::BrushColour(0);
  ASSERT_NE(brushColour, mmisim::Canvas::kBackground);
  HGDIOBJ before = mmisim::SelectedBrush(canvas.dc());
  ASSERT_NE(before, nullptr);

  ArrowPictureWrite(canvas.dc(), 100, 50);

  // Shaft, the head's corners and the tip's neighbourhood.
  ExpectColour(canvas, {{90, 57}, {82, 58}, {98, 58}, {90, 64}, {76, 61}, {104, 61}, {90, 68}}, brushColour);
  // Above the shaft, beside it, beyond the head's corners, below the tip.
  ExpectNotColour(canvas, {{90, 52}, {76, 57}, {104, 57}, {66, 61}, {114, 61}, {90, 73}, {75, 68}},
                  brushColour);
  ExpectColour(canvas, {{90, 52}, {90, 73}}, mmisim::Canvas::kBackground);

  EXPECT_EQ(mmisim::SelectedBrush(canvas.dc()), before);
  const auto brushCalls = mmisim::CallsOf("GetMMIBrush");
  ASSERT_EQ(brushCalls.size(), 1u);
  EXPECT_EQ(brushCalls[0].args[0], 0);
  EXPECT_NE(brushCalls[0].result, Recorded(before));
#ifndef _WIN32
  const auto polygons = mmisim::PolygonsDrawn(canvas.dc());
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(PointsOf(polygons[0]),
            (std::vector<std::pair<int, int>>{
                {80, 55}, {80, 60}, {70, 60}, {90, 70}, {110, 60}, {100, 60}, {100, 55}}));
  EXPECT_EQ(Recorded(polygons[0].brush), brushCalls[0].result);
  EXPECT_EQ(mmisim::ObjectsSelected(canvas.dc()),
            (std::vector<HGDIOBJ>{reinterpret_cast<HGDIOBJ>(brushCalls[0].result), before}));
#endif
}

TEST_F(ArrowPictureWrite_, CoordinatesCountByTheirLow16BitsUnsigned) {
  mmisim::Canvas canvas(100, 60);
  ArrowPictureWrite(canvas.dc(), 0x10000 + 40, static_cast<int>(0xFFFF0000u + 30));
  ExpectColour(canvas, {{30, 37}, {30, 44}}, mmisim::BrushColour(0));
  ExpectColour(canvas, {{30, 32}, {30, 53}}, mmisim::Canvas::kBackground);
#ifndef _WIN32
  const auto polygons = mmisim::PolygonsDrawn(canvas.dc());
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(PointsOf(polygons[0]).front(), (std::pair<int, int>{20, 35}));
#endif
}

TEST_F(ArrowPictureWrite_, PointsLeftOfTheOriginComeOutNegative) {
  mmisim::Canvas canvas(60, 40);
  ArrowPictureWrite(canvas.dc(), 5, 0);
  // The shaft reaches from x -15 to 5 and the head from -25 to 15: what is
  // right of the origin is drawn where it belongs.
  ExpectColour(canvas, {{0, 7}, {3, 7}, {2, 12}, {0, 16}}, mmisim::BrushColour(0));
  ExpectColour(canvas, {{8, 7}, {12, 17}, {0, 2}}, mmisim::Canvas::kBackground);
#ifndef _WIN32
  const auto polygons = mmisim::PolygonsDrawn(canvas.dc());
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(PointsOf(polygons[0]), (std::vector<std::pair<int, int>>{
                                       {-15, 5}, {-15, 10}, {-25, 10}, {-5, 20}, {15, 10}, {5, 10}, {5, 5}}));
#endif
}

}  // namespace
