#include "demo/demo_palette.h"

#include <gtest/gtest.h>

namespace pelt {
namespace {

int brightness(const Palette& p, int index) {
  return p[index * 3] + p[index * 3 + 1] + p[index * 3 + 2];
}

TEST(DemoPalette, RampsRunFromDarkToLightAndGreysAreExact) {
  Palette p = makeDemoPalette();
  EXPECT_EQ(brightness(p, rampColor(kRampGrey, 0)), 0);
  EXPECT_EQ(brightness(p, rampColor(kRampGrey, 15)), 765);
  for (int ramp = 0; ramp < 16; ++ramp)
    for (int shade = 1; shade < kRampLength; ++shade)
      EXPECT_GT(brightness(p, rampColor(DemoRamp(ramp), shade)),
                brightness(p, rampColor(DemoRamp(ramp), shade - 1)))
          << "ramp " << ramp << " shade " << shade;
  EXPECT_EQ(rampColor(kRampRed, 99), rampColor(kRampRed, 15));
  EXPECT_EQ(rampColor(kRampRed, -1), rampColor(kRampRed, 0));
}

TEST(DemoPalette, NearestColourPrefersTheLowerIndexOnATie) {
  Palette p{};        // every entry black
  p[3 * 5] = 100;     // 5: (100, 0, 0)
  p[3 * 9] = 100;     // 9: (100, 0, 0), same as 5
  p[3 * 7 + 1] = 90;  // 7: (0, 90, 0)
  EXPECT_EQ(nearestPaletteIndex(p, 96, 0, 0), 5);
  EXPECT_EQ(nearestPaletteIndex(p, 0, 80, 0), 7);
  EXPECT_EQ(nearestPaletteIndex(p, 0, 0, 0), 0);
  EXPECT_EQ(nearestPaletteIndex(p, 50, 0, 0), 0);  // 50^2 to black and to 5: black is first
}

TEST(DemoColormap, RowsDarkenFromSlightlyOverbrightToNearBlack) {
  Palette p = makeDemoPalette();
  Skin map = makeColormapImage(p);
  EXPECT_GT(colormapLightFactor(0), 1.0);
  EXPECT_LT(colormapLightFactor(0), 1.5);
  EXPECT_LT(colormapLightFactor(63), 0.05);
  long previousRow = -1;
  for (int row = 0; row < kColormapRows; ++row) {
    long total = 0;
    for (int index = 0; index < 256; ++index) total += brightness(p, map.pixel(index, row));
    if (previousRow >= 0) {
      EXPECT_LE(total, previousRow) << "row " << row;
    }
    previousRow = total;
  }
  for (int index = 0; index < 256; ++index) {
    EXPECT_GE(brightness(p, map.pixel(index, 0)), brightness(p, index)) << index;
    EXPECT_GE(brightness(p, map.pixel(index, 0)), brightness(p, map.pixel(index, 63))) << index;
    EXPECT_LT(brightness(p, map.pixel(index, 63)), 3 * 24) << index;
  }
  // Plain white cannot brighten, so it stays white at the top.
  EXPECT_EQ(map.pixel(rampColor(kRampGrey, 15), 0), rampColor(kRampGrey, 15));
}

}  // namespace
}  // namespace pelt
