#include "demo/demo_maps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace pelt {
namespace {

TEST(DemoMaps, PhongMapsAreGreyIntensitiesPeakingWhereTheLightReflects) {
  for (int kind = 0; kind < kDemoPhongMapCount; ++kind) {
    Skin map = makePhongMap(kind);
    ASSERT_EQ(map.width, kMapSize);
    ASSERT_EQ(map.height, kMapSize);
    EXPECT_EQ(map.palette, greyRampPalette());
    auto [lo, hi] = std::minmax_element(map.pixels.begin(), map.pixels.end());
    EXPECT_LT(*lo, 32) << kind;   // dark past the rim, so the shifted values span the levels
    EXPECT_GT(*hi, 230) << kind;  // a full highlight
    int centre = map.pixel(128, 128);
    EXPECT_GE(centre, map.pixel(128 + 60, 128)) << kind;
    EXPECT_GE(centre, map.pixel(128, 128 - 60)) << kind;
    EXPECT_GT(centre, map.pixel(0, 0)) << kind;
  }
  // The tight highlight falls off faster than the broad one.
  EXPECT_LT(makePhongMap(0).pixel(128 + 40, 128), makePhongMap(1).pixel(128 + 40, 128));
}

// Smooth gradients, not a handful of flat colours; the horizon map shows sky
// (entries below 128) to upward faces, as t grows with the upward tilt.
TEST(DemoMaps, EnvironmentMapsAreSmoothGradientsWithSkyAbove) {
  for (int kind = 0; kind < kDemoEnvironmentMapCount; ++kind) {
    Skin map = makeEnvironmentMap(kind);
    ASSERT_TRUE(map.width == kMapSize && map.height == kMapSize) << kind;
    EXPECT_GT(std::set<std::uint8_t>(map.pixels.begin(), map.pixels.end()).size(), 48u) << kind;
  }
  Skin horizon = makeEnvironmentMap(0);
  EXPECT_LT(horizon.pixel(128, 200), 128);
  EXPECT_GE(horizon.pixel(128, 56), 128);
}

}  // namespace
}  // namespace pelt
