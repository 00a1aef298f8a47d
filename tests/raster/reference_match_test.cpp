#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "raster/rasterizer.h"
#include "raster/reference_filler.h"
#include "raster_target.h"

namespace pelt::test {
namespace {

// Bresenham points lie within half a pixel of their edges, but the shift
// bisection that clips a corner to the border drifts by up to about two
// pixels (every halving rounds down), and an edge clipped in x and then in y
// drifts twice. Coverage may differ from the exact polygon only in that band
// along its boundary.
constexpr double kBoundaryBand = 4.0;

constexpr int kWidth = 48;
constexpr int kHeight = 40;
constexpr int kTextureSize = 256;

struct Gradient {
  double u = 0, v = 0, z = 0;  // largest change per pixel step
};

Gradient gradientOf(const std::array<ScreenVertex<3>, 3>& tri) {
  const double x1 = tri[1].x - tri[0].x, y1 = tri[1].y - tri[0].y;
  const double x2 = tri[2].x - tri[0].x, y2 = tri[2].y - tri[0].y;
  const double det = x1 * y2 - x2 * y1;
  Gradient g;
  if (det == 0) return g;
  auto slope = [&](int k) {
    const double a1 = (tri[1].attr[k] - tri[0].attr[k]) / 65536.0;
    const double a2 = (tri[2].attr[k] - tri[0].attr[k]) / 65536.0;
    return std::abs((a1 * y2 - a2 * y1) / det) + std::abs((a2 * x1 - a1 * x2) / det);
  };
  g.u = slope(0);
  g.v = slope(1);
  g.z = slope(2);
  return g;
}

std::array<ScreenVertex<3>, 3> randomTriangle(std::mt19937& rng) {
  // Corners up to a buffer size beyond each edge; small triangles too.
  std::uniform_int_distribution<int> x(-kWidth, 2 * kWidth);
  std::uniform_int_distribution<int> y(-kHeight, 2 * kHeight);
  std::uniform_int_distribution<int> nudge(-6, 6);
  std::uniform_int_distribution<std::int32_t> texel(0, (kTextureSize - 1) * kFixedOne);
  std::uniform_int_distribution<std::int32_t> depth(0, 16383 * kFixedOne);
  std::bernoulli_distribution small(0.3);
  std::array<ScreenVertex<3>, 3> tri;
  for (int i = 0; i < 3; ++i) {
    if (i > 0 && small(rng)) {
      tri[i].x = tri[0].x + nudge(rng);
      tri[i].y = tri[0].y + nudge(rng);
    } else {
      tri[i].x = x(rng);
      tri[i].y = y(rng);
    }
    tri[i].attr = {texel(rng), texel(rng), depth(rng)};
  }
  return tri;
}

// Every pixel the filler covered lies within the band around the exact polygon.
template <int N, class Covered>
void expectInsideTheBand(const RasterTarget& target, Corners<N> corners, Covered covered, int n) {
  std::vector<char> may(kWidth * kHeight, 0);
  for (const ReferencePixel& p : referenceFill<N>(kWidth, kHeight, corners, kBoundaryBand)) may[target.at(p.x, p.y)] = 1;
  for (int i = 0; i < kWidth * kHeight; ++i)
    ASSERT_TRUE(!covered(i) || may[i]) << "polygon " << n << " pixel " << i % kWidth << "," << i / kWidth;
}

TEST(RasterReference, FastFillerCoversTheReferencePixels) {
  std::vector<std::uint8_t> texels(kTextureSize * kTextureSize);
  std::vector<std::int32_t> rows(kTextureSize);
  for (int r = 0; r < kTextureSize; ++r) rows[r] = r * kTextureSize;
  std::mt19937 rng(20240601);
  RasterTarget target(kWidth, kHeight);
  target.raster.bindTexture({texels.data(), rows.data(), kTextureSize, kTextureSize});

  int coveredPixels = 0;
  for (int n = 0; n < 3000; ++n) {
    const auto tri = randomTriangle(rng);
    target.raster.clearPick(kPickNothing);
    target.raster.clearDepth(kDepthFar);
    target.raster.fillTextureDepthTexel(tri);
    target.expectSpansEmpty();

    coveredPixels += static_cast<int>(
        std::count_if(target.pick.begin(), target.pick.begin() + kWidth * kHeight, [](std::int32_t p) { return p != kPickNothing; }));
    expectInsideTheBand<3>(target, tri, [&](int i) { return target.pick[i] != kPickNothing; }, n);

    const Gradient g = gradientOf(tri);
    for (const ReferencePixel& p : referenceFill<3>(kWidth, kHeight, tri, -kBoundaryBand)) {
      const std::size_t at = target.at(p.x, p.y);
      const std::int32_t offset = target.pick[at];
      ASSERT_NE(offset, kPickNothing) << "triangle " << n << " missed " << p.x << "," << p.y;
      // Linear interpolation with truncated steps: within a texel plus the
      // attribute change over the boundary band.
      ASSERT_NEAR(offset % kTextureSize, p.attr[0], 1.0 + (kBoundaryBand + 1) * g.u);
      ASSERT_NEAR(offset / kTextureSize, p.attr[1], 1.0 + (kBoundaryBand + 1) * g.v);
      // Whole-unit depth steps may lag by up to one unit per pixel of the span.
      ASSERT_NEAR(target.depth[at], p.attr[2], 1.0 + (kBoundaryBand + 1) * g.z + kWidth);
    }
  }
  EXPECT_GT(coveredPixels, 100000);  // the seed really draws
  target.expectGuardsIntact();
}

TEST(RasterReference, QuadsCoverTheReferencePixels) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(-20, 70);
  RasterTarget target(kWidth, kHeight);
  for (int n = 0; n < 500; ++n) {
    // An axis-aligned box and a sheared one, given clockwise and counter-clockwise.
    const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
    const int shear = (n % 7) - 3;
    std::array<ScreenVertex<0>, 4> quad{{{x0, y0, {}}, {x1, y0 + shear, {}}, {x1, y1 + shear, {}}, {x0, y1, {}}}};
    target.raster.clearPixels(0);
    target.raster.fillFlat(quad, 1);
    target.expectSpansEmpty();
    expectInsideTheBand<0>(target, quad, [&](int i) { return target.pixels[i] == 1; }, n);
    for (const ReferencePixel& p : referenceFill<0>(kWidth, kHeight, quad, -kBoundaryBand))
      ASSERT_EQ(target.pixel(p.x, p.y), 1) << "quad " << n << " missed " << p.x << "," << p.y;
  }
}

}  // namespace
}  // namespace pelt::test
