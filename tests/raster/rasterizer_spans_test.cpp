#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "raster/rasterizer.h"
#include "raster_target.h"

namespace pelt::test {
namespace {

using V1 = ScreenVertex<1>;

TEST(RasterClip, VertexLeftOfBufferBecomesQuadWithBisectedAttributes) {
  RasterTarget target(16, 16);
  // The bisection stops on the first midpoint with x == 0; its attribute is
  // the halved sum, not the exact value on the edge (3.5 rather than 3).
  const std::array<V1, 3> tri{{{-3, 0, {0}}, {4, 7, {fixed(7)}}, {4, 0, {fixed(7)}}}};
  std::array<V1, 2 * kMaxCorners + 1> out;
  const int count = target.raster.clipPolygonX<1>(tri, out);
  ASSERT_EQ(count, 5);
  const std::array<std::array<std::int32_t, 3>, 5> expected{{
      {0, 3, fixed(3.5)}, {4, 7, fixed(7)}, {4, 0, fixed(7)}, {0, 0, fixed(3.5)}, {0, 3, fixed(3.5)}}};
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(out[i].x, expected[i][0]) << i;
    EXPECT_EQ(out[i].y, expected[i][1]) << i;
    EXPECT_EQ(out[i].attr[0], expected[i][2]) << i;
  }

  // Row 0 runs from 3.5 to 7 over five pixels with the truncated step.
  target.raster.fillGouraud(tri);
  const std::array<std::uint8_t, 5> row0{3, 4, 4, 5, 6};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(target.pixel(x, 0), row0[x]) << x;
  EXPECT_EQ(target.pixel(5, 0), kBackground);
  target.expectSpansEmpty();
}

TEST(RasterClip, ClipMovedStartNamesTheMovedEnd) {
  RasterTarget target(8, 8);
  std::array<V1, 2 * kMaxCorners + 1> out;
  struct Case {
    std::array<V1, 3> tri;
    int lastMovedStart;  // of the closing edge, corner 2 to corner 0
  };
  const std::vector<Case> cases{
      {{{{1, 1, {}}, {5, 1, {}}, {-4, 6, {}}}}, 1},   // the closing edge starts outside
      {{{{-4, 1, {}}, {5, 1, {}}, {3, 6, {}}}}, 0},   // it ends outside
      {{{{1, 1, {}}, {5, 1, {}}, {3, 6, {}}}}, 0},    // nothing moves
      {{{{1, 1, {}}, {5, 1, {}}, {12, 6, {}}}}, 1}};  // starts right of xMax
  for (const Case& c : cases) {
    target.raster.clipPolygonX<1>(c.tri, out);
    EXPECT_EQ(target.raster.clipMovedStart(), c.lastMovedStart);
  }
}

TEST(RasterClip, VerticesOnTheBoundaryStayWhereTheyAre) {
  // A corner exactly on x = 0 (or y = 0) is inside: it must not slide along
  // its edge, which for a steep edge would drop half the triangle.
  RasterTarget target(8, 128);
  const std::array<ScreenVertex<0>, 3> tri{{{0, 0, {}}, {1, 100, {}}, {0, 100, {}}}};
  target.raster.fillFlat(tri, 9);
  for (int y = 0; y <= 100; ++y) EXPECT_EQ(target.pixel(0, y), 9) << y;
  EXPECT_EQ(target.pixel(0, 101), kBackground);

  RasterTarget wide(128, 8);
  const std::array<ScreenVertex<0>, 3> flat{{{0, 0, {}}, {100, 1, {}}, {100, 0, {}}}};
  wide.raster.fillFlat(flat, 9);
  for (int x = 0; x <= 100; ++x) EXPECT_EQ(wide.pixel(x, 0), 9) << x;
}

TEST(RasterSpans, SmallShapesCoverExactlyTheirPixels) {
  struct Case {
    std::array<ScreenVertex<0>, 3> tri;
    std::vector<std::string> rows;  // 8 columns, '#' filled
  };
  const std::vector<Case> cases{
      // All corners on one row: the row from the smallest to the largest x.
      {{{{2, 1, {}}, {6, 1, {}}, {4, 1, {}}}}, {"........", "..#####.", "........"}},
      // A single point.
      {{{{3, 1, {}}, {3, 1, {}}, {3, 1, {}}}}, {"........", "...#....", "........"}},
      // Right triangle: Bresenham ends are inclusive.
      {{{{0, 0, {}}, {3, 0, {}}, {0, 3, {}}}}, {"####....", "###.....", "##......", "#......."}},
      // Partly off the right and bottom edges.
      {{{{5, 1, {}}, {12, 1, {}}, {5, 8, {}}}},
       {"........", ".....###", ".....###", ".....###", ".....###"}},
  };
  for (const Case& c : cases) {
    RasterTarget target(8, static_cast<int>(c.rows.size()));
    target.raster.fillFlat(c.tri, 1);
    EXPECT_EQ(target.rows(1), c.rows);
    target.expectSpansEmpty();
    target.expectGuardsIntact();
  }
}

TEST(RasterSpans, SpanTablesFollowTheBoundHeight) {
  // Taller than the historic 2048-row tables.
  RasterTarget target(4, 3000);
  const std::array<ScreenVertex<0>, 3> tri{{{0, 0, {}}, {3, 2999, {}}, {0, 2999, {}}}};
  target.raster.fillFlat(tri, 5);
  EXPECT_EQ(target.pixel(0, 2999), 5);
  EXPECT_EQ(target.pixel(3, 2999), 5);
  target.expectSpansEmpty();
  target.expectGuardsIntact();

  target.raster.setSize(4, 10);
  target.raster.resetSpans();
  target.expectSpansEmpty();
}

// Views and snapshots may be sized to nothing: every filler then draws
// nothing and leaves the buffers (here only their guard tails) alone.
TEST(RasterSpans, EmptyTargetsDrawNothing) {
  TestImage texture(8, 8);
  for (const auto& [w, h] : {std::pair{0, 0}, std::pair{0, 8}, std::pair{8, 0}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    RasterTarget target(w, h);
    target.raster.bindTexture(texture.view());
    for (std::int32_t shift : {0, 3, -2}) {
      const std::array<ScreenVertex<0>, 3> flat{{{shift, 0, {}}, {5 + shift, 6, {}}, {0, 6, {}}}};
      target.raster.fillFlat(flat, 9);
      const std::array<ScreenVertex<2>, 3> shaded{
          {{shift, 0, {0, 1}}, {5, 6 + shift, {fixed(9), 1}}, {0, 6, {0, 1}}}};
      target.raster.fillGouraudDepthPick(shaded, 4);
      const std::array<ScreenVertex<3>, 3> textured{{{shift, 0, {0, 0, 1}},
                                                     {7, 7, {fixed(7), fixed(7), 1}},
                                                     {0, 7 + shift, {0, fixed(7), 1}}}};
      target.raster.fillTextureDepth(textured);
    }
    target.raster.clearPixels(1);
    target.expectSpansEmpty();
    target.expectGuardsIntact();
  }
}

}  // namespace
}  // namespace pelt::test
