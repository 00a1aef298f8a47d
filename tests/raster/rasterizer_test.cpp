// The rasterizer against independent answers: the exact polygon, integer
// division and pinned line pixels. Fillers' exact values are pinned by the
// golden checksums.

#include "raster/rasterizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "raster/clipping.h"
#include "raster/count_divider.h"
#include "raster/reference_filler.h"
#include "raster/segment_walk.h"
#include "raster_target.h"

namespace pelt::test {
namespace {

// Largest change of attribute k per pixel step over the triangle.
double slope(const std::vector<ScreenVertex<3>>& t, int k) {
  const double x1 = t[1].x - t[0].x, y1 = t[1].y - t[0].y;
  const double x2 = t[2].x - t[0].x, y2 = t[2].y - t[0].y;
  const double a1 = (t[1].attr[k] - t[0].attr[k]) / 65536.0;
  const double a2 = (t[2].attr[k] - t[0].attr[k]) / 65536.0;
  const double det = std::abs(x1 * y2 - x2 * y1);
  return det == 0 ? 0 : (std::abs(a1 * y2 - a2 * y1) + std::abs(a2 * x1 - a1 * x2)) / det;
}

// Bresenham points lie within half a pixel of their edges, but the shift
// bisection that clips a corner to the border drifts by up to about two
// pixels (every halving rounds down), and an edge clipped in x and then in y
// drifts twice. So a drawn pixel lies at most that band outside the exact
// polygon, every pixel further inside is drawn, and its texel and depth stay
// within a texel plus the change over the band.
TEST(RasterReference, FillerMatchesTheExactPolygon) {
  constexpr int kWidth = 48, kHeight = 40, kTexture = 256;
  constexpr double kBand = 4.0;
  const TestImage texture(kTexture, kTexture);
  RasterTarget target(kWidth, kHeight);
  target.raster.bindTexture(texture.view());
  std::mt19937 rng(20240601);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  long covered = 0;
  for (int n = 0; n < 4000; ++n) {
    std::vector<ScreenVertex<3>> p(3);
    const bool quad = n % 4 == 3;
    if (quad) {  // an upright or sheared box, either way round
      const int x0 = pick(-20, 70), y0 = pick(-20, 70), x1 = pick(-20, 70), y1 = pick(-20, 70);
      const int shear = n % 7 - 3;
      p = {{x0, y0, {}}, {x1, y0 + shear, {}}, {x1, y1 + shear, {}}, {x0, y1, {}}};
    } else {  // corners up to a buffer size beyond each edge; small triangles too
      for (int i = 0; i < 3; ++i) {
        const bool small = i > 0 && pick(0, 9) < 3;
        p[i].x = small ? p[0].x + pick(-6, 6) : pick(-kWidth, 2 * kWidth);
        p[i].y = small ? p[0].y + pick(-6, 6) : pick(-kHeight, 2 * kHeight);
        p[i].attr = {pick(0, (kTexture - 1) * kFixedOne), pick(0, (kTexture - 1) * kFixedOne),
                     pick(0, 16383 * kFixedOne)};
      }
    }
    target.raster.clearPick(kPickNothing);
    target.raster.clearDepth(kDepthFar);
    target.raster.fillTextureDepthTexel(p);
    target.expectSpansEmpty();
    std::vector<char> may(kWidth * kHeight, 0);
    for (const ReferencePixel& r : referenceFill<3>(kWidth, kHeight, p, kBand))
      may[target.at(r.x, r.y)] = 1;
    for (int i = 0; i < kWidth * kHeight; ++i) {
      covered += target.pick[i] != kPickNothing;
      ASSERT_TRUE(target.pick[i] == kPickNothing || may[i]) << n << ": pixel " << i << " outside";
    }
    for (const ReferencePixel& r : referenceFill<3>(kWidth, kHeight, p, -kBand)) {
      const std::size_t at = target.at(r.x, r.y);
      ASSERT_NE(target.pick[at], kPickNothing) << n << ": missed " << r.x << "," << r.y;
      if (quad) continue;
      // Whole-unit depth steps may lag by up to one unit per pixel of the span.
      const int got[] = {target.pick[at] % kTexture, target.pick[at] / kTexture, target.depth[at]};
      for (int k = 0; k < 3; ++k)
        ASSERT_NEAR(got[k], r.attr[k], 1 + (kBand + 1) * slope(p, k) + (k == 2 ? kWidth : 0)) << n;
    }
  }
  EXPECT_GT(covered, 100000);  // the seed really draws
  target.expectGuardsIntact();
}

// Targets taller than the historic 2048-row span tables, and views sized to
// nothing, where every filler draws nothing.
TEST(RasterSpans, TablesFollowTheBoundSize) {
  RasterTarget tall(4, 3000);
  tall.raster.fillFlat(std::vector<ScreenVertex<0>>{{0, 0, {}}, {3, 2999, {}}, {0, 2999, {}}}, 5);
  EXPECT_EQ(tall.pixel(3, 2999), 5);
  tall.expectSpansEmpty();
  tall.expectGuardsIntact();
  const TestImage texture(8, 8);
  for (const auto& [w, h] : {std::pair{0, 0}, std::pair{0, 8}, std::pair{8, 0}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    RasterTarget target(w, h);
    target.raster.bindTexture(texture.view());
    for (std::int32_t shift : {0, 3, -2}) {
      target.raster.fillFlat(
          std::vector<ScreenVertex<0>>{{shift, 0, {}}, {5 + shift, 6, {}}, {0, 6, {}}}, 9);
      target.raster.fillTextureDepth(
          std::vector<ScreenVertex<3>>{{shift, 0, {0, 0, 1}},
                                       {7, 7, {7 * kFixedOne, 7 * kFixedOne, 1}},
                                       {0, 7 + shift, {0, 7 * kFixedOne, 1}}});
    }
    target.raster.clearPixels(1);
    target.expectSpansEmpty();
    target.expectGuardsIntact();
  }
}

// The reciprocal must give exactly what integer division gives, truncating
// toward zero, also just around exact multiples where rounding bites.
TEST(RasterCountDivider, MatchesIntegerDivision) {
  constexpr int kMaxCount = 4096;
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  CountDivider divider;
  divider.resize(kMaxCount);
  std::mt19937 rng(99);
  std::uniform_int_distribution<std::int32_t> any(kMin + 1, kMax), count(1, kMaxCount);
  std::uniform_int_distribution<std::int32_t> multiple(-(1 << 19), 1 << 19);
  for (int i = 0; i < 200000; ++i) {
    const std::int32_t n = count(rng);
    const std::int64_t exact = std::int64_t{multiple(rng)} * n;
    for (std::int64_t d : {std::int64_t{any(rng)}, exact - 1, exact, exact + 1}) {
      if (d <= kMin || d > kMax) continue;
      ASSERT_EQ(divider.divide(std::int32_t(d), n), d / n) << d << "/" << n;
    }
  }
  for (std::int32_t n = 1; n <= kMaxCount; ++n)
    for (std::int32_t d :
         {0, 1, -1, n, -n, n - 1, 1 - n, kMax, kMin + 1, kMin, 65536 * 255, -65536 * 255})
      ASSERT_EQ(divider.divide(d, n), d / n) << d << "/" << n;
}

// The 8- and 16-bit drawers step the same wrapping accumulator.
TEST(LineDrawers, StepWithTheWrappingAccumulator) {
  const std::vector<std::string> steep{"#....", "#....", "#....", "#....", ".#...", ".#...",
                                       ".#...", "..#..", "..#..", "..#..", "...#."};
  const struct {
    ScreenLine line;
    std::vector<std::string> rows;
  } cases[] = {
      // dx 3, dy 10: eleven points, one per row; the far end is exact, either way round.
      {{0, 0, 3, 10}, steep},
      {{3, 10, 0, 0}, steep},
      {{4, 0, 0, 4}, {"....#", "...#.", "..#..", ".#...", "#...."}},
      {{0, 1, 4, 1}, {".....", "#####", "....."}},
      {{2, 2, 2, 2}, {".....", ".....", "..#.."}},
      // dx 10, dy 3: increment 19660; wraps after the 4th and 7th inner steps.
      {{0, 0, 10, 3}, {"####.......", "....###....", ".......###.", "..........#"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.line));
    RasterTarget target(static_cast<int>(c.rows[0].size()), static_cast<int>(c.rows.size()));
    target.raster.drawLine(c.line, 1);
    target.raster.drawLine16(c.line, 0x7FFF);
    EXPECT_EQ(target.rows(1), c.rows);
    for (std::size_t i = 0; i < target.aux.size(); ++i)
      ASSERT_EQ(target.aux[i], target.pixels[i] == 1 ? 0x7FFF : 0) << i;
  }
}

TEST(Clipping, LinesToTheBufferNearPlaneAndPointInPolygon) {
  const struct {
    ScreenLine in;
    bool kept;
    ScreenLine out;
  } cases[] = {
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
  for (const auto& c : cases) {
    ScreenLine line = c.in;
    EXPECT_EQ(target.raster.clipLine(line), c.kept) << ::testing::PrintToString(c.in);
    EXPECT_EQ(line, c.out) << ::testing::PrintToString(c.in);
  }

  Point3f a{0, 0, 1.1f}, b{10, 20, -0.9f}, c{1, 2, 0.05f}, d{3, 4, -5.0f}, e{1, 2, 0.1f},
      f{3, 4, 7};
  ASSERT_TRUE(clipNearZ(a, b));
  EXPECT_FLOAT_EQ(b.x, 5.0f);
  EXPECT_FLOAT_EQ(b.y, 10.0f);
  EXPECT_TRUE(b.z == kNearZ && a.z == 1.1f);
  EXPECT_FALSE(clipNearZ(c, d));                // wholly in front of the plane
  EXPECT_TRUE(clipNearZ(e, f) && e.z == 0.1f);  // on it counts as beyond

  // Even-odd with half-open edges.
  const std::vector<Point2f> square{{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  const struct {
    float x, y;
    bool inside;
  } points[] = {{2, 2, true},  {5, 2, false}, {2, 5, false}, {-1, 2, false},    {4, 2, true},
                {0, 2, false}, {2, 0, true},  {2, 4, false}, {3.9f, 3.9f, true}};
  for (const auto& p : points)
    EXPECT_EQ(pointInPolygon(p.x, p.y, square), p.inside) << p.x << "," << p.y;
}

TEST(SegmentWalk, VisitsThePinnedPixelsFromTheUpperEnd) {
  using Pixels = std::vector<std::pair<int, int>>;
  const struct {
    WindowPoint a, b;
    Pixels pixels;
  } cases[] = {
      // x-major: the minor step waits for the 16-bit fraction to wrap.
      {{10, 10}, {13, 11}, {{10, 10}, {11, 10}, {12, 10}, {13, 11}}},
      {{13, 11}, {10, 10}, {{10, 10}, {11, 10}, {12, 10}, {13, 11}}},
      // y-major, walking left.
      {{5, 2}, {4, 6}, {{5, 2}, {5, 3}, {5, 4}, {5, 5}, {4, 6}}},
      {{1, 1}, {3, 7}, {{1, 1}, {1, 2}, {1, 3}, {1, 4}, {2, 5}, {2, 6}, {3, 7}}},
      // Straight and diagonal lines step directly; a tie in y starts at a.
      {{6, 3}, {3, 3}, {{6, 3}, {5, 3}, {4, 3}, {3, 3}}},
      {{2, 5}, {2, 3}, {{2, 3}, {2, 4}, {2, 5}}},
      {{4, 4}, {1, 7}, {{4, 4}, {3, 5}, {2, 6}, {1, 7}}},
      // Cut at the client rectangle's edge (32 wide).
      {{29, 2}, {35, 2}, {{29, 2}, {30, 2}, {31, 2}}},
  };
  for (const auto& c : cases) {
    Rasterizer rasterizer;
    Pixels pixels;
    EXPECT_EQ(
        walkSegment(rasterizer, 32, 24, c.a, c.b, [&](int x, int y) { pixels.emplace_back(x, y); }),
        SegmentKind::Line);
    EXPECT_EQ(pixels, c.pixels) << c.a.x << "," << c.a.y << " -> " << c.b.x << "," << c.b.y;
  }
}

}  // namespace
}  // namespace pelt::test
