// Snapshots of the demo creature covering about half of the view: true
// colour at 2048 x 2048 and at the view's own 1024 x 768, with the default
// settings ("blurry", light exponent 1) and with a sharp slider and a
// bright curve (the powers per pixel), against the 8-bit snapshot of the
// same size. Each counts the render and the encoding of the file's bytes.

#include <benchmark/benchmark.h>

#include "demo_game.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/tables.h"
#include "app/view_factory.h"
#include "skins/palette_file.h"
#include "skins/skin_image.h"
#include "view3d/model_view.h"
#include "view3d/snapshot.h"

namespace {

using namespace pelt;

constexpr int kViewWidth = 1024;
constexpr int kViewHeight = 768;

struct Scene : bench::DemoGame<> {
  std::unique_ptr<ModelView> view;
  std::unique_ptr<Skin> colormap;
  std::vector<std::uint8_t> lightTable;

  Scene() : DemoGame("pelt_snapshot_bench") {
    useLighting();
    view = makeModelView(app);
    rebuildShadeRamps(app);
    view->resize(kViewWidth, kViewHeight);
    bench::fitToCoverage(*view, 0.5);
    colormap = loadDefaultColormap(platform, app.gameFiles);
    lightTable = buildLightTableRgb(*colormap, app.model.currentSkin()->palette);
  }
};

Scene& scene() {
  static Scene s;
  return s;
}

int side(const benchmark::State& state, int index) { return static_cast<int>(state.range(index)); }

void BM_TrueColour(benchmark::State& state) {
  Scene& s = scene();
  const int width = side(state, 0), height = side(state, 1);
  const bool sharp = state.range(2) != 0;
  for (auto _ : state) {
    RgbImage image(width, height);
    s.view->renderTrueColour(image, s.lightTable.data(), sharp ? 2.0 : 1.0,
                             smoothingExponentFor(sharp ? 5000 : 0), {});
    Bytes file = encodeBmp24(image);
    benchmark::DoNotOptimize(file.data());
  }
}
BENCHMARK(BM_TrueColour)
    ->ArgNames({"w", "h", "sharp"})
    ->Args({2048, 2048, 0})
    ->Args({2048, 2048, 1})
    ->Args({kViewWidth, kViewHeight, 0})
    ->Args({kViewWidth, kViewHeight, 1})
    ->Unit(benchmark::kMillisecond);

void BM_EightBit(benchmark::State& state) {
  Scene& s = scene();
  const int width = side(state, 0), height = side(state, 1);
  s.app.renderMode = 5;
  for (auto _ : state) {
    std::vector<std::uint8_t> pixels = s.view->renderAt(width, height);
    Skin shot = eightBitSnapshot(pixels, width, height, s.view->viewPalette());
    Bytes file = encodeSkinBmp(shot);
    benchmark::DoNotOptimize(file.data());
  }
}
BENCHMARK(BM_EightBit)
    ->ArgNames({"w", "h"})
    ->Args({2048, 2048})
    ->Args({kViewWidth, kViewHeight})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
