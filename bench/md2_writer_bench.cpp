// Saving a model: the GL command builder against the literal search it must
// match, and the whole save (encode and crash-safe write), on a seeded
// connected 4096-triangle grid and on the demo creature.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/app.h"
#include "app/commands/file_open.h"
#include "app/commands/file_save.h"
#include "demo/demo_folder.h"
#include "model/gl_commands.h"
#include "platform/paths.h"
#include "platform/settings_keys.h"
#include "support/gl_commands_oracle.h"
#include "support/scripted_platform.h"

namespace {

using namespace pelt;

constexpr int kGridTriangles = 4096;
constexpr std::uint32_t kGridSeed = 7;
constexpr int kGridFrames = 20;

struct Loaded {
  test::ScriptedPlatform platform;
  App app{platform};
  std::string folder;

  explicit Loaded(bool grid) {
    folder = (std::filesystem::temp_directory_path() / "pelt_md2_writer_bench").string();
    std::filesystem::create_directories(folder);
    platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 1);
    if (grid) {
      const std::string path = joinPath(folder, "grid.md2");
      writeFileAtomically(
          path, encodeMd2(test::connectedGridMd2(kGridTriangles, kGridSeed, kGridFrames)));
      app.baseFolder = folder;
      loadMd2(app, path);
    } else {
      writeDemoGameFolder(folder, nullptr);
      app.baseFolder = joinPath(folder, "baseq2");
      loadMd2(app, kDemoModelPath);
    }
  }
};

Loaded& grid() {
  static Loaded loaded(true);
  return loaded;
}
Loaded& demo() {
  static Loaded loaded(false);
  return loaded;
}

void reportModel(benchmark::State& state, const Loaded& loaded) {
  state.counters["triangles"] = loaded.app.model.triangleCount;
}

void BM_BuildGlCommands(benchmark::State& state, Loaded& (*scene)()) {
  Loaded& loaded = scene();
  std::vector<std::int32_t> words;
  for (auto _ : state) {
    buildGlCommands(loaded.app.model, words);
    benchmark::DoNotOptimize(words.data());
  }
  reportModel(state, loaded);
  state.counters["words"] = static_cast<double>(words.size());
}

void BM_LiteralGlCommands(benchmark::State& state, Loaded& (*scene)()) {
  Loaded& loaded = scene();
  for (auto _ : state) benchmark::DoNotOptimize(test::literalGlCommands(loaded.app.model));
  reportModel(state, loaded);
}

void BM_SaveMd2(benchmark::State& state, Loaded& (*scene)()) {
  Loaded& loaded = scene();
  const std::string out = joinPath(loaded.folder, "saved.md2");
  for (auto _ : state) {
    if (!saveMd2(loaded.app, out)) state.SkipWithError("save failed");
  }
  reportModel(state, loaded);
}

BENCHMARK_CAPTURE(BM_BuildGlCommands, grid4096, grid)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LiteralGlCommands, grid4096, grid)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SaveMd2, grid4096, grid)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BuildGlCommands, demo, demo)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LiteralGlCommands, demo, demo)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SaveMd2, demo, demo)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
