// Rasterizer throughput on a 1024 x 768 target: the three clears, a textured
// mesh with depth and texel picking, a full-target textured quad, and the
// true-colour snapshot filler on the same mesh.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "raster/rasterizer.h"

namespace {

using namespace pelt;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kSkin = 256;
constexpr int kColumns = 40;  // 40 x 25 cells, two triangles each
constexpr int kRows = 25;

struct Scene {
  Scene()
      : pixels(static_cast<std::size_t>(kWidth) * kHeight),
        rgb(static_cast<std::size_t>(kWidth) * kHeight * 3),
        depth(static_cast<std::size_t>(kWidth) * kHeight),
        pick(static_cast<std::size_t>(kWidth) * kHeight),
        skin(kSkin * kSkin),
        skinRows(kSkin),
        shadeMap(kShadeMapSize * kShadeMapSize),
        colormap(64 * 256),
        colormapRgb(64 * 256 * 3) {
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    for (auto& t : skin) t = static_cast<std::uint8_t>(byte(rng));
    for (int r = 0; r < kSkin; ++r) skinRows[r] = r * kSkin;
    for (auto& m : shadeMap) m = static_cast<std::uint8_t>(byte(rng) % 64);
    for (auto& c : colormap) c = static_cast<std::uint8_t>(byte(rng));
    for (auto& c : colormapRgb) c = static_cast<std::uint8_t>(byte(rng));
    buildMesh(rng);
    raster.setSize(kWidth, kHeight);
    raster.bindPixels(pixels.data());
    raster.bindDepth(depth.data());
    raster.bindPick(pick.data());
    raster.bindTexture({skin.data(), skinRows.data(), kSkin, kSkin});
    raster.bindShadeMap({shadeMap.data(), nullptr, kShadeMapSize, kShadeMapSize});
    raster.resetSpans();
  }

  // A jittered sheet over the middle half of the target, every triangle
  // wound the same way, with skin, map and depth coordinates varying smoothly.
  void buildMesh(std::mt19937& rng) {
    constexpr double kLeft = 150, kTop = 112, kCellW = 18.1, kCellH = 21.7;
    std::uniform_real_distribution<double> jitter(-4.0, 4.0);
    std::vector<ScreenVertex<5>> grid;
    for (int r = 0; r <= kRows; ++r) {
      for (int c = 0; c <= kColumns; ++c) {
        const bool border = r == 0 || c == 0 || r == kRows || c == kColumns;
        const double x = kLeft + c * kCellW + (border ? 0 : jitter(rng));
        const double y = kTop + r * kCellH + (border ? 0 : jitter(rng));
        const double u = c * (kSkin - 1.0) / kColumns;
        const double v = r * (kSkin - 1.0) / kRows;
        const double z = 2000 + 40 * c + 25 * r;
        grid.push_back({static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
                        {static_cast<std::int32_t>(u * kFixedOne), static_cast<std::int32_t>(v * kFixedOne),
                         static_cast<std::int32_t>(u * kFixedOne), static_cast<std::int32_t>(v * kFixedOne),
                         static_cast<std::int32_t>(z * kFixedOne)}});
      }
    }
    auto at = [&](int r, int c) { return grid[r * (kColumns + 1) + c]; };
    for (int r = 0; r < kRows; ++r) {
      for (int c = 0; c < kColumns; ++c) {
        mesh5.push_back({at(r, c), at(r, c + 1), at(r + 1, c)});
        mesh5.push_back({at(r, c + 1), at(r + 1, c + 1), at(r + 1, c)});
      }
    }
    for (const auto& tri : mesh5) {
      std::array<ScreenVertex<3>, 3> t3;
      for (int k = 0; k < 3; ++k) t3[k] = {tri[k].x, tri[k].y, {tri[k].attr[0], tri[k].attr[1], tri[k].attr[4]}};
      mesh3.push_back(t3);
    }
  }

  std::vector<std::uint8_t> pixels;
  std::vector<std::uint8_t> rgb;
  std::vector<std::uint16_t> depth;
  std::vector<std::int32_t> pick;
  std::vector<std::uint8_t> skin;
  std::vector<std::int32_t> skinRows;
  std::vector<std::uint8_t> shadeMap;
  std::vector<std::uint8_t> colormap;
  std::vector<std::uint8_t> colormapRgb;
  std::vector<std::array<ScreenVertex<3>, 3>> mesh3;
  std::vector<std::array<ScreenVertex<5>, 3>> mesh5;
  Rasterizer raster;
};

Scene& scene() {
  static Scene s;
  return s;
}

void BM_ClearPixelsDepthPick(benchmark::State& state) {
  Scene& s = scene();
  for (auto _ : state) {
    s.raster.clearPixels(0);
    s.raster.clearDepth(kDepthFar);
    s.raster.clearPick(kPickNothing);
    benchmark::DoNotOptimize(s.pixels.data());
    benchmark::DoNotOptimize(s.depth.data());
    benchmark::DoNotOptimize(s.pick.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ClearPixelsDepthPick)->Unit(benchmark::kMicrosecond);

// The depth buffer is reset outside the timing so every pixel passes.
void BM_FillTextureDepthTexelMesh(benchmark::State& state) {
  Scene& s = scene();
  std::int64_t pixels = 0;
  for (auto _ : state) {
    state.PauseTiming();
    s.raster.clearDepth(kDepthFar);
    state.ResumeTiming();
    for (const auto& tri : s.mesh3) s.raster.fillTextureDepthTexel(tri);
    benchmark::ClobberMemory();
  }
  for (std::uint16_t d : s.depth) pixels += d != kDepthFar;
  state.counters["pixels"] = static_cast<double>(pixels);
  state.counters["triangles"] = static_cast<double>(s.mesh3.size());
}
BENCHMARK(BM_FillTextureDepthTexelMesh)->Unit(benchmark::kMicrosecond);

void BM_FillTextureFullQuad(benchmark::State& state) {
  Scene& s = scene();
  const std::array<ScreenVertex<2>, 4> quad{{{0, 0, {0, 0}},
                                             {kWidth - 1, 0, {(kSkin - 1) * kFixedOne, 0}},
                                             {kWidth - 1, kHeight - 1, {(kSkin - 1) * kFixedOne, (kSkin - 1) * kFixedOne}},
                                             {0, kHeight - 1, {0, (kSkin - 1) * kFixedOne}}}};
  for (auto _ : state) {
    s.raster.fillTexture(quad);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FillTextureFullQuad)->Unit(benchmark::kMicrosecond);

void BM_FillTextureMapLitDepthRgbMesh(benchmark::State& state) {
  Scene& s = scene();
  s.raster.bindPixels(s.rgb.data());
  s.raster.bindColormap(s.colormapRgb.data(), 64);
  for (auto _ : state) {
    state.PauseTiming();
    s.raster.clearDepth(kDepthFar);
    state.ResumeTiming();
    for (const auto& tri : s.mesh5) s.raster.fillTextureMapLitDepthRgb(tri, 1.3, 1.0);
    benchmark::ClobberMemory();
  }
  s.raster.bindPixels(s.pixels.data());
  s.raster.bindColormap(s.colormap.data(), 64);
}
BENCHMARK(BM_FillTextureMapLitDepthRgbMesh)->Unit(benchmark::kMicrosecond);

// For comparison with (b): the 8-bit lit variant of the same mesh.
void BM_FillTextureMapLitDepthMesh(benchmark::State& state) {
  Scene& s = scene();
  s.raster.bindColormap(s.colormap.data(), 64);
  for (auto _ : state) {
    state.PauseTiming();
    s.raster.clearDepth(kDepthFar);
    state.ResumeTiming();
    for (const auto& tri : s.mesh5) s.raster.fillTextureMapLitDepth(tri);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FillTextureMapLitDepthMesh)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
