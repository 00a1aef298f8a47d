#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "raster/rasterizer.h"
#include "raster_target.h"

namespace pelt::test {
namespace {

// Shared inputs: a 37-wide texture whose texel (x, y) holds x + 16 * y, a
// colormap whose entry (row, index) is index + row, and a shade map whose
// entry (s, t) is s + 3 * t.
struct Tables {
  Tables() : texture(37, 8), shadeMap(kShadeMapSize, kShadeMapSize), colormap(64 * 256) {
    for (int y = 0; y < texture.height; ++y)
      for (int x = 0; x < texture.width; ++x) texture.at(x, y) = static_cast<std::uint8_t>(x + 16 * y);
    for (int t = 0; t < kShadeMapSize; ++t)
      for (int s = 0; s < kShadeMapSize; ++s) shadeMap.at(s, t) = static_cast<std::uint8_t>(s + 3 * t);
    for (int row = 0; row < 64; ++row)
      for (int i = 0; i < 256; ++i) colormap[row * 256 + i] = static_cast<std::uint8_t>(i + row);
  }
  void bind(Rasterizer& r) const {
    r.bindTexture(texture.view());
    r.bindShadeMap(shadeMap.view());
    r.bindColormap(colormap.data(), 64);
  }
  TestImage texture;
  TestImage shadeMap;
  std::vector<std::uint8_t> colormap;
};

// A triangle with the same attributes at every corner, so every pixel it
// covers shows the filler's lookup of exactly those values.
template <int N>
std::array<ScreenVertex<N>, 3> constantTriangle(std::array<std::int32_t, N> attr) {
  return {{{0, 0, attr}, {6, 0, attr}, {0, 3, attr}}};
}

constexpr std::int32_t kU = 2 * kFixedOne + kFixedHalf;  // texel column 2
constexpr std::int32_t kV = kFixedOne + kFixedOne / 4;   // texel row 1
constexpr std::int32_t kS = 7 * kFixedOne + 123;         // map column 7
constexpr std::int32_t kT = 2 * kFixedOne + 4567;        // map row 2
constexpr std::int32_t kL = 5 * kFixedOne + 999;         // light row 5
constexpr std::int32_t kZ = 100 * kFixedOne + 77;        // depth 100
constexpr std::int32_t kId = 42;
constexpr std::uint8_t kTexel = 2 + 16;        // texel (2, 1)
constexpr std::int32_t kTexelOffset = 37 + 2;  // row offset of v plus u
constexpr std::uint8_t kMapValue = 7 + 3 * 2;
constexpr std::uint8_t kRampValue = (kMapValue + 250) & 0xFF;  // wraps around the palette

enum class PickExpect { Untouched, Id, TexelOffset };

struct FillerCase {
  std::string name;
  std::function<void(Rasterizer&)> draw;
  std::uint8_t pixel;
  bool writesDepth;
  PickExpect pick;
};

std::vector<FillerCase> fillerCases() {
  using PE = PickExpect;
  // A filler, its triangle and further arguments, then what every covered pixel holds.
#define PELT_CASE(name, tri, pixel, depth, pick, ...) \
  {#name, [](Rasterizer& r) { r.name(tri __VA_OPT__(, ) __VA_ARGS__); }, pixel, depth, pick}
  return {
      PELT_CASE(fillFlat, constantTriangle<0>({}), 9, false, PE::Untouched, 9),
      PELT_CASE(fillFlatDepth, constantTriangle<1>({kZ}), 9, true, PE::Untouched, 9),
      PELT_CASE(fillFlatDepthPick, constantTriangle<1>({kZ}), 9, true, PE::Id, 9, kId),
      PELT_CASE(fillGouraud, constantTriangle<1>({kL}), 5, false, PE::Untouched),
      PELT_CASE(fillGouraudDepth, (constantTriangle<2>({kL, kZ})), 5, true, PE::Untouched),
      PELT_CASE(fillGouraudDepthPick, (constantTriangle<2>({kL, kZ})), 5, true, PE::Id, kId),
      PELT_CASE(fillMapDepth, (constantTriangle<3>({kS, kT, kZ})), kMapValue, true, PE::Untouched),
      PELT_CASE(fillMapDepthPick, (constantTriangle<3>({kS, kT, kZ})), kMapValue, true, PE::Id, kId),
      PELT_CASE(fillMapRampDepth, (constantTriangle<3>({kS, kT, kZ})), kRampValue, true, PE::Untouched, 250),
      PELT_CASE(fillMapRampDepthPick, (constantTriangle<3>({kS, kT, kZ})), kRampValue, true, PE::Id, kId, 250),
      PELT_CASE(fillTextureDepth, (constantTriangle<3>({kU, kV, kZ})), kTexel, true, PE::Untouched),
      PELT_CASE(fillTextureDepthPick, (constantTriangle<3>({kU, kV, kZ})), kTexel, true, PE::Id, kId),
      PELT_CASE(fillTextureDepthTexel, (constantTriangle<3>({kU, kV, kZ})), kTexel, true, PE::TexelOffset),
      PELT_CASE(fillTextureLitDepth, (constantTriangle<4>({kU, kV, kL, kZ})), kTexel + 5, true, PE::Untouched),
      PELT_CASE(fillTextureLitDepthPick, (constantTriangle<4>({kU, kV, kL, kZ})), kTexel + 5, true, PE::Id, kId),
      PELT_CASE(fillTextureLitDepthTexel, (constantTriangle<4>({kU, kV, kL, kZ})), kTexel + 5, true, PE::TexelOffset),
      PELT_CASE(fillTextureMapLitDepth, (constantTriangle<5>({kU, kV, kS, kT, kZ})), kTexel + kMapValue, true, PE::Untouched),
      PELT_CASE(fillTextureMapLitDepthPick, (constantTriangle<5>({kU, kV, kS, kT, kZ})), kTexel + kMapValue, true, PE::Id, kId),
      PELT_CASE(fillTextureMapLitDepthTexel, (constantTriangle<5>({kU, kV, kS, kT, kZ})), kTexel + kMapValue, true, PE::TexelOffset),
      PELT_CASE(fillTexture, (constantTriangle<2>({kU, kV})), kTexel, false, PE::Untouched),
      PELT_CASE(fillTextureTexel, (constantTriangle<2>({kU, kV})), kTexel, false, PE::TexelOffset),
      PELT_CASE(fillTextureRounded, (constantTriangle<2>({kU, kV})), kTexel, false, PE::Untouched),
  };
#undef PELT_CASE
}

TEST(FillFamily, EachFillerWritesItsPixelDepthAndPick) {
  const Tables tables;
  for (const FillerCase& c : fillerCases()) {
    SCOPED_TRACE(c.name);
    RasterTarget target(8, 5);
    tables.bind(target.raster);
    c.draw(target.raster);
    for (auto [x, y] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{6, 0}, std::pair{0, 3}}) {
      EXPECT_EQ(target.pixel(x, y), c.pixel) << x << "," << y;
      EXPECT_EQ(target.depth[target.at(x, y)], c.writesDepth ? 100 : kDepthFar);
      const std::int32_t pick = target.pick[target.at(x, y)];
      switch (c.pick) {
        case PickExpect::Untouched: EXPECT_EQ(pick, kPickNothing); break;
        case PickExpect::Id: EXPECT_EQ(pick, kId); break;
        case PickExpect::TexelOffset: EXPECT_EQ(pick, kTexelOffset); break;
      }
    }
    EXPECT_EQ(target.pixel(7, 0), kBackground);
    EXPECT_EQ(target.pixel(2, 3), kBackground);
    target.expectSpansEmpty();
    target.expectGuardsIntact();
  }
}

TEST(FillFamily, DepthTestIsStrictlyLess) {
  struct Case {
    int firstDepth;
    int secondDepth;
    std::uint8_t visible;
    std::int32_t pick;
  };
  const std::vector<Case> cases{{100, 100, 1, 11}, {100, 99, 2, 22}, {100, 101, 1, 11}, {0xFFFF, 0xFFFF, kBackground, kPickNothing}};
  for (const Case& c : cases) {
    RasterTarget target(8, 5);
    target.raster.fillFlatDepthPick(constantTriangle<1>({c.firstDepth << kFixedShift}), 1, 11);
    target.raster.fillFlatDepthPick(constantTriangle<1>({c.secondDepth << kFixedShift}), 2, 22);
    EXPECT_EQ(target.pixel(1, 1), c.visible) << c.firstDepth << " then " << c.secondDepth;
    EXPECT_EQ(target.pick[target.at(1, 1)], c.pick);
  }
}

// One row, x 0..9, left end at x = 0 and right end at x = 9.
template <int N>
std::array<ScreenVertex<N>, 3> rowTriangle(std::array<std::int32_t, N> left,
                                           std::array<std::int32_t, N> right, int lastX = 9) {
  std::array<std::int32_t, N> middle{};
  for (int k = 0; k < N; ++k) middle[k] = left[k] + (right[k] - left[k]) / 2;
  return {{{0, 0, left}, {lastX, 0, right}, {lastX / 2, 0, middle}}};
}

TEST(FillFamily, DepthStepsInWholeUnitsPerPixelCount) {
  struct Case {
    std::int32_t leftDepth;
    std::int32_t rightDepth;
    std::array<std::uint16_t, 10> expected;
  };
  const std::vector<Case> cases{
      // Ends closer than the ten pixels: one depth for the whole span.
      {fixed(100), fixed(109) + 0xFFFF, {100, 100, 100, 100, 100, 100, 100, 100, 100, 100}},
      {fixed(100), fixed(110), {100, 101, 102, 103, 104, 105, 106, 107, 108, 109}},
      {fixed(100), fixed(91), {100, 100, 100, 100, 100, 100, 100, 100, 100, 100}},
      // The fractions are dropped before the division.
      {fixed(100) + 0xFFFF, fixed(120), {100, 102, 104, 106, 108, 110, 112, 114, 116, 118}},
      {fixed(100), fixed(75), {100, 98, 96, 94, 92, 90, 88, 86, 84, 82}},
  };
  for (const Case& c : cases) {
    RasterTarget target(10, 1);
    target.raster.fillFlatDepth(rowTriangle<1>({c.leftDepth}, {c.rightDepth}), 1);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(target.depth[x], c.expected[x]) << "x " << x;
  }
}

TEST(FillFamily, SpanStepsDivideByThePixelCount) {
  // Eleven pixels from 0 to 10: the last pixel stops one step short.
  RasterTarget target(11, 1);
  target.raster.fillGouraud(rowTriangle<1>({0}, {fixed(10)}, 10));
  const std::array<std::uint8_t, 11> expected{0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (int x = 0; x < 11; ++x) EXPECT_EQ(target.pixel(x, 0), expected[x]) << x;
}

TEST(FillFamily, RoundedFillerAddsHalfATexelBeforeDividing) {
  TestImage ramp(4, 1);
  for (int x = 0; x < 4; ++x) ramp.at(x, 0) = static_cast<std::uint8_t>(x);
  const auto tri = rowTriangle<2>({0x7FFF, 0x7FFF}, {2 * kFixedOne + 0x7FFF, 0x7FFF}, 2);
  struct Case {
    std::string name;
    void (Rasterizer::*fill)(Corners<2>);
    std::array<std::uint8_t, 3> expected;
  };
  const std::vector<Case> cases{{"fillTexture", &Rasterizer::fillTexture, {0, 1, 1}},
                                {"fillTextureRounded", &Rasterizer::fillTextureRounded, {0, 1, 2}}};
  for (const Case& c : cases) {
    RasterTarget target(3, 1);
    target.raster.bindTexture(ramp.view());
    (target.raster.*c.fill)(tri);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(target.pixel(x, 0), c.expected[x]) << c.name << " x " << x;
  }
}

TEST(FillFamily, SkinQuadMapsTexelsAndOffsets) {
  // The skin view's four-corner polygon at 1:1: each row stops one step short,
  // so the last column repeats its neighbour.
  TestImage skin(5, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) skin.at(x, y) = static_cast<std::uint8_t>(10 * y + x);
  RasterTarget target(5, 4);
  target.raster.bindTexture(skin.view());
  const std::array<ScreenVertex<2>, 4> quad{{{0, 0, {0, 0}},
                                             {4, 0, {fixed(4), 0}},
                                             {4, 3, {fixed(4), fixed(3)}},
                                             {0, 3, {0, fixed(3)}}}};
  target.raster.fillTextureTexel(quad);
  const std::array<int, 5> column{0, 0, 1, 2, 3};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(target.pixel(x, y), 10 * y + column[x]) << x << "," << y;
      EXPECT_EQ(target.pick[target.at(x, y)], 5 * y + column[x]) << x << "," << y;
    }
  }
  target.expectSpansEmpty();
}

// --- true colour -----------------------------------------------------------

constexpr std::uint8_t kPoison = 0xAA;

// A 2 x 2 texture inside a larger image of poison, a shade map followed by
// poison, and a 64-row RGB colormap followed by a poison row: any read past
// the bound tables shows up in the colour.
struct RgbTables {
  RgbTables() : image(4, 4), map(kShadeMapSize * kShadeMapSize + 4 * kShadeMapSize, 0),
                colormap((64 + 1) * 256 * 3, 0) {
    std::fill(image.pixels.begin(), image.pixels.end(), kPoison);
    for (int row = 0; row < 65; ++row) {
      for (int i = 0; i < 256; ++i) {
        std::uint8_t* rgb = &colormap[(row * 256 + i) * 3];
        const bool poison = row == 64 || i == kPoison;
        rgb[0] = poison ? 255 : static_cast<std::uint8_t>(row);
        rgb[1] = poison ? 255 : static_cast<std::uint8_t>(i);
        rgb[2] = poison ? 255 : static_cast<std::uint8_t>(2 * row);
      }
    }
  }
  void bind(Rasterizer& r) const {
    r.bindTexture({image.pixels.data(), image.rows.data(), 2, 2});
    r.bindShadeMap({map.data(), nullptr, kShadeMapSize, kShadeMapSize});
    r.bindColormap(colormap.data(), 64);
  }
  TestImage image;
  std::vector<std::uint8_t> map;
  std::vector<std::uint8_t> colormap;
};

std::array<std::uint8_t, 3> rgbPixelOf(const RgbTables& tables, std::array<std::int32_t, 5> attr,
                                       double lightExponent, double smoothing) {
  RasterTarget target(3, 3, 3);
  tables.bind(target.raster);
  const std::array<ScreenVertex<5>, 3> point{{{1, 1, attr}, {1, 1, attr}, {1, 1, attr}}};
  target.raster.fillTextureMapLitDepthRgb(point, lightExponent, smoothing);
  EXPECT_EQ(target.depth[target.at(1, 1)], attr[4] >> kFixedShift);
  EXPECT_EQ(target.pixels[target.at(1, 1) * 3 + 3], kBackground);
  return {target.pixels[target.at(1, 1) * 3], target.pixels[target.at(1, 1) * 3 + 1],
          target.pixels[target.at(1, 1) * 3 + 2]};
}

TEST(FillTrueColour, LightAndTexelsBlendAsSpecified) {
  RgbTables tables;
  tables.image.at(0, 0) = 0;
  tables.image.at(1, 0) = 100;
  tables.image.at(0, 1) = 200;
  tables.image.at(1, 1) = 40;
  std::fill(tables.map.begin(), tables.map.begin() + kShadeMapSize * kShadeMapSize, 32);
  tables.map[10 * kShadeMapSize + 21] = 64;
  struct Case {
    std::array<std::int32_t, 5> attr;  // u, v, s, t, z
    double lightExponent;
    double smoothing;
    std::array<std::uint8_t, 3> rgb;
  };
  const std::vector<Case> cases{
      // Map 32 is light 0.5: row 63 - 32 = 31; texel (0, 0) alone.
      {{0, 0, fixed(5), fixed(5), fixed(3)}, 1.0, 1.0, {31, 0, 62}},
      {{0, 0, fixed(5), fixed(5), fixed(3)}, 2.0, 1.0, {47, 0, 94}},
      // sqrt(0.5) * 64 = 45.25: position 17.745 between rows 17 and 18.
      {{0, 0, fixed(5), fixed(5), fixed(3)}, 0.5, 1.0, {17, 0, 35}},
      // Halfway between map 32 and 64 along s: light 0.75, row 15.
      {{0, 0, fixed(20.5), fixed(10), fixed(3)}, 1.0, 1.0, {15, 0, 30}},
      // Texel weights 0.25 and 0.5, then squared: 92.5 and 52.19.
      {{fixed(0.25), fixed(0.5), fixed(5), fixed(5), fixed(3)}, 1.0, 1.0, {31, 92, 62}},
      {{fixed(0.25), fixed(0.5), fixed(5), fixed(5), fixed(3)}, 1.0, 2.0, {31, 52, 62}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(rgbPixelOf(tables, c.attr, c.lightExponent, c.smoothing), c.rgb)
        << c.attr[0] << " " << c.attr[1] << " " << c.attr[2] << " " << c.lightExponent;
  }
}

TEST(FillTrueColour, NeighbourReadsStayInsideTheirTables) {
  RgbTables tables;
  std::fill(tables.image.pixels.begin(), tables.image.pixels.end(), kPoison);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) tables.image.at(x, y) = 50;
  std::fill(tables.map.begin(), tables.map.begin() + kShadeMapSize * kShadeMapSize, 64);
  // Last texel column and row, map entry 255 in both directions, and an
  // exponent below 1 that lifts the light above the table's first row.
  const std::array<std::int32_t, 5> edge{fixed(1.5), fixed(1.5), fixed(255.5), fixed(255.5), fixed(3)};
  EXPECT_EQ(rgbPixelOf(tables, edge, 0.5, 1.0), (std::array<std::uint8_t, 3>{0, 50, 0}));
  // Light exactly 63 reads row 63 alone, never the row after it.
  std::fill(tables.map.begin(), tables.map.begin() + kShadeMapSize * kShadeMapSize, 0);
  EXPECT_EQ(rgbPixelOf(tables, edge, 1.0, 1.0), (std::array<std::uint8_t, 3>{63, 50, 126}));
}

}  // namespace
}  // namespace pelt::test
