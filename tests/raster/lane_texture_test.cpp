// The lanes read a texture with a plain row table a word at a time; they must
// still give exactly the plain loop's pixels, depths and picks, also where a
// texel is among the texture's last bytes and where spans reach the buffers'
// last pixel.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "raster/rasterizer.h"
#include "raster_target.h"

namespace pelt::test {
namespace {

constexpr int kWidth = 61;
constexpr int kHeight = 47;
constexpr int kSkinWidth = 13;
constexpr int kSkinHeight = 7;

struct Skin {
  explicit Skin(int w = kSkinWidth, int h = kSkinHeight) : width(w), height(h), texels(w * h), rows(h) {
    std::mt19937 rng(5);
    for (auto& t : texels) t = static_cast<std::uint8_t>(rng());
    for (int r = 0; r < h; ++r) rows[r] = r * w;
  }
  TextureView view() const { return {texels.data(), rows.data(), width, height}; }
  int width, height;
  std::vector<std::uint8_t> texels;
  std::vector<std::int32_t> rows;
};

std::vector<std::array<ScreenVertex<3>, 3>> triangles(unsigned seed, int count) {
  std::mt19937 rng(seed);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::vector<std::array<ScreenVertex<3>, 3>> out;
  for (int i = 0; i < count; ++i) {
    std::array<ScreenVertex<3>, 3> t;
    for (auto& k : t) {
      // Corners pile up at the bottom right so spans end at the last pixel,
      // and texels at the texture's far corner.
      const bool corner = pick(0, 2) == 0;
      k.x = corner ? kWidth - 1 - pick(0, 3) : pick(-10, kWidth + 10);
      k.y = corner ? kHeight - 1 - pick(0, 3) : pick(-10, kHeight + 10);
      k.attr[0] = corner ? (kSkinWidth - 1) * kFixedOne + pick(0, kFixedOne - 1) : pick(0, kSkinWidth * kFixedOne - 1);
      k.attr[1] = corner ? (kSkinHeight - 1) * kFixedOne + pick(0, kFixedOne - 1) : pick(0, kSkinHeight * kFixedOne - 1);
      k.attr[2] = static_cast<std::int32_t>(static_cast<std::uint32_t>(pick(0, 0xFFFF)) << kFixedShift);
    }
    out.push_back(t);
  }
  return out;
}

void draw(RasterTarget& target, const Skin& skin, int filler) {
  target.raster.bindTexture(skin.view());
  for (const auto& t : triangles(99, 3000)) {
    if (filler == 0) target.raster.fillTextureDepth(t);
    if (filler == 1) target.raster.fillTextureDepthPick(t, 7);
    if (filler == 2) target.raster.fillTextureDepthTexel(t);
  }
}

void expectPlainLoopOutput(SpanLanes width) {
  const Skin skin;
  for (int filler = 0; filler < 3; ++filler) {
    RasterTarget plain(kWidth, kHeight);
    RasterTarget lanes(kWidth, kHeight);
    plain.raster.useSpanLanes(SpanLanes::One);
    if (lanes.raster.useSpanLanes(width) != width) GTEST_SKIP() << "the CPU lacks these lanes";
    draw(plain, skin, filler);
    draw(lanes, skin, filler);
    EXPECT_EQ(plain.pixels, lanes.pixels) << "filler " << filler;
    EXPECT_EQ(plain.depth, lanes.depth) << "filler " << filler;
    EXPECT_EQ(plain.pick, lanes.pick) << "filler " << filler;
    lanes.expectGuardsIntact();
    // The far texels were drawn at all.
    if (filler == 2) {
      EXPECT_GT(std::count_if(plain.pick.begin(), plain.pick.end(),
                              [](std::int32_t p) { return p >= kSkinWidth * kSkinHeight - 3; }), 0);
    }
  }
}

// Upright quads (the skin view's) from minified to magnified twelve times,
// some running off the buffer, some mirrored, some up to the texture's last byte, and sheared ones: drawn
// over a cleared buffer by the plain loop, and over stale contents by the
// fillers that clear only around the quad, in the given lanes.
void expectQuadsOnClearMatch(SpanLanes width) {
  std::mt19937 rng(21);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 400; ++round) {
    // Some wide enough that a minified group of sixteen spans 64 texels.
    const Skin skin(round % 4 == 0 ? 300 : kSkinWidth, kSkinHeight);
    const int x0 = pick(-30, kWidth), y0 = pick(-30, kHeight);
    const int x1 = x0 + pick(1, skin.width * 12 / (round % 4 == 0 ? 20 : 1)) * (pick(0, 5) == 0 ? -1 : 1);
    const int y1 = y0 + pick(1, skin.height * 12);
    const int shear = pick(0, 3) == 0 ? pick(-9, 9) : 0;
    // Up to the far edge, so the texture's last bytes are read.
    const std::int32_t u1 = skin.width * kFixedOne - pick(1, kFixedOne);
    const std::int32_t v1 = skin.height * kFixedOne - pick(1, kFixedOne);
    const std::array<ScreenVertex<2>, 5> quad{{{x0, y0, {0, 0}},
                                               {x1, y0 + shear, {u1, 0}},
                                               {x1, y1, {u1, v1}},
                                               {x0, y1, {0, v1}},
                                               {x0, y0, {0, 0}}}};
    const bool texels = round % 2 == 0;
    RasterTarget plain(kWidth, kHeight);
    RasterTarget lanes(kWidth, kHeight);
    plain.raster.useSpanLanes(SpanLanes::One);
    if (lanes.raster.useSpanLanes(width) != width) GTEST_SKIP() << "the CPU lacks these lanes";
    plain.raster.bindTexture(skin.view());
    lanes.raster.bindTexture(skin.view());
    std::fill_n(lanes.pixels.begin(), kWidth * kHeight, std::uint8_t{0x5A});
    std::fill_n(lanes.pick.begin(), kWidth * kHeight, 12345);
    plain.raster.clearPixels(3);
    if (texels) {
      plain.raster.clearPick(kPickNothing);
      plain.raster.fillTextureTexel(quad);
      lanes.raster.fillTextureTexelOnClear(quad, 3, kPickNothing);
    } else {
      plain.raster.fillTexture(quad);
      lanes.raster.fillTextureOnClear(quad, 3);
      std::fill_n(plain.pick.begin(), kWidth * kHeight, 12345);  // left alone
    }
    ASSERT_EQ(plain.pixels, lanes.pixels) << "round " << round;
    ASSERT_EQ(plain.pick, lanes.pick) << "round " << round;
    lanes.expectGuardsIntact();
    lanes.expectSpansEmpty();
  }
}

TEST(LaneTexture, QuadsOnClearMatchThePlainLoopInEveryWidth) {
  for (SpanLanes width : {SpanLanes::One, SpanLanes::Eight, SpanLanes::Sixteen}) expectQuadsOnClearMatch(width);
}

TEST(LaneTexture, PlainRowTableMatchesThePlainLoopInEightLanes) { expectPlainLoopOutput(SpanLanes::Eight); }
TEST(LaneTexture, PlainRowTableMatchesThePlainLoopInSixteenLanes) { expectPlainLoopOutput(SpanLanes::Sixteen); }

}  // namespace
}  // namespace pelt::test
