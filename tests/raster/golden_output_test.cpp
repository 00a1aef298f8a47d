// Pins every filler's exact output (pixels, depth, pick) to checksums taken
// from the straightforward rasterizer, so speed work cannot move a single
// value. The constants were produced by running this test against the
// rasterizer before any of the speed work (commit "Rasterizer golden
// checksums") and copying the hashes it printed. Hashes of the true-colour
// filler depend on the C library's pow; they are taken with glibc on x86-64.
// The fillers the checksums leave out are held to the plain loop instead.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "raster/rasterizer.h"
#include "raster/sheet_scene.h"
#include "raster_target.h"

namespace pelt::test {
namespace {

// FNV-1a over 64-bit words, then the tail bytes.
struct Hash {
  std::uint64_t value = 14695981039346656037ull;
  template <class T>
  void add(const std::vector<T>& v) {
    const auto* p = reinterpret_cast<const unsigned char*>(v.data());
    const std::size_t bytes = v.size() * sizeof(T);
    std::size_t i = 0;
    for (std::uint64_t word; i + 8 <= bytes; i += 8) {
      std::memcpy(&word, p + i, 8);
      value = (value ^ word) * 1099511628211ull;
    }
    for (; i < bytes; ++i) value = (value ^ p[i]) * 1099511628211ull;
  }
};

// Every value a corner may carry, in the order of kRoles, so one random
// corner serves every layout.
constexpr std::string_view kRoles = "uvstzcl";
struct Corner {
  std::int32_t x, y;
  std::array<std::int32_t, kRoles.size()> a;
};
using Polygon = std::vector<Corner>;

// The corners with the attributes `roles` names ("uvz": u, v, depth).
template <std::size_t N>
std::vector<ScreenVertex<N - 1>> layout(const Polygon& polygon, const char (&roles)[N]) {
  std::vector<ScreenVertex<N - 1>> out;
  for (const Corner& k : polygon) {
    ScreenVertex<N - 1> v{k.x, k.y, {}};
    for (std::size_t i = 0; i + 1 < N; ++i) v.attr[i] = k.a[kRoles.find(roles[i])];
    out.push_back(v);
  }
  return out;
}

struct Filler {
  std::string name;
  std::function<void(Rasterizer&, const Polygon&)> draw;
  int bytesPerPixel = 1;
};

std::vector<Filler> allFillers() {
  constexpr std::int32_t kId = 0x51;
  std::vector<Filler> f;
  // One filler, its attribute layout and any further arguments.
#define PELT_FILLER(name, roles, ...)                                       \
  f.push_back({#name, [=](Rasterizer& r, const Polygon& p) {                \
                 r.fill##name(layout(p, roles) __VA_OPT__(, ) __VA_ARGS__); \
               }})
  PELT_FILLER(Flat, "", 9);
  PELT_FILLER(FlatDepth, "z", 9);
  PELT_FILLER(FlatDepthPick, "z", 9, kId);
  PELT_FILLER(Gouraud, "c");
  PELT_FILLER(GouraudDepth, "cz");
  PELT_FILLER(GouraudDepthPick, "cz", kId);
  PELT_FILLER(MapDepth, "stz");
  PELT_FILLER(MapDepthPick, "stz", kId);
  PELT_FILLER(MapRampDepth, "stz", 250);
  PELT_FILLER(MapRampDepthPick, "stz", kId, 200);
  PELT_FILLER(TextureDepth, "uvz");
  PELT_FILLER(TextureDepthPick, "uvz", kId);
  PELT_FILLER(TextureDepthTexel, "uvz");
  PELT_FILLER(TextureLitDepth, "uvlz");
  PELT_FILLER(TextureLitDepthPick, "uvlz", kId);
  PELT_FILLER(TextureLitDepthTexel, "uvlz");
  PELT_FILLER(TextureMapLitDepth, "uvstz");
  PELT_FILLER(TextureMapLitDepthPick, "uvstz", kId);
  PELT_FILLER(TextureMapLitDepthTexel, "uvstz");
  PELT_FILLER(Texture, "uv");
  PELT_FILLER(TextureTexel, "uv");
  PELT_FILLER(TextureRounded, "uv");
#undef PELT_FILLER
  // The true-colour filler with plain, shaped and sharpened settings.
  for (const auto& [light, smoothing] : {std::pair{1.0, 1.0}, {1.3, 1.0}, {0.7, 1.8}}) {
    f.push_back({"Rgb " + std::to_string(light) + " " + std::to_string(smoothing),
                 [=](Rasterizer& r, const Polygon& p) {
                   r.fillTextureMapLitDepthRgb(layout(p, "uvstz"), light, smoothing);
                 },
                 3});
  }
  return f;
}

// Draws every polygon with one filler into cleared buffers and hashes them.
std::uint64_t drawAndHash(RasterTarget& target, const Filler& filler,
                          const std::vector<Polygon>& polygons) {
  target.raster.clearDepth(kDepthFar);
  target.raster.clearPick(kPickNothing);
  std::fill(target.pixels.begin(), target.pixels.end(), kBackground);
  for (const Polygon& p : polygons) filler.draw(target.raster, p);
  target.expectSpansEmpty();
  target.expectGuardsIntact(static_cast<std::size_t>(filler.bytesPerPixel));
  Hash h;
  h.add(target.pixels);
  h.add(target.depth);
  h.add(target.pick);
  return h.value;
}

// Uniform in lo..hi from the raw generator, so the inputs do not depend on
// the standard library's distributions.
std::int32_t uniform(std::mt19937& rng, std::int64_t lo, std::int64_t hi) {
  const std::uint64_t wide = (static_cast<std::uint64_t>(rng()) << 32) | rng();
  return static_cast<std::int32_t>(
      lo + static_cast<std::int64_t>(wide % static_cast<std::uint64_t>(hi - lo + 1)));
}

constexpr int kWidth = 61;
constexpr int kHeight = 45;
constexpr int kTextureWidth = 45;
constexpr int kTextureHeight = 37;
constexpr int kTexturePitch = 51;

// Triangles mostly, some quads and five-corner polygons, a few closed by a
// copy of the first corner; corners up to 1.5 buffer sizes outside, small
// and degenerate ones too. Depths share a narrow range so polygons overlap
// and tie.
std::vector<Polygon> randomPolygons(std::uint32_t seed, int count, bool trueColour) {
  std::mt19937 rng(seed);
  std::vector<Polygon> polygons;
  for (int n = 0; n < count; ++n) {
    const int kind = uniform(rng, 0, 19);
    const int corners = kind < 14 ? 3 : kind < 18 ? 4 : 5;
    Polygon p;
    for (int i = 0; i < corners; ++i) {
      Corner k{};
      const int shape = uniform(rng, 0, 9);
      if (i > 0 && shape < 3) {  // near the first corner
        k.x = p[0].x + uniform(rng, -5, 5);
        k.y = p[0].y + uniform(rng, -5, 5);
      } else if (i > 0 && shape == 3) {  // sharing a row or column
        k.x = uniform(rng, 0, 1) ? p[0].x : uniform(rng, -kWidth, 2 * kWidth);
        k.y = k.x == p[0].x ? uniform(rng, -kHeight, 2 * kHeight) : p[0].y;
      } else {
        k.x = uniform(rng, -3 * kWidth / 2, 5 * kWidth / 2);
        k.y = uniform(rng, -3 * kHeight / 2, 5 * kHeight / 2);
      }
      const std::int32_t border = trueColour ? 4 * kFixedOne : 0;
      const std::array<int, 4> extents{kTextureWidth, kTextureHeight, kShadeMapSize, kShadeMapSize};
      for (int r = 0; r < 4; ++r)
        k.a[r] = uniform(rng, -border, (extents[r] - 1) * kFixedOne + border);
      k.a[4] = uniform(rng, 0, 300 * kFixedOne) + (uniform(rng, 0, 3) == 0 ? 0 : 30000 * kFixedOne);
      k.a[5] = static_cast<std::int32_t>(rng());  // any value: the ramp wraps
      k.a[6] = uniform(rng, 0, 63 * kFixedOne + 0xFFFF);
      p.push_back(k);
    }
    if (uniform(rng, 0, 9) == 0 && corners < kMaxCorners) p.push_back(p[0]);
    polygons.push_back(p);
  }
  return polygons;
}

// One recorded run: the tables the fillers read, the polygons they draw
// (the true-colour filler its own, over its own map) and the hashes in
// allFillers() order. With `tenRows` the true-colour filler also draws with
// ten light rows, so the clamp to the last row shows.
struct Golden {
  int width, height;
  TextureView texture, map, rgbMap;
  const std::uint8_t *colormap, *colormapRgb;
  std::vector<Polygon> polygons, rgbPolygons;
  bool tenRows;
  std::vector<std::uint64_t> hashes;
};

// False when the CPU lacks the lanes.
bool matches(SpanLanes lanes, const Golden& g) {
  RasterTarget target(g.width, g.height), rgbTarget(g.width, g.height, 3);
  if (target.raster.useSpanLanes(lanes) != lanes || rgbTarget.raster.useSpanLanes(lanes) != lanes)
    return false;
  target.raster.bindTexture(g.texture);
  rgbTarget.raster.bindTexture(g.texture);
  target.raster.bindShadeMap(g.map);
  rgbTarget.raster.bindShadeMap(g.rgbMap);
  target.raster.bindColormap(g.colormap, 64);
  const std::vector<Filler> fillers = allFillers();
  EXPECT_EQ(fillers.size(), g.hashes.size());
  for (std::size_t i = 0; i < fillers.size() && i < g.hashes.size(); ++i) {
    const Filler& f = fillers[i];
    if (f.bytesPerPixel == 1) {
      EXPECT_EQ(drawAndHash(target, f, g.polygons), g.hashes[i]) << f.name;
      continue;
    }
    rgbTarget.raster.bindColormap(g.colormapRgb, 64);
    std::uint64_t hash = drawAndHash(rgbTarget, f, g.rgbPolygons);
    if (g.tenRows) {
      rgbTarget.raster.bindColormap(g.colormapRgb, 10);
      hash ^= drawAndHash(rgbTarget, f, g.rgbPolygons) * 3;
    }
    EXPECT_EQ(hash, g.hashes[i]) << f.name;
  }
  return true;
}

// Every span width must give the recorded values: the plain loop, and the
// eight- and sixteen-lane loops where the CPU has them; on seeded random
// polygons over a texture whose rows are padded, and on the benchmark's sheet.
TEST(RasterGolden, EveryLaneWidthMatchesTheRecordedOutput) {
  std::mt19937 rng(77);
  std::vector<std::uint8_t> texels(static_cast<std::size_t>(kTexturePitch) * kTextureHeight);
  std::vector<std::int32_t> rows(kTextureHeight);
  for (auto& t : texels) t = static_cast<std::uint8_t>(rng());
  for (int r = 0; r < kTextureHeight; ++r) rows[r] = r * kTexturePitch;
  TestImage map(kShadeMapSize, kShadeMapSize), brightMap(kShadeMapSize, kShadeMapSize);
  for (auto& m : map.pixels) m = static_cast<std::uint8_t>(rng() % 64);
  for (auto& m : brightMap.pixels) m = static_cast<std::uint8_t>(rng());  // up to 4x full light
  std::vector<std::uint8_t> colormap(64 * 256), colormapRgb(64 * 256 * 3);
  for (auto& c : colormap) c = static_cast<std::uint8_t>(rng());
  for (auto& c : colormapRgb) c = static_cast<std::uint8_t>(rng());
  const SheetScene scene;
  std::vector<Polygon> sheet;
  for (const auto& tri : scene.mesh5) {
    Polygon& p = sheet.emplace_back();
    for (const auto& k : tri) {
      const std::int32_t u = k.attr[0], v = k.attr[1];
      p.push_back({k.x, k.y, {u, v, k.attr[2], k.attr[3], k.attr[4], u + v, v >> 2}});
    }
  }
  // In allFillers() order.
  const std::vector<std::uint64_t> randomHashes{
      0x707304fa656491edull, 0xa70822216e5edefbull, 0x2d828287343cf435ull, 0x2def731718c0f2b8ull,
      0x332d7322853fefc6ull, 0xdadc91c4635c92c0ull, 0x3dffbf1b34395674ull, 0x4a6aba1cdb76b792ull,
      0x353d0d2e99df03acull, 0x1654eaa76d05fc92ull, 0xe1ca5b3158ebda98ull, 0x144c44e236dbb58eull,
      0xb0e9f740d567e878ull, 0x2fe5fe07dfd529c0ull, 0x3e88abe2fd3e69c6ull, 0x7276af891a08bd50ull,
      0x4f48720dc571f3baull, 0x5040724b2a496cecull, 0xe21e4f17cc82d6aeull, 0x10a279a45cb42f59ull,
      0x4eba614c9c993ed3ull, 0x5bc1ddf67c5faa79ull, 0x52c18981437c9c46ull, 0xd2b706a2a96a1dfcull,
      0x2742fae82ca672cdull};
  const std::vector<std::uint64_t> sheetHashes{
      0x1e4bd8d36a7c91aaull, 0x368e0d140c767b9dull, 0xe2ddc69775f6bcefull, 0x4c4e55a67c1f088bull,
      0xc95be85ac3e8804eull, 0x8bbcf1dbc0fc2154ull, 0xfb7d013d0117b8acull, 0x1287bbd2d60f1db6ull,
      0xbeb7eb65fc448bcaull, 0x4d02ff5b1f36e86eull, 0x37dde55a52634e90ull, 0x091c286b6d7450f2ull,
      0x2c1e3b0088c900b5ull, 0x979e3278e84c82a8ull, 0x2563f4d091a366baull, 0xa9c632e93b6a999dull,
      0xc6e8790a433d930full, 0xe99554b1d08c49fdull, 0x58678249cf111baeull, 0x384563b2125758c7ull,
      0x3a343118a8569069ull, 0xa9825e6f8ee3f4e1ull, 0x27e4ea4eb00ef137ull, 0x9cb6038903924770ull,
      0x7be10248674c4f71ull};
  const TextureView texture{texels.data(), rows.data(), kTextureWidth, kTextureHeight};
  const Golden goldens[] = {
      {kWidth, kHeight, texture, map.view(), brightMap.view(), colormap.data(), colormapRgb.data(),
       randomPolygons(31337, 4000, false), randomPolygons(4242, 1500, true), true, randomHashes},
      {SheetScene::kWidth, SheetScene::kHeight, scene.skinView(), scene.shadeMapView(),
       scene.shadeMapView(), scene.colormap.data(), scene.colormapRgb.data(), sheet, sheet, false,
       sheetHashes}};
  for (SpanLanes lanes : {SpanLanes::One, SpanLanes::Eight, SpanLanes::Sixteen}) {
    SCOPED_TRACE(static_cast<int>(lanes));
    const bool ran = matches(lanes, goldens[0]);
    EXPECT_EQ(matches(lanes, goldens[1]), ran);
    EXPECT_TRUE(ran || lanes != SpanLanes::One);
  }
}

// --- fillers without checksums, held to the plain loop -----------------------

// A skin with a plain row table (no padding after the last texel) that the
// lanes read a word at a time.
TestImage randomSkin(int w, int h) {
  TestImage skin(w, h);
  std::mt19937 rng(5);
  for (auto& t : skin.pixels) t = static_cast<std::uint8_t>(rng());
  return skin;
}

// Draws with the plain loop and in `lanes` and expects the same buffers;
// false when the CPU lacks the lanes.
bool sameAsPlainLoop(SpanLanes lanes, const std::function<void(RasterTarget&, bool plain)>& draw) {
  RasterTarget plain(kWidth, kHeight), laned(kWidth, kHeight);
  plain.raster.useSpanLanes(SpanLanes::One);
  if (laned.raster.useSpanLanes(lanes) != lanes) return false;
  draw(plain, true);
  draw(laned, false);
  EXPECT_TRUE(plain.pixels == laned.pixels && plain.depth == laned.depth &&
              plain.pick == laned.pick);
  laned.expectGuardsIntact();
  laned.expectSpansEmpty();
  return true;
}

// Triangles whose corners pile up at the bottom right, so spans end at the
// buffers' last pixel and texels are read at the texture's last bytes.
TEST(LaneTexture, PlainRowTableMatchesThePlainLoop) {
  const TestImage skin = randomSkin(13, 7);
  std::mt19937 rng(99);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto near = [&](bool corner, int last) {
    return corner ? last - pick(0, 3) : pick(-10, last + 11);
  };
  auto texel = [&](bool corner, int size) {
    return corner ? (size - 1) * kFixedOne + pick(0, kFixedOne - 1) : pick(0, size * kFixedOne - 1);
  };
  std::vector<std::array<ScreenVertex<3>, 3>> triangles(3000);
  for (auto& t : triangles) {
    for (auto& k : t) {
      const bool corner = pick(0, 2) == 0;
      k = {near(corner, kWidth - 1),
           near(corner, kHeight - 1),
           {texel(corner, skin.width), texel(corner, skin.height),
            static_cast<std::int32_t>(std::uint32_t(pick(0, 0xFFFF)) << kFixedShift)}};
    }
  }
  for (SpanLanes lanes : {SpanLanes::Eight, SpanLanes::Sixteen}) {
    for (int f = 0; f < 3; ++f) {
      SCOPED_TRACE(std::to_string(static_cast<int>(lanes)) + " lanes, filler " + std::to_string(f));
      bool lastTexel = false;  // drawn at all
      const bool ran = sameAsPlainLoop(lanes, [&](RasterTarget& target, bool plain) {
        target.raster.bindTexture(skin.view());
        for (const auto& t : triangles) {
          if (f == 0) target.raster.fillTextureDepth(t);
          if (f == 1) target.raster.fillTextureDepthPick(t, 7);
          if (f == 2) target.raster.fillTextureDepthTexel(t);
        }
        lastTexel |= plain && std::count(target.pick.begin(), target.pick.end(),
                                         skin.width * skin.height - 1);
      });
      EXPECT_TRUE(lastTexel || !ran || f != 2);
    }
  }
}

// Upright quads (the skin view's) from minified to magnified twelve times,
// some running off the buffer, some mirrored, up to the texture's last byte,
// and sheared ones: drawn over a cleared buffer by the plain loop, and over
// stale contents by the fillers that clear only around the quad.
TEST(LaneTexture, QuadsOnClearMatchThePlainLoopInEveryWidth) {
  for (SpanLanes lanes : {SpanLanes::One, SpanLanes::Eight, SpanLanes::Sixteen}) {
    std::mt19937 rng(21);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 400 && !HasFailure(); ++round) {
      SCOPED_TRACE(std::to_string(static_cast<int>(lanes)) + " lanes, round " +
                   std::to_string(round));
      // Some wide enough that a minified group of sixteen spans 64 texels.
      const TestImage skin = randomSkin(round % 4 == 0 ? 300 : 13, 7);
      const int x0 = pick(-30, kWidth), y0 = pick(-30, kHeight);
      const int x1 =
          x0 + pick(1, skin.width * 12 / (round % 4 == 0 ? 20 : 1)) * (pick(0, 5) == 0 ? -1 : 1);
      const int y1 = y0 + pick(1, skin.height * 12);
      const int shear = pick(0, 3) == 0 ? pick(-9, 9) : 0;
      const std::int32_t u1 = skin.width * kFixedOne - pick(1, kFixedOne);
      const std::int32_t v1 = skin.height * kFixedOne - pick(1, kFixedOne);
      const std::array<ScreenVertex<2>, 5> quad{{{x0, y0, {0, 0}},
                                                 {x1, y0 + shear, {u1, 0}},
                                                 {x1, y1, {u1, v1}},
                                                 {x0, y1, {0, v1}},
                                                 {x0, y0, {0, 0}}}};
      const bool texels = round % 2 == 0;
      if (!sameAsPlainLoop(lanes, [&](RasterTarget& target, bool plain) {
            target.raster.bindTexture(skin.view());
            std::fill_n(target.pick.begin(), kWidth * kHeight, 12345);
            if (plain) {
              target.raster.clearPixels(3);
              if (texels) target.raster.clearPick(kPickNothing);
              texels ? target.raster.fillTextureTexel(quad) : target.raster.fillTexture(quad);
            } else {
              std::fill_n(target.pixels.begin(), kWidth * kHeight, std::uint8_t{0x5A});
              texels ? target.raster.fillTextureTexelOnClear(quad, 3, kPickNothing)
                     : target.raster.fillTextureOnClear(quad, 3);
            }
          }))
        break;
    }
  }
}

}  // namespace
}  // namespace pelt::test
