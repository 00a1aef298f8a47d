// The undo history: undo and redo of a whole-skin operation on a 2048 x 2048
// skin through the application (the history's exchange and the refresh of
// blend tables and lists the command would do), the same through the command
// table on the demo model with the skin view and 3D view at 1024 x 768
// redrawn, taking the step around the operation, and what pencil strokes of
// 64 pixels cost in memory, alone and a thousand of them on a 256 x 256 skin
// ("step_bytes" counters).

#include <benchmark/benchmark.h>

#include <random>

#include "app/app.h"
#include "app/command_table.h"
#include "app/commands/edit.h"
#include "app/main_frame.h"
#include "app/tables.h"
#include "app/undo_steps.h"
#include "demo_game.h"
#include "frame_platform.h"
#include "skins/paint_stroke.h"
#include "support/scripted_platform.h"

namespace {

using namespace pelt;

constexpr int kLargeSide = 2048;
constexpr int kSmallSide = 256;
constexpr int kStrokePixels = 64;

struct Canvas {
  test::ScriptedPlatform platform;
  App app{platform};

  explicit Canvas(int side) {
    auto skin = std::make_shared<Skin>();
    allocateSkin(*skin, side, side);
    for (size_t i = 0; i < skin->pixels.size(); ++i)
      skin->pixels[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
    skin->palette = greyRampPalette();
    app.model.skins.push_back(skin);
    app.model.currentSkinIndex = 0;
    app.model.skinWidth = app.model.skinHeight = side;
    app.model.modelLoaded = true;
    app.history.startModel();
    buildBlendTable(app);
  }
  Skin& skin() { return *app.model.currentSkin(); }

  void invertAsStep() {
    recordChange(app, kCaptureCurrentSkin, "Invert Pixels", [this] {
      for (std::uint8_t& p : skin().pixels) p = static_cast<std::uint8_t>(255 - p);
    });
  }

  // A pencil stroke across 64 texels, one row step for every two columns.
  void pencilStroke(int x, int y, int colour) {
    app.colorSlots[0] = static_cast<std::uint8_t>(colour);
    buildBlendTable(app);
    PaintStroke stroke;
    stroke.begin(skin(), kBrushPencil, {x, y});
    stroke.lineTexels({x, y}, {x + kStrokePixels - 1, y + kStrokePixels / 2}, stroke.footprint(),
                      {app.blendTable, app.protectedColors});
    recordStroke(app, stroke);
    stroke.end();
  }
};

// The demo creature with its skins re-sized to 2048 x 2048 and inverted.
struct Window : bench::DemoGame<bench::FramePlatform> {
  bench::QuietHost host;
  MainFrame frame{app, host};
  Window() : DemoGame("pelt_undo_bench") {
    platform.frame = &frame;
    platform.redrawPosted = true;
    frame.resizeView(ViewId::SkinView, 1024, 768);
    frame.resizeView(ViewId::ModelView, 1024, 768);
    platform.resizeAnswers.push_back(ResizeSkinsValues{kLargeSide, kLargeSide, false});
    runCommand(frame, 32799);
    runCommand(frame, 32852);
  }
};

template <int First, int Timed>
void undoOrRedoInTheWindow(benchmark::State& state) {
  Window window;
  if (window.app.model.skinWidth != kLargeSide) state.SkipWithError("no 2048 x 2048 skin");
  for (auto _ : state) {
    state.PauseTiming();
    runCommand(window.frame, First);
    state.ResumeTiming();
    runCommand(window.frame, Timed);
  }
}
void BM_UndoInTheWindow2048(benchmark::State& state) {
  undoOrRedoInTheWindow<kRedoId, kUndoId>(state);
}
BENCHMARK(BM_UndoInTheWindow2048)->Unit(benchmark::kMillisecond);
void BM_RedoInTheWindow2048(benchmark::State& state) {
  undoOrRedoInTheWindow<kUndoId, kRedoId>(state);
}
BENCHMARK(BM_RedoInTheWindow2048)->Unit(benchmark::kMillisecond);

void BM_UndoWholeSkin2048(benchmark::State& state) {
  Canvas doc(kLargeSide);
  doc.invertAsStep();
  for (auto _ : state) {
    undoStep(doc.app);
    state.PauseTiming();
    redoStep(doc.app);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_UndoWholeSkin2048)->Unit(benchmark::kMillisecond);

void BM_RedoWholeSkin2048(benchmark::State& state) {
  Canvas doc(kLargeSide);
  doc.invertAsStep();
  for (auto _ : state) {
    state.PauseTiming();
    undoStep(doc.app);
    state.ResumeTiming();
    redoStep(doc.app);
  }
}
BENCHMARK(BM_RedoWholeSkin2048)->Unit(benchmark::kMillisecond);

// The copy before and the comparison after, with the operation itself.
void BM_InvertAsStep2048(benchmark::State& state) {
  Canvas doc(kLargeSide);
  for (auto _ : state) {
    doc.invertAsStep();
    state.PauseTiming();
    doc.app.history.clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_InvertAsStep2048)->Unit(benchmark::kMillisecond);

void BM_OnePencilStrokeStep(benchmark::State& state) {
  Canvas doc(kSmallSide);
  std::int64_t bytes = 0;
  int colour = 0;
  for (auto _ : state) {
    doc.app.history.clear();
    doc.pencilStroke(20, 20, ++colour);
    bytes = doc.app.history.bytes();
  }
  state.counters["step_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_OnePencilStrokeStep)->Unit(benchmark::kMicrosecond);

void BM_ThousandPencilStrokes(benchmark::State& state) {
  constexpr int kStrokes = 1000;
  std::int64_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Canvas doc(kSmallSide);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> at(0, kSmallSide - kStrokePixels);
    state.ResumeTiming();
    for (int i = 0; i < kStrokes; ++i) doc.pencilStroke(at(random), at(random), i);
    bytes = doc.app.history.bytes();
  }
  state.counters["step_bytes"] = static_cast<double>(bytes);
  state.counters["per_stroke"] = static_cast<double>(bytes) / kStrokes;
}
BENCHMARK(BM_ThousandPencilStrokes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
