// Rasterizer throughput on a 1024 x 768 target: the three clears, a textured
// mesh with depth and texel picking, a full-target textured quad, and the
// true-colour snapshot filler on the same mesh.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

#include "raster/rasterizer.h"
#include "raster/sheet_scene.h"

namespace {

using namespace pelt;

constexpr int kWidth = test::SheetScene::kWidth;
constexpr int kHeight = test::SheetScene::kHeight;
constexpr int kSkin = test::SheetScene::kSkin;

struct Scene : test::SheetScene {
  Scene()
      : pixels(static_cast<std::size_t>(kWidth) * kHeight),
        rgb(static_cast<std::size_t>(kWidth) * kHeight * 3),
        depth(static_cast<std::size_t>(kWidth) * kHeight),
        pick(static_cast<std::size_t>(kWidth) * kHeight) {
    raster.setSize(kWidth, kHeight);
    raster.bindPixels(pixels.data());
    raster.bindDepth(depth.data());
    raster.bindPick(pick.data());
    raster.bindTexture(skinView());
    raster.bindShadeMap(shadeMapView());
    raster.resetSpans();
  }

  std::vector<std::uint8_t> pixels;
  std::vector<std::uint8_t> rgb;
  std::vector<std::uint16_t> depth;
  std::vector<std::int32_t> pick;
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

// The depth buffer is reset outside the timing so every pixel passes. The
// lanes argument caps the span width (1, 8 or 16 pixels at a time).
void BM_FillTextureDepthTexelMesh(benchmark::State& state) {
  Scene& s = scene();
  const SpanLanes lanes = s.raster.useSpanLanes(static_cast<SpanLanes>(state.range(0)));
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
  state.counters["lanes"] = static_cast<double>(lanes);
  s.raster.useSpanLanes(SpanLanes::Sixteen);
}
BENCHMARK(BM_FillTextureDepthTexelMesh)->ArgName("lanes")->Arg(1)->Arg(8)->Arg(16)->Unit(benchmark::kMicrosecond);

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

// For comparison with (b): the 8-bit lit variant of the same mesh, which
// always runs the plain loop.
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
