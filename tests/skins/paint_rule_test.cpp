#include "skins/paint_rule.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pelt
