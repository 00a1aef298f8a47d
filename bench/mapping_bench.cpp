// One move of the right-button transform over the demo creature's whole
// mapping on its skin, with the skin pixels following the mapping, and the
// skin view's Quick redraw at 1024 x 768 that shows it. Beside it: the same
// move without the pixels, and the redraw alone.

#include <benchmark/benchmark.h>

#include "demo_game.h"

#include <memory>
#include <string>

#include "app/app.h"
#include "app/view_factory.h"
#include "model/selection.h"
#include "skinview/skin_view.h"

namespace {

using namespace pelt;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct Scene : bench::DemoGame<> {
  std::unique_ptr<SkinView> view;

  Scene() : DemoGame("pelt_mapping_bench") {
    app.interactionMode = 1;
    app.cameraOverride = false;
    shrinkMapping();
    selectAll(app.model);
    view = makeSkinView(app);
    view->resize(kWidth, kHeight);
    view->panS = static_cast<float>(app.model.skinWidth) / 2;
    view->panT = static_cast<float>(app.model.skinHeight) / 2;
    view->renderSkinView(0);
  }

  // The creature's mapping fills its skin; at three quarters of its size
  // about the centre it has room to turn.
  void shrinkMapping() {
    Model& m = app.model;
    for (int i = 0; i < m.stCount; ++i) {
      StCoord& st = m.stCoords[static_cast<size_t>(i)];
      st.s = static_cast<std::int16_t>(m.skinWidth / 8 + st.s * 3 / 4);
      st.t = static_cast<std::int16_t>(m.skinHeight / 8 + st.t * 3 / 4);
    }
    rebuildStTable(m);
  }

  MouseEvent at(int dx, int dy, unsigned button, unsigned held, bool shift) const {
    MouseEvent e;
    e.x = e.screenX = kWidth / 2 + dx;
    e.y = e.screenY = kHeight / 2 + dy;
    e.button = button;
    e.buttons = held;
    e.shift = shift;
    return e;
  }
};

Scene& scene() {
  static Scene s;
  return s;
}

// Turns the whole mapping back and forth by a hundredth of a radian about the
// skin's centre; every move is accepted and moves every entry.
void runMoves(benchmark::State& state, bool pixels, bool move, bool redraw) {
  Scene& s = scene();
  s.app.dragPixelsWithMapping = pixels;
  s.view->mousePress(s.at(0, 0, kButtonRight, kButtonRight, true));
  s.view->mouseMove(s.at(0, 2, kButtonNone, kButtonRight, true));
  if (s.view->transform.angle == 0) state.SkipWithError("the turn left the skin");
  int step = 1;
  for (auto _ : state) {
    if (move) s.view->mouseMove(s.at(0, (step++ & 1) ? -2 : 2, kButtonNone, kButtonRight, true));
    if (redraw) s.view->renderSkinView(1);
    if (s.platform.refreshes.size() > 4096) s.platform.refreshes.clear();
  }
  s.view->mouseRelease(s.at(0, 0, kButtonRight, kButtonNone, true));
  state.counters["triangles"] = s.app.model.triangleCount;
  state.counters["skin"] = s.app.model.skinWidth;
}

void BM_TransformMoveWithPixels(benchmark::State& state) { runMoves(state, true, true, true); }
void BM_TransformMoveMappingOnly(benchmark::State& state) { runMoves(state, false, true, true); }
void BM_QuickRedrawOnly(benchmark::State& state) { runMoves(state, false, false, true); }

BENCHMARK(BM_TransformMoveWithPixels)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TransformMoveMappingOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QuickRedrawOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
