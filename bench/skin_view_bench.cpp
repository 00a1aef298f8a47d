// The skin view at 1024 x 768 showing the demo's 256 x 256 skin at zoom 3
// (the skin covers 768 x 768 pixels): Full, Quick and Retexture renders,
// each also as a multiple of clearing the view's two buffers ("x_clear").

#include <benchmark/benchmark.h>

#include "demo_game.h"
#include "frame_timing.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/view_factory.h"
#include "skinview/skin_view.h"

namespace {

using namespace pelt;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct Scene : bench::DemoGame<> {
  std::unique_ptr<SkinView> view;

  Scene() : DemoGame("pelt_skin_view_bench") {
    view = makeSkinView(app);
    view->resize(kWidth, kHeight);
    view->zoom = 3.0f;
    view->panS = static_cast<float>(app.model.skinWidth) / 2;
    view->panT = static_cast<float>(app.model.skinHeight) / 2;
    view->renderSkinView(0);
  }

  void clearBuffers() {
    Rasterizer& r = app.rasterizer;
    r.setSize(view->viewWidth, view->viewHeight);
    r.bindPixels(view->viewPixels.data());
    r.bindPick(view->texelMap.data());
    r.clearPixels(app.colorSlots[7]);
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
  s.view->renderSkinView(0);  // the clear emptied the texel map
}

void BM_ClearTwoBuffers(benchmark::State& state) {
  runFrames(state, [](Scene& s) { s.clearBuffers(); });
  scene().view->renderSkinView(0);
}

// level: 0 Full, 1 Quick, 3 Retexture; mesh: the mapping overlay on top.
void BM_SkinViewRender(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  scene().app.interactionMode = static_cast<int>(state.range(1));
  scene().view->renderSkinView(0);
  runFrames(state, [level](Scene& s) { s.view->renderSkinView(level); });
  scene().app.interactionMode = 0;
}

BENCHMARK(BM_ClearTwoBuffers)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SkinViewRender)
    ->ArgNames({"level", "mesh"})
    ->ArgsProduct({{0, 1, 3}, {0, 1}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
