// The 3D view on the demo creature, scaled to cover about half of a
// 1024 x 768 view: Full renders in the textured, Gouraud-lit and phong-lit
// modes and a Quick textured render, each also as a multiple of clearing the
// view's three buffers ("x_clear").

#include <benchmark/benchmark.h>

#include "demo_game.h"
#include "frame_timing.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/tables.h"
#include "app/view_factory.h"
#include "platform/platform.h"
#include "view3d/model_view.h"

namespace {

using namespace pelt;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr double kCoverage = 0.5;

struct Scene : bench::DemoGame<> {
  std::unique_ptr<ModelView> view;

  Scene() : DemoGame("pelt_view3d_bench") {
    useLighting();
    view = makeModelView(app);
    rebuildShadeRamps(app);
    view->resize(kWidth, kHeight);
    bench::fitToCoverage(*view, kCoverage);
  }

  void setMode(int mode) {
    if (mode == app.renderMode) return;
    view->checkRenderModeChange(app.renderMode, mode);
    app.renderMode = mode;
    rebuildShadeCurve(app);
  }

  void clearBuffers() {
    Rasterizer& r = app.rasterizer;
    r.setSize(view->viewWidth(), view->viewHeight());
    r.bindPixels(const_cast<std::uint8_t*>(view->pixels().data()));
    r.bindDepth(const_cast<std::uint16_t*>(view->depths().data()));
    r.bindPick(const_cast<std::int32_t*>(view->picks().data()));
    r.clearPixels(0);
    r.clearDepth(kDepthFar);
    r.clearPick(kPickNothing);
  }
};

Scene& scene() {
  static Scene s;
  return s;
}

template <class F>
void runFrames(benchmark::State& state, F&& frame) {
  Scene& s = scene();
  const double median = bench::timeSteps(state, [] {}, [&] { frame(s); });
  bench::reportAgainstClear(state, median, [&] { s.clearBuffers(); });
}

void BM_ClearThreeBuffers(benchmark::State& state) {
  runFrames(state, [](Scene& s) { s.clearBuffers(); });
}

// lanes caps the span width: 1, 8 or 16 pixels at a time.
void chooseLanes(benchmark::State& state) {
  state.counters["lanes"] =
      static_cast<double>(scene().app.rasterizer.useSpanLanes(static_cast<SpanLanes>(state.range(1))));
}

void BM_FullRender(benchmark::State& state) {
  scene().setMode(static_cast<int>(state.range(0)));
  chooseLanes(state);
  runFrames(state, [](Scene& s) { s.view->render(kRedrawFull); });
}

void BM_QuickRender(benchmark::State& state) {
  scene().setMode(static_cast<int>(state.range(0)));
  chooseLanes(state);
  runFrames(state, [](Scene& s) { s.view->render(kRedrawQuick); });
}

BENCHMARK(BM_ClearThreeBuffers)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRender)
    ->ArgNames({"mode", "lanes"})
    ->ArgsProduct({{5, 7, 8}, {1, 8, 16}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuickRender)
    ->ArgNames({"mode", "lanes"})
    ->ArgsProduct({{5}, {1, 8, 16}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
