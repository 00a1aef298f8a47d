#include "skins/paint_rule.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pelt {
namespace {

// 0 black, 1 red, 2 green, 3 dark red, 4 grey, 5 dark grey, 6.. white.
Palette smallPalette() {
  Palette p{};
  p.fill(255);
  const std::uint8_t head[] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 128, 0, 0, 128, 128, 128, 64, 64, 64};
  std::copy(std::begin(head), std::end(head), p.begin());
  return p;
}

TEST(ColourConversion, HsvRoundTripsAndGreys) {
  struct Case {
    double r, g, b, h, s, v;
  } cases[] = {
      {255, 0, 0, 0, 1, 255},   {0, 255, 0, 120, 1, 255}, {0, 0, 255, 240, 1, 255},
      {255, 0, 255, 300, 1, 255}, {100, 200, 100, 120, 0.5, 200}, {0, 0, 0, -1, 0, 0},
      {90, 90, 90, -1, 0, 90},
  };
  for (const Case& c : cases) {
    const Hsv hsv = rgbToHsv(c.r, c.g, c.b);
    EXPECT_EQ(std::tuple(hsv.h, hsv.s, hsv.v), std::tuple(c.h, c.s, c.v)) << c.r << " " << c.g;
    const Rgb back = hsvToRgb(hsv.h, hsv.s, hsv.v);
    EXPECT_NEAR(std::abs(back.r - c.r) + std::abs(back.g - c.g) + std::abs(back.b - c.b), 0, 1e-9);
  }
}

TEST(BlendTable, HandComputedEntriesInBothModes) {
  const Palette palette = smallPalette();
  struct Case {
    int mode;
    std::uint8_t paint;
    double amount;
    std::vector<std::pair<int, int>> entries;  // before -> after
  } cases[] = {
      // Nothing moves: each colour's nearest entry, the lower index on ties.
      {kBlendRgb, 1, 0.0, {{0, 0}, {3, 3}, {6, 6}, {7, 6}, {255, 6}}},
      {kBlendRgb, 1, 1.0, {{0, 1}, {2, 1}, {200, 1}}},
      // Black half way to red is (127.5, 0, 0): dark red. Dark red half way
      // is (191.5, 0, 0), as far from red as from dark red: red, the lower.
      {kBlendRgb, 1, 0.5, {{0, 3}, {1, 1}, {3, 1}}},
      // Red's hue at each pixel's brightness.
      {kBlendHueSaturation, 1, 1.0, {{0, 0}, {2, 1}, {4, 3}, {6, 1}}},
      // A grey paint colour keeps each pixel's brightness as grey.
      {kBlendHueSaturation, 4, 1.0, {{1, 6}, {3, 4}, {5, 5}}},
  };
  for (const Case& c : cases) {
    BlendTable table{};
    buildBlendTable(table, palette, c.paint, c.amount, c.mode);
    for (const auto& [before, after] : c.entries)
      EXPECT_EQ(table[static_cast<size_t>(before)], after)
          << "mode " << c.mode << " amount " << c.amount << " index " << before;
  }
}

TEST(PaintTexel, ProtectedColoursAndTheStrokeMaskHoldPixels) {
  std::vector<std::uint8_t> pixels = {1, 2, 3, 4};
  std::vector<std::uint8_t> mask(4, 0);
  BlendTable table = identityBlendTable();
  for (auto& entry : table) entry = static_cast<std::uint8_t>(entry + 10);
  ProtectedColors protectedColors{};
  protectedColors[2] = 1;

  // Painted once per stroke; a protected colour and texels outside stay.
  for (auto [texel, painted] : {std::pair{0, true}, {0, false}, {1, false}, {-1, false}, {4, false}})
    EXPECT_EQ(paintTexel(pixels, mask, table, protectedColors, texel), painted) << texel;
  EXPECT_EQ(pixels, (std::vector<std::uint8_t>{11, 2, 3, 4}));
}

}  // namespace
}  // namespace pelt
