// Pins every filler's exact output (pixels, depth, pick) to checksums taken
// from the straightforward rasterizer, so speed work cannot move a single
// value. The constants were produced by running this test against the
// rasterizer before any of the speed work (commit "Rasterizer golden
// checksums") and copying the hashes it printed. Hashes of the true-colour
// filler depend on the C library's pow; they are taken with glibc on x86-64.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "raster/rasterizer.h"
#include "raster/sheet_scene.h"
#include "raster_target.h"

namespace pelt::test {
namespace {

// FNV-1a over 64-bit words, then the tail bytes.
struct Hash {
  std::uint64_t value = 14695981039346656037ull;
  void add(const void* data, std::size_t bytes) {
    const auto* p = static_cast<const unsigned char*>(data);
    std::size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, p + i, 8);
      value = (value ^ word) * 1099511628211ull;
    }
    for (; i < bytes; ++i) value = (value ^ p[i]) * 1099511628211ull;
  }
  template <class T>
  void add(const std::vector<T>& v) {
    add(v.data(), v.size() * sizeof(T));
  }
};

// Every role an attribute plays, so one random corner serves every layout.
struct Corner {
  std::int32_t x, y;
  std::int32_t u, v, s, t, z, c, l;
};
using Polygon = std::vector<Corner>;

template <int N>
std::vector<ScreenVertex<N>> layout(const Polygon& polygon,
                                    const std::function<std::array<std::int32_t, N>(const Corner&)>& attr) {
  std::vector<ScreenVertex<N>> out;
  for (const Corner& k : polygon) out.push_back({k.x, k.y, attr(k)});
  return out;
}

using Draw = std::function<void(Rasterizer&, const Polygon&)>;

struct Filler {
  std::string name;
  Draw draw;
  int bytesPerPixel = 1;
};

std::vector<Filler> allFillers() {
  using A0 = std::array<std::int32_t, 0>;
  using A1 = std::array<std::int32_t, 1>;
  using A2 = std::array<std::int32_t, 2>;
  using A3 = std::array<std::int32_t, 3>;
  using A4 = std::array<std::int32_t, 4>;
  using A5 = std::array<std::int32_t, 5>;
  auto none = [](const Corner&) { return A0{}; };
  auto z = [](const Corner& k) { return A1{k.z}; };
  auto c = [](const Corner& k) { return A1{k.c}; };
  auto cz = [](const Corner& k) { return A2{k.c, k.z}; };
  auto stz = [](const Corner& k) { return A3{k.s, k.t, k.z}; };
  auto uvz = [](const Corner& k) { return A3{k.u, k.v, k.z}; };
  auto uvlz = [](const Corner& k) { return A4{k.u, k.v, k.l, k.z}; };
  auto uvstz = [](const Corner& k) { return A5{k.u, k.v, k.s, k.t, k.z}; };
  auto uv = [](const Corner& k) { return A2{k.u, k.v}; };
  constexpr std::int32_t kId = 0x51;
  std::vector<Filler> f;
  // One filler, its attribute layout and any further arguments.
#define PELT_FILLER(name, n, attr, ...) \
  f.push_back({#name, [=](Rasterizer& r, const Polygon& p) { r.fill##name(layout<n>(p, attr) __VA_OPT__(, ) __VA_ARGS__); }})
  PELT_FILLER(Flat, 0, none, 9);
  PELT_FILLER(FlatDepth, 1, z, 9);
  PELT_FILLER(FlatDepthPick, 1, z, 9, kId);
  PELT_FILLER(Gouraud, 1, c);
  PELT_FILLER(GouraudDepth, 2, cz);
  PELT_FILLER(GouraudDepthPick, 2, cz, kId);
  PELT_FILLER(MapDepth, 3, stz);
  PELT_FILLER(MapDepthPick, 3, stz, kId);
  PELT_FILLER(MapRampDepth, 3, stz, 250);
  PELT_FILLER(MapRampDepthPick, 3, stz, kId, 200);
  PELT_FILLER(TextureDepth, 3, uvz);
  PELT_FILLER(TextureDepthPick, 3, uvz, kId);
  PELT_FILLER(TextureDepthTexel, 3, uvz);
  PELT_FILLER(TextureLitDepth, 4, uvlz);
  PELT_FILLER(TextureLitDepthPick, 4, uvlz, kId);
  PELT_FILLER(TextureLitDepthTexel, 4, uvlz);
  PELT_FILLER(TextureMapLitDepth, 5, uvstz);
  PELT_FILLER(TextureMapLitDepthPick, 5, uvstz, kId);
  PELT_FILLER(TextureMapLitDepthTexel, 5, uvstz);
  PELT_FILLER(Texture, 2, uv);
  PELT_FILLER(TextureTexel, 2, uv);
  PELT_FILLER(TextureRounded, 2, uv);
#undef PELT_FILLER
  // The true-colour filler with plain, shaped and sharpened settings.
  const std::array<std::array<double, 2>, 3> exponents{{{1.0, 1.0}, {1.3, 1.0}, {0.7, 1.8}}};
  for (const auto& e : exponents) {
    f.push_back({"Rgb " + std::to_string(e[0]) + " " + std::to_string(e[1]),
                 [=](Rasterizer& r, const Polygon& p) { r.fillTextureMapLitDepthRgb(layout<5>(p, uvstz), e[0], e[1]); },
                 3});
  }
  return f;
}

// Draws every polygon with one filler into cleared buffers and hashes them.
std::uint64_t drawAndHash(RasterTarget& target, const Filler& filler, const std::vector<Polygon>& polygons) {
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

void expectHashes(const std::vector<std::uint64_t>& actual, const std::vector<std::uint64_t>& expected,
                  const std::vector<Filler>& fillers) {
  ASSERT_EQ(actual.size(), fillers.size());
  std::string table;
  for (std::size_t i = 0; i < actual.size(); ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "0x%016llxull,\n", static_cast<unsigned long long>(actual[i]));
    table += line;
  }
  ASSERT_EQ(expected.size(), actual.size()) << "hashes:\n" << table;
  for (std::size_t i = 0; i < actual.size(); ++i)
    EXPECT_EQ(actual[i], expected[i]) << fillers[i].name << "\nhashes:\n" << table;
}

// Uniform in lo..hi from the raw generator, so the inputs do not depend on
// the standard library's distributions.
std::int32_t uniform(std::mt19937& rng, std::int64_t lo, std::int64_t hi) {
  const std::uint64_t wide = (static_cast<std::uint64_t>(rng()) << 32) | rng();
  return static_cast<std::int32_t>(lo + static_cast<std::int64_t>(wide % static_cast<std::uint64_t>(hi - lo + 1)));
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
      k.u = uniform(rng, -border, (kTextureWidth - 1) * kFixedOne + border);
      k.v = uniform(rng, -border, (kTextureHeight - 1) * kFixedOne + border);
      k.s = uniform(rng, -border, (kShadeMapSize - 1) * kFixedOne + border);
      k.t = uniform(rng, -border, (kShadeMapSize - 1) * kFixedOne + border);
      k.z = uniform(rng, 0, 300 * kFixedOne) + (uniform(rng, 0, 3) == 0 ? 0 : 30000 * kFixedOne);
      k.c = static_cast<std::int32_t>(rng());  // any value: the ramp wraps
      k.l = uniform(rng, 0, 63 * kFixedOne + 0xFFFF);
      p.push_back(k);
    }
    if (uniform(rng, 0, 9) == 0 && corners < kMaxCorners) p.push_back(p[0]);
    polygons.push_back(p);
  }
  return polygons;
}

bool chooseLanes(std::initializer_list<RasterTarget*> targets, SpanLanes lanes) {
  bool granted = true;
  for (RasterTarget* t : targets) granted &= t->raster.useSpanLanes(lanes) == lanes;
  return granted;
}

bool randomPolygonsMatch(SpanLanes lanes) {
  std::mt19937 rng(77);
  std::vector<std::uint8_t> texels(static_cast<std::size_t>(kTexturePitch) * kTextureHeight);
  std::vector<std::int32_t> rows(kTextureHeight);
  for (auto& t : texels) t = static_cast<std::uint8_t>(rng());
  for (int r = 0; r < kTextureHeight; ++r) rows[r] = r * kTexturePitch;
  TestImage map(kShadeMapSize, kShadeMapSize);
  TestImage brightMap(kShadeMapSize, kShadeMapSize);
  for (auto& m : map.pixels) m = static_cast<std::uint8_t>(rng() % 64);
  for (auto& m : brightMap.pixels) m = static_cast<std::uint8_t>(rng());  // up to four times full light
  std::vector<std::uint8_t> colormap(64 * 256);
  std::vector<std::uint8_t> colormapRgb(64 * 256 * 3);
  for (auto& c : colormap) c = static_cast<std::uint8_t>(rng());
  for (auto& c : colormapRgb) c = static_cast<std::uint8_t>(rng());

  const std::vector<Filler> fillers = allFillers();
  const std::vector<Polygon> polygons = randomPolygons(31337, 4000, false);
  const std::vector<Polygon> rgbPolygons = randomPolygons(4242, 1500, true);
  RasterTarget target(kWidth, kHeight);
  RasterTarget rgbTarget(kWidth, kHeight, 3);
  if (!chooseLanes({&target, &rgbTarget}, lanes)) return false;
  for (RasterTarget* t : {&target, &rgbTarget}) {
    t->raster.bindTexture({texels.data(), rows.data(), kTextureWidth, kTextureHeight});
  }
  target.raster.bindShadeMap(map.view());
  target.raster.bindColormap(colormap.data(), 64);
  rgbTarget.raster.bindShadeMap(brightMap.view());

  std::vector<std::uint64_t> actual;
  for (const Filler& f : fillers) {
    if (f.bytesPerPixel == 1) {
      actual.push_back(drawAndHash(target, f, polygons));
    } else {
      // A full light table, then one of ten rows so the clamp to the last row shows.
      rgbTarget.raster.bindColormap(colormapRgb.data(), 64);
      const std::uint64_t full = drawAndHash(rgbTarget, f, rgbPolygons);
      rgbTarget.raster.bindColormap(colormapRgb.data(), 10);
      actual.push_back(full ^ (drawAndHash(rgbTarget, f, rgbPolygons) * 3));
    }
  }
  // In allFillers() order.
  const std::vector<std::uint64_t> expected{
      0x707304fa656491edull, 0xa70822216e5edefbull, 0x2d828287343cf435ull,
      0x2def731718c0f2b8ull, 0x332d7322853fefc6ull, 0xdadc91c4635c92c0ull,
      0x3dffbf1b34395674ull, 0x4a6aba1cdb76b792ull, 0x353d0d2e99df03acull,
      0x1654eaa76d05fc92ull, 0xe1ca5b3158ebda98ull, 0x144c44e236dbb58eull,
      0xb0e9f740d567e878ull, 0x2fe5fe07dfd529c0ull, 0x3e88abe2fd3e69c6ull,
      0x7276af891a08bd50ull, 0x4f48720dc571f3baull, 0x5040724b2a496cecull,
      0xe21e4f17cc82d6aeull, 0x10a279a45cb42f59ull, 0x4eba614c9c993ed3ull,
      0x5bc1ddf67c5faa79ull, 0x52c18981437c9c46ull, 0xd2b706a2a96a1dfcull,
      0x2742fae82ca672cdull,
  };
  expectHashes(actual, expected, fillers);
  return true;
}

bool benchmarkSheetMatches(SpanLanes lanes) {
  const SheetScene scene;
  std::vector<Polygon> polygons;
  for (const auto& tri : scene.mesh5) {
    Polygon p;
    for (const auto& k : tri) {
      const std::int32_t u = k.attr[0], v = k.attr[1];
      p.push_back({k.x, k.y, u, v, k.attr[2], k.attr[3], k.attr[4], u + v, v >> 2});
    }
    polygons.push_back(p);
  }
  const std::vector<Filler> fillers = allFillers();
  RasterTarget target(SheetScene::kWidth, SheetScene::kHeight);
  RasterTarget rgbTarget(SheetScene::kWidth, SheetScene::kHeight, 3);
  if (!chooseLanes({&target, &rgbTarget}, lanes)) return false;
  for (RasterTarget* t : {&target, &rgbTarget}) {
    t->raster.bindTexture(scene.skinView());
    t->raster.bindShadeMap(scene.shadeMapView());
  }
  target.raster.bindColormap(scene.colormap.data(), 64);
  rgbTarget.raster.bindColormap(scene.colormapRgb.data(), 64);
  std::vector<std::uint64_t> actual;
  for (const Filler& f : fillers)
    actual.push_back(drawAndHash(f.bytesPerPixel == 1 ? target : rgbTarget, f, polygons));
  // In allFillers() order.
  const std::vector<std::uint64_t> expected{
      0x1e4bd8d36a7c91aaull, 0x368e0d140c767b9dull, 0xe2ddc69775f6bcefull,
      0x4c4e55a67c1f088bull, 0xc95be85ac3e8804eull, 0x8bbcf1dbc0fc2154ull,
      0xfb7d013d0117b8acull, 0x1287bbd2d60f1db6ull, 0xbeb7eb65fc448bcaull,
      0x4d02ff5b1f36e86eull, 0x37dde55a52634e90ull, 0x091c286b6d7450f2ull,
      0x2c1e3b0088c900b5ull, 0x979e3278e84c82a8ull, 0x2563f4d091a366baull,
      0xa9c632e93b6a999dull, 0xc6e8790a433d930full, 0xe99554b1d08c49fdull,
      0x58678249cf111baeull, 0x384563b2125758c7ull, 0x3a343118a8569069ull,
      0xa9825e6f8ee3f4e1ull, 0x27e4ea4eb00ef137ull, 0x9cb6038903924770ull,
      0x7be10248674c4f71ull,
  };
  expectHashes(actual, expected, fillers);
  return true;
}

// Every span width must give the recorded values: the plain loop, and the
// eight- and sixteen-lane loops where the CPU has them.
TEST(RasterGolden, EveryLaneWidthMatchesTheRecordedOutput) {
  for (SpanLanes lanes : {SpanLanes::One, SpanLanes::Eight, SpanLanes::Sixteen}) {
    SCOPED_TRACE(static_cast<int>(lanes));
    const bool ran = randomPolygonsMatch(lanes);
    EXPECT_EQ(benchmarkSheetMatches(lanes), ran);
    EXPECT_TRUE(ran || lanes != SpanLanes::One);
  }
}

}  // namespace
}  // namespace pelt::test
