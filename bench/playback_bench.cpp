// One frame of a playing animation: a 4096-triangle model at 1024 x 768 in
// Textured mode, blended half way between two frames, against a static Full
// render of the same model timed in the same run ("x_static").

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "app/app.h"
#include "app/view_factory.h"
#include "demo_game.h"
#include "frame_timing.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"
#include "view3d/model_view.h"

namespace {

using namespace pelt;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kRings = 32;  // 32 x 64 quads, two triangles each: 4096
constexpr int kSides = 64;
constexpr int kSkinSize = 256;

// A ball that breathes: frame 1 is frame 0 squashed and widened.
struct Ball {
  test::ScriptedPlatform platform;
  App app{platform};
  std::unique_ptr<ModelView> view;

  Ball() {
    Model& m = app.model;
    m.skinWidth = m.skinHeight = kSkinSize;
    m.skins.push_back(std::make_unique<Skin>(test::patternSkin(kSkinSize, kSkinSize)));
    m.currentSkinIndex = 0;
    m.frames.resize(2);
    for (int r = 0; r <= kRings; ++r)
      for (int s = 0; s < kSides; ++s) {
        const double a = M_PI * r / kRings, b = 2 * M_PI * s / kSides;
        const Vec3 p{static_cast<float>(40 * std::sin(a) * std::cos(b)),
                     static_cast<float>(40 * std::sin(a) * std::sin(b)),
                     static_cast<float>(40 * std::cos(a))};
        m.frames[0].vertices.push_back(p);
        m.frames[1].vertices.push_back({p.x * 1.2f, p.y * 1.2f, p.z * 0.7f});
        m.stCoords[static_cast<size_t>(m.stCount++)] = {
            static_cast<std::int16_t>(s * (kSkinSize - 1) / kSides),
            static_cast<std::int16_t>(r * (kSkinSize - 1) / kRings)};
      }
    m.vertexCount = static_cast<int>(m.frames[0].vertices.size());
    auto at = [](int r, int s) { return static_cast<std::int16_t>(r * kSides + s % kSides); };
    for (int r = 0; r < kRings; ++r)
      for (int s = 0; s < kSides; ++s) {
        const std::int16_t q[4] = {at(r, s), at(r, s + 1), at(r + 1, s + 1), at(r + 1, s)};
        for (const auto& corners : {std::array{q[0], q[2], q[1]}, std::array{q[0], q[3], q[2]}}) {
          ModelTriangle& tri = m.triangles[static_cast<size_t>(m.triangleCount++)];
          tri.vertexIndex = tri.stIndex = corners;
          for (size_t k = 0; k < 3; ++k)
            tri.cornerSt[k] = m.stCoords[static_cast<size_t>(corners[k])];
        }
      }
    m.modelLoaded = true;
    computeFaceNormals(m);
    view = makeModelView(app);
    view->resize(kWidth, kHeight);
    bench::fitToCoverage(*view, 0.5);
  }
};

void BM_InterpolatedFrame(benchmark::State& state) {
  static Ball ball;
  std::vector<double> statics;
  const double blended = bench::timeSteps(
      state,
      [&] {
        ball.app.playback.blend = {};
        statics.push_back(bench::medianMs(1, [&] { ball.view->render(kRedrawFull); }));
        ball.app.playback.blend = {1, 0.5f};
      },
      [&] { ball.view->render(kRedrawFull); });
  const double still = bench::median(statics);
  state.counters["triangles"] = ball.app.model.triangleCount;
  state.counters["median_ms"] = blended;
  state.counters["static_ms"] = still;
  state.counters["x_static"] = blended / still;
}

BENCHMARK(BM_InterpolatedFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
