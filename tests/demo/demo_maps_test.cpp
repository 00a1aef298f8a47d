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

TEST(DemoMaps, EnvironmentMapsAreSmoothGradients) {
  for (int kind = 0; kind < kDemoEnvironmentMapCount; ++kind) {
    Skin map = makeEnvironmentMap(kind);
    ASSERT_EQ(map.width, kMapSize);
    ASSERT_EQ(map.height, kMapSize);
    std::set<std::uint8_t> used(map.pixels.begin(), map.pixels.end());
    EXPECT_GT(used.size(), 48u) << kind;  // smooth gradients, not a handful of flat colours
  }
}

TEST(DemoMaps, HorizonMapShowsSkyToUpwardFacesAndGroundToDownwardOnes) {
  Skin map = makeEnvironmentMap(0);
  // t grows with the face's upward tilt; entries below 128 are sky.
  EXPECT_LT(map.pixel(128, 200), 128);
  EXPECT_GE(map.pixel(128, 56), 128);
}

}  // namespace
}  // namespace pelt
