// One pencil segment of 64 window pixels over the skin view and over the 3D
// view at 1024 x 768, each with the Retexture refresh of both views it sends,
// as a multiple of clearing both views' pixel and pick/texel buffers
// ("x_clear"), with the one-texel brush and with a size-16 round soft one.
// The demo model in Textured mode covers about half the 3D view.
// Beside them: a fill of a 2048 x 2048 skin of one colour, and a mirrored
// dab on a globe of 4096 triangles in either view.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/commands/file_open.h"
#include "app/main_frame.h"
#include "app/tables.h"
#include "app/view_factory.h"
#include "demo_game.h"
#include "frame_platform.h"
#include "frame_timing.h"
#include "globe_model.h"
#include "model/mirror_lookup.h"
#include "skinview/skin_view.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"
#include "view3d/model_view.h"

namespace {

using namespace pelt;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr double kCoverage = 0.5;
constexpr int kSegment = 64;

MouseEvent mouse(int x, int y, unsigned button, unsigned held) {
  MouseEvent e;
  e.x = e.screenX = x;
  e.y = e.screenY = y;
  e.button = button;
  e.buttons = held;
  return e;
}

struct Scene : bench::DemoGame<bench::FramePlatform> {
  bench::QuietHost host;
  MainFrame frame{app, host};

  Scene() : DemoGame("pelt_paint_bench") {
    platform.frame = &frame;
    app.cameraOverride = false;
    app.brushKind = 1;  // pencil
    app.blendAmount = 0.5;
    buildBlendTable(app);
    rebuildShadeRamps(app);
    SkinView& skin = *frame.skinView();
    skin.zoom = 3.0f;
    skin.panS = static_cast<float>(app.model.skinWidth / 2);
    skin.panT = static_cast<float>(app.model.skinHeight / 2);
    frame.resizeView(ViewId::SkinView, kWidth, kHeight);
    frame.resizeView(ViewId::ModelView, kWidth, kHeight);
    bench::fitToCoverage(model(), kCoverage);
  }

  ModelView& model() { return *frame.modelView(); }

  void clearBuffers() {
    Rasterizer& r = app.rasterizer;
    SkinView& skin = *frame.skinView();
    r.setSize(skin.viewWidth, skin.viewHeight);
    r.bindPixels(skin.viewPixels.data());
    r.bindPick(skin.texelMap.data());
    r.clearPixels(0);
    r.clearPick(kPickNothing);
    r.setSize(model().viewWidth(), model().viewHeight());
    r.bindPixels(const_cast<std::uint8_t*>(model().pixels().data()));
    r.bindPick(const_cast<std::int32_t*>(model().picks().data()));
    r.clearPixels(0);
    r.clearPick(kPickNothing);
  }
};

Scene& scene() {
  static Scene s;
  return s;
}

// Times `step` only; `prepare` runs untimed before each step.
template <class Prepare, class F>
void runTimed(benchmark::State& state, Prepare&& prepare, F&& step) {
  Scene& s = scene();
  const double median = bench::timeSteps(
      state, [&] { prepare(s); }, [&] { step(s); });
  bench::reportAgainstClear(state, median, [&] { s.clearBuffers(); });
}

void BM_ClearBothViews(benchmark::State& state) {
  runTimed(
      state, [](Scene&) {}, [](Scene& s) { s.clearBuffers(); });
}

// Each step is one pencil segment of 64 pixels through the centre of the
// view with its refresh of both views. Before it, untimed, the skin gets its
// pixels back and a new stroke starts at the segment's first end, so every
// segment changes the texels under it.
// With after_full the 3D view also renders fully first, as after any camera
// move, so the segment pays for indexing the new pick buffer.
void strokeSegments(benchmark::State& state, Scene& s, CoreView& view, int texelsAt) {
  const bool afterFull = state.range(0) != 0;
  s.app.brush = state.range(1) != 0 ? BrushShape{16, true, true} : BrushShape{};
  buildBlendTable(s.app);
  const int x0 = kWidth / 2 - kSegment / 2, y0 = kHeight / 2 - 10;
  const int x1 = x0 + kSegment, y1 = y0 + 20;
  Skin& skin = *s.app.model.currentSkin();
  const std::vector<std::uint8_t> original = skin.pixels;
  runTimed(
      state,
      [&](Scene&) {
        view.mouseRelease(mouse(x0, y0, kButtonLeft, kButtonNone));
        std::copy(original.begin(), original.end(), skin.pixels.begin());
        if (afterFull) s.model().render(kRedrawFull);
        view.mousePress(mouse(x0, y0, kButtonLeft, kButtonLeft));
      },
      [&](Scene&) { view.mouseMove(mouse(x1, y1, kButtonNone, kButtonLeft)); });
  view.mouseRelease(mouse(x0, y0, kButtonLeft, kButtonNone));
  std::copy(original.begin(), original.end(), skin.pixels.begin());
  s.app.brush = {};
  state.counters["texel_ends"] = texelsAt;
}

void BM_SkinViewSegment(benchmark::State& state) {
  Scene& s = scene();
  SkinView& view = *s.frame.skinView();
  view.renderSkinView(0);  // the clear left an empty texel map
  const int ends = (view.texelAt(kWidth / 2 - 32, kHeight / 2 - 10) >= 0) +
                   (view.texelAt(kWidth / 2 + 32, kHeight / 2 + 10) >= 0);
  strokeSegments(state, s, view, ends);
}

void BM_ModelViewSegment(benchmark::State& state) {
  Scene& s = scene();
  s.model().render(kRedrawFull);
  auto picks = s.model().picks();
  auto at = [&](int x, int y) { return picks[static_cast<size_t>(kHeight - 1 - y) * kWidth + x]; };
  const int ends =
      (at(kWidth / 2 - 32, kHeight / 2 - 10) >= 0) + (at(kWidth / 2 + 32, kHeight / 2 + 10) >= 0);
  strokeSegments(state, s, s.model(), ends);
}

// A click of the fill brush on a 2048 x 2048 skin of one colour: the
// stroke's start, the fill and its end.
void BM_Fill2048(benchmark::State& state) {
  constexpr int kSide = 2048;
  Skin skin;
  allocateSkin(skin, kSide, kSide);
  BlendTable blend = identityBlendTable();
  blend[7] = 9;
  const ProtectedColors unprotected{};
  const PaintTables tables{blend, unprotected};
  PaintStroke stroke;
  const double median = bench::timeSteps(
      state, [&] { std::fill(skin.pixels.begin(), skin.pixels.end(), 7); },
      [&] {
        stroke.begin(skin, kBrushFill, {});
        stroke.fill(kSide / 2, kSide / 2, tables, {});
        stroke.end();
      });
  state.counters["median_ms"] = median;
  state.counters["filled"] =
      static_cast<double>(std::count(skin.pixels.begin(), skin.pixels.end(), 9));
}

// The globe of 4096 triangles filling a 1024 x 768 3D view and, three times
// enlarged, the skin view, with mirror painting across Y and the size-16
// round soft brush.
struct Globe {
  test::ScriptedPlatform platform;
  App app{platform};
  std::unique_ptr<ModelView> model;
  std::unique_ptr<SkinView> skin;
  std::vector<std::uint8_t> original;

  Globe() {
    loadMd2Bytes(app, "globe.md2", encodeMd2(bench::globeMd2(64, 32, 256)));
    app.model.skins.push_back(std::make_unique<Skin>(test::patternSkin(256, 256)));
    app.model.currentSkinIndex = 0;
    original = app.model.skins[0]->pixels;
    app.cameraOverride = false;
    app.brush = {16, true, true};
    app.mirrorPainting = true;
    app.mirrorAxis = kMirrorY;
    buildBlendTable(app);
    model = makeModelView(app);
    model->resize(kWidth, kHeight);
    model->render(kRedrawFull);
    skin = makeSkinView(app);
    skin->resize(kWidth, kHeight);
    skin->panS = skin->panT = 128;
    skin->renderSkinView(0);
  }
};

// One press of the point brush off the middle of the view: the stroke's
// start, the dab, the mirrored dab and the Retexture refresh it sends. With
// after_full the 3D view renders fully first, so the dab pays for finding
// the triangle under the pointer in the new picture.
void mirroredDab(benchmark::State& state, CoreView& view, Globe& g) {
  const bool afterFull = state.range(0) != 0;
  const int x = kWidth / 2 + 120, y = kHeight / 2 - 40;
  Skin& skin = *g.app.model.skins[0];
  const double median = bench::timeSteps(
      state,
      [&] {
        view.mouseRelease(mouse(x, y, kButtonLeft, kButtonNone));
        std::copy(g.original.begin(), g.original.end(), skin.pixels.begin());
        g.platform.refreshes.clear();
        if (afterFull) g.model->render(kRedrawFull);
      },
      [&] { view.mousePress(mouse(x, y, kButtonLeft, kButtonLeft)); });
  view.mouseRelease(mouse(x, y, kButtonLeft, kButtonNone));
  int changed = 0;
  for (size_t i = 0; i < skin.pixels.size(); ++i) changed += skin.pixels[i] != g.original[i];
  std::copy(g.original.begin(), g.original.end(), skin.pixels.begin());
  state.counters["median_ms"] = median;
  state.counters["texels"] = changed;
}

void BM_MirroredDabModelView(benchmark::State& state) {
  static Globe g;
  mirroredDab(state, *g.model, g);
}

void BM_MirroredDabSkinView(benchmark::State& state) {
  static Globe g;
  mirroredDab(state, *g.skin, g);
}

BENCHMARK(BM_ClearBothViews)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SkinViewSegment)
    ->ArgNames({"after_full", "soft16"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Iterations(300)  // each after_full step renders the 3D view untimed
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelViewSegment)
    ->ArgNames({"after_full", "soft16"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Iterations(300)  // each after_full step renders the 3D view untimed
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fill2048)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MirroredDabModelView)
    ->ArgName("after_full")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(300)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MirroredDabSkinView)
    ->Arg(0)
    ->Iterations(300)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
