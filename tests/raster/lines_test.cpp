#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "raster/clipping.h"
#include "raster/rasterizer.h"
#include "raster_target.h"

namespace pelt::test {
namespace {

TEST(LineDrawers, StepWithTheWrappingAccumulator) {
  struct Case {
    ScreenLine line;
    std::vector<std::string> rows;
  };
  const std::vector<Case> cases{
      // dx 3, dy 10: eleven points, one per row; the far end is exact.
      {{0, 0, 3, 10},
       {"#....", "#....", "#....", "#....", ".#...", ".#...", ".#...", "..#..", "..#..", "..#..",
        "...#."}},
      // The same line given bottom end first.
      {{3, 10, 0, 0},
       {"#....", "#....", "#....", "#....", ".#...", ".#...", ".#...", "..#..", "..#..", "..#..",
        "...#."}},
      {{4, 0, 0, 4}, {"....#", "...#.", "..#..", ".#...", "#....", ".....", ".....", ".....",
                      ".....", ".....", "....."}},
      {{0, 1, 4, 1}, {".....", "#####", ".....", ".....", ".....", ".....", ".....", ".....",
                      ".....", ".....", "....."}},
      {{2, 2, 2, 2}, {".....", ".....", "..#..", ".....", ".....", ".....", ".....", ".....",
                      ".....", ".....", "....."}},
      // dx 10, dy 3: increment 19660; wraps after the 4th and 7th inner steps.
      {{0, 0, 10, 3}, {"####.......", "....###....", ".......###.", "..........#"}},
  };
  for (const Case& c : cases) {
    RasterTarget target(static_cast<int>(c.rows[0].size()), static_cast<int>(c.rows.size()));
    target.raster.drawLine(c.line, 1);
    EXPECT_EQ(target.rows(1), c.rows) << c.line[0] << "," << c.line[1] << " " << c.line[2]
                                            << "," << c.line[3];
  }
}

TEST(LineDrawers, PickLineDrawsOnlyOverItsTriangle) {
  RasterTarget target(6, 1);
  const std::array<std::int32_t, 6> pick{5, 5, 9, 5, -1, 5};
  std::copy(pick.begin(), pick.end(), target.pick.begin());
  target.raster.drawLinePick({0, 0, 5, 0}, 1, 5);
  EXPECT_EQ(target.rows(1), (std::vector<std::string>{"##.#.#"}));
}

TEST(LineDrawers, SixteenBitDrawersWriteTheAuxBuffer) {
  RasterTarget target(4, 4);
  target.raster.drawLine16({0, 0, 3, 3}, 0x7FFF);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(target.aux[target.at(i, i)], 0x7FFF);
  EXPECT_EQ(target.aux[target.at(1, 0)], 0);
  EXPECT_EQ(target.pixel(0, 0), kBackground);
}

TEST(LineDrawers, SmoothLineBlendsThePixelAndItsNeighbour) {
  constexpr std::uint16_t kRed = 31 << 10;
  RasterTarget target(11, 5);
  target.raster.drawLineSmooth16({0, 0, 10, 3}, kRed);
  auto red = [&](int x, int y) { return target.aux[target.at(x, y)] >> 10; };
  EXPECT_EQ(red(0, 0), 31);
  EXPECT_EQ(red(10, 3), 31);
  // First inner step: accumulator 19660, weight 9.
  EXPECT_EQ(red(1, 0), (31 * 23) >> 5);
  EXPECT_EQ(red(1, 1), (31 * 9) >> 5);
  // Fourth: wrapped to 13104, weight 6, now on row 1.
  EXPECT_EQ(red(4, 1), (31 * 26) >> 5);
  EXPECT_EQ(red(4, 2), (31 * 6) >> 5);
  EXPECT_EQ(target.aux[target.at(1, 0)] & 0x3FF, 0);  // green and blue stay black

  // Straight lines keep the colour everywhere.
  target.raster.drawLineSmooth16({0, 4, 10, 4}, 0x1234);
  for (int x = 0; x <= 10; ++x) EXPECT_EQ(target.aux[target.at(x, 4)], 0x1234);
}

TEST(ClipLine, ClipsToTheBufferWithFixedPointSteps) {
  struct Case {
    ScreenLine in;
    bool kept;
    ScreenLine out;
  };
  const std::vector<Case> cases{
      {{15, 0, 15, 15}, true, {15, 0, 15, 15}},   // on x = width - 1
      {{16, 0, 16, 15}, false, {16, 0, 16, 15}},  // on x = width
      {{0, 15, 10, 15}, true, {0, 15, 10, 15}},
      {{0, 16, 10, 16}, false, {0, 16, 10, 16}},
      {{-10, 0, 10, 20}, true, {0, 10, 5, 15}},
      // The interpolated y is shifted, not divided: -2.99997 becomes -3.
      {{-3, 10, 4, 3}, true, {4, 3, 0, 7}},
      {{-3, 0, 4, -7}, false, {-3, 0, 4, -7}},
      {{-20, 8, 8, -20}, false, {-20, 8, 8, -20}},  // passes beyond the corner
      {{3, 4, 5, 6}, true, {3, 4, 5, 6}},
  };
  RasterTarget target(16, 16);
  for (const Case& c : cases) {
    ScreenLine line = c.in;
    EXPECT_EQ(target.raster.clipLine(line), c.kept) << c.in[0] << "," << c.in[1];
    EXPECT_EQ(line, c.out) << c.in[0] << "," << c.in[1];
  }
}

TEST(ClipNearZ, KeepsThePartBeyondTheNearPlane) {
  Point3f a{0, 0, 1.1f};
  Point3f b{10, 20, -0.9f};
  ASSERT_TRUE(clipNearZ(a, b));
  EXPECT_FLOAT_EQ(b.x, 5.0f);
  EXPECT_FLOAT_EQ(b.y, 10.0f);
  EXPECT_EQ(b.z, kNearZ);
  EXPECT_EQ(a.z, 1.1f);

  Point3f c{1, 2, 0.05f};
  Point3f d{3, 4, -5.0f};
  EXPECT_FALSE(clipNearZ(c, d));
  EXPECT_EQ(c.x, 1.0f);
  EXPECT_EQ(d.z, -5.0f);

  Point3f e{1, 2, 0.1f};
  Point3f f{3, 4, 7.0f};
  EXPECT_TRUE(clipNearZ(e, f));
  EXPECT_EQ(e.x, 1.0f);
}

TEST(ClipPointInPolygon, EvenOddWithHalfOpenEdges) {
  const std::vector<Point2f> square{{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  struct Case {
    float x, y;
    bool inside;
  };
  const std::vector<Case> cases{{2, 2, true},  {5, 2, false}, {2, 5, false}, {-1, 2, false},
                                {4, 2, true},  {0, 2, false}, {2, 0, true},  {2, 4, false}, {3.9f, 3.9f, true}};
  for (const Case& c : cases) EXPECT_EQ(pointInPolygon(c.x, c.y, square), c.inside) << c.x << "," << c.y;

  const std::vector<Point2f> segment{{0, 0}, {4, 4}};
  EXPECT_FALSE(pointInPolygon(2, 2, segment));
  EXPECT_FALSE(pointInPolygon(1, 3, segment));
  EXPECT_FALSE(pointInPolygon(0, 0, {}));
}

}  // namespace
}  // namespace pelt::test
