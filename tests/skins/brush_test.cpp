// The brush: its footprints at every size and shape, the soft brush's once
// per stroke at the strongest level, and the fill's region.
#include "skins/brush.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "skins/paint_stroke.h"

namespace pelt {
namespace {

using Picture = std::vector<std::string>;

Picture picture(const Footprint& f) {
  Picture out(static_cast<size_t>(f.size()), std::string(static_cast<size_t>(f.size()), '.'));
  for (const FootprintRow& row : f.rows())
    for (int dx = row.left; dx <= row.right; ++dx)
      out[static_cast<size_t>(row.dy - f.low())][static_cast<size_t>(dx - f.low())] = '#';
  return out;
}

TEST(BrushFootprint, EverySizeAndShapeClippedAtTheSkinEdges) {
  const Picture round[] = {
      {"#"},
      {"##", "##"},
      {"###", "###", "###"},
      {".##.", "####", "####", ".##."},
      {".###.", "#####", "#####", "#####", ".###."},
      {".####.", "######", "######", "######", "######", ".####."},
  };
  for (int n = 1; n <= 6; ++n) EXPECT_EQ(picture(Footprint({n, true})), round[n - 1]) << n;
  // The texel under the pointer is the upper left of the middle for even sizes.
  EXPECT_EQ(Footprint({4, true}).low(), -1);

  for (int n = kMinBrushSize; n <= kMaxBrushSize; ++n)
    for (const bool isRound : {true, false}) {
      const Footprint f({n, isRound, true});
      const Picture p = picture(f);
      ASSERT_EQ(f.rows().size(), static_cast<size_t>(n)) << n;
      EXPECT_EQ(p[static_cast<size_t>(n / 2)], std::string(static_cast<size_t>(n), '#')) << n;
      for (size_t j = 0; j < p.size(); ++j) EXPECT_EQ(p[j], p[p.size() - 1 - j]) << n;
      const double disc = std::acos(-1.0) * n * n / 4;
      if (isRound)
        EXPECT_LE(std::abs(f.count() - disc), n) << n;
      else
        EXPECT_EQ(f.count(), n * n);
      // Soft: full strength at the middle, weaker outward along the middle row.
      const int middle = f.low() + (n - 1) / 2;
      EXPECT_EQ(f.level(middle, middle), kFullLevel) << n;
      for (int dx = middle; dx < f.low() + n - 1; ++dx)
        EXPECT_GE(f.level(dx, middle), f.level(dx + 1, middle)) << n << " " << dx;
      // A dab at each corner of a 50 x 40 skin keeps only the texels on it.
      for (const std::pair<int, int>& corner : {std::pair{0, 0}, {49, 0}, {0, 39}, {49, 39}}) {
        const int cx = corner.first, cy = corner.second;
        int inside = 0, visited = 0;
        for (const FootprintRow& row : f.rows())
          for (int dx = row.left; dx <= row.right; ++dx)
            inside += cx + dx >= 0 && cx + dx < 50 && cy + row.dy >= 0 && cy + row.dy < 40;
        f.forEachClipped(cx, cy, 50, 40, [&](int x, int y, int level) {
          ++visited;
          EXPECT_TRUE(x >= 0 && x < 50 && y >= 0 && y < 40 && level == f.level(x - cx, y - cy));
        });
        EXPECT_EQ(visited, inside) << n << " at " << cx << ", " << cy;
      }
    }

  std::vector<int> up{1};
  while (up.back() < kMaxBrushSize) up.push_back(largerBrushSize(up.back()));
  EXPECT_EQ(up, (std::vector<int>{1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64}));
  for (size_t i = 1; i < up.size(); ++i) EXPECT_EQ(smallerBrushSize(up[i]), up[i - 1]);
  EXPECT_EQ(largerBrushSize(5), 6);
  EXPECT_EQ(smallerBrushSize(5), 4);
}

struct StrokeTest : ::testing::Test {
  // A skin from rows of digits (palette indices).
  void skinOf(const Picture& rows) {
    allocateSkin(skin, static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (size_t y = 0; y < rows.size(); ++y)
      for (size_t x = 0; x < rows[y].size(); ++x)
        skin.pixels[y * rows[0].size() + x] = static_cast<std::uint8_t>(rows[y][x] - '0');
  }
  Picture rows() const {
    Picture out;
    for (int y = 0; y < skin.height; ++y) {
      out.emplace_back();
      for (int x = 0; x < skin.width; ++x) out.back() += static_cast<char>('0' + skin.pixel(x, y));
    }
    return out;
  }
  Skin skin;
  BlendTable blend = identityBlendTable();
  ProtectedColors protectedColors{};
  SoftBlendTables soft{};
  PaintStroke stroke;
};

// Strength k paints colour 0 as k + 1: a texel shows the strongest level
// that reached it, never a sum.
TEST_F(StrokeTest, SoftDabsPaintEachTexelOnceAtTheStrongestLevelThatReachedIt) {
  for (size_t k = 0; k < soft.size(); ++k) {
    soft[k] = identityBlendTable();
    soft[k][0] = static_cast<std::uint8_t>(k + 1);
  }
  skinOf({"0000000000"});
  const PaintTables tables{blend, protectedColors, &soft};
  stroke.begin(skin, kBrushPencil, {}, {5, true, true});
  stroke.dabTexels(4, 0, tables);
  EXPECT_EQ(skin.pixels, (std::vector<std::uint8_t>{0, 0, 6, 14, 16, 14, 6, 0, 0, 0}));
  stroke.dabTexels(5, 0, tables);
  stroke.dabTexels(4, 0, tables);
  EXPECT_EQ(skin.pixels, (std::vector<std::uint8_t>{0, 0, 6, 14, 16, 16, 14, 6, 0, 0}));
  EXPECT_EQ(stroke.changed().x0, 2);
  EXPECT_EQ(stroke.changed().x1, 7);
}

TEST_F(StrokeTest, FillTakesTheFourConnectedRegionThroughProtectionAndTheAllowedTexels) {
  const Picture start{"00130", "01100", "00131", "11100"};
  struct Case {
    int seedX, seedY;
    bool protect, limit;  // protect colour 0; allow all but texel (0, 2)
    Picture after;
  } cases[] = {
      {0, 0, false, false, {"77130", "71100", "77131", "11100"}},
      {4, 1, false, false, {"00137", "01177", "00131", "11100"}},
      {0, 0, true, false, start},
      {0, 0, false, true, {"77130", "71100", "00131", "11100"}},
      {2, 1, false, false, {"00830", "08800", "00831", "88800"}},
  };
  for (const Case& c : cases) {
    skinOf(start);
    blend[0] = 7;
    blend[1] = 8;
    blend[7] = blend[8] = 9;
    protectedColors[0] = c.protect;
    std::vector<std::uint8_t> allowed;
    if (c.limit) {
      allowed.assign(skin.pixels.size(), 1);
      allowed[10] = 0;
    }
    stroke.begin(skin, kBrushFill, {});
    const bool changed = stroke.fill(c.seedX, c.seedY, {blend, protectedColors}, allowed);
    EXPECT_EQ(rows(), c.after) << c.seedX << ", " << c.seedY;
    EXPECT_EQ(changed, c.after != start);
    // A second fill in the same stroke leaves what the first painted.
    stroke.fill(c.seedX, c.seedY, {blend, protectedColors}, allowed);
    EXPECT_EQ(rows(), c.after);
    stroke.end();
  }
}

// The run-at-a-time fill against a plain flood, on random skins of three
// colours wide enough for its eight-texel steps, limited or not.
TEST_F(StrokeTest, FillCoversWhatAPlainFloodCovers) {
  std::mt19937 random(24);
  blend = {};  // everything paints to 0
  for (int round = 0; round < 40; ++round) {
    allocateSkin(skin, 67, 23);
    for (auto& p : skin.pixels) p = static_cast<std::uint8_t>(1 + random() % (round % 2 ? 2 : 3));
    std::vector<std::uint8_t> allowed(round % 4 == 3 ? skin.pixels.size() : 0);
    for (auto& a : allowed) a = random() % 8 != 0;
    const int x = static_cast<int>(random() % 67), y = static_cast<int>(random() % 23);
    std::vector<std::uint8_t> expected = skin.pixels;
    const std::uint8_t colour = skin.pixel(x, y);
    std::vector<std::pair<int, int>> todo{{x, y}};
    while (!todo.empty()) {
      const auto [px, py] = todo.back();
      todo.pop_back();
      const size_t o = static_cast<size_t>(py * 67 + px);
      if (px < 0 || py < 0 || px >= 67 || py >= 23 || expected[o] != colour ||
          (!allowed.empty() && !allowed[o]))
        continue;
      expected[o] = 0;
      todo.insert(todo.end(), {{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}});
    }
    stroke.begin(skin, kBrushFill, {});
    stroke.fill(x, y, {blend, protectedColors}, allowed);
    ASSERT_EQ(skin.pixels, expected) << round;
  }
}

}  // namespace
}  // namespace pelt
