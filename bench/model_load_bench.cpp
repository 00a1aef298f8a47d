// Loads of hostile models: many missing skin names whose folders differ in
// case (each needs a case-insensitive look-up), with and without the folder
// listings shared across one load, and the largest stand-in skins a load
// may make.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "app/commands/file_open.h"
#include "model/md2_format.h"
#include "platform/paths.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"

namespace {

using namespace pelt;

// A base folder of 300 skins below Models/Grub, and names spelled
// models/grub/missingN.pcx: every name misses and needs the listings.
struct MissingNames {
  test::TempDir dir;
  std::vector<std::string> names;

  explicit MissingNames(int count) {
    const Bytes skin = encodeSkinPcx(test::patternSkin(8, 8));
    for (int i = 0; i < 300; ++i) dir.write("Models/Grub/skin" + std::to_string(i) + ".pcx", skin);
    for (int i = 0; i < count; ++i)
      names.push_back("models/grub/missing" + std::to_string(i) + ".pcx");
  }
};

void BM_ResolveMissingNames(benchmark::State& state) {
  static MissingNames fixture(2000);
  const bool shared = state.range(0) != 0;
  for (auto _ : state) {
    FolderListings listings;
    for (const std::string& name : fixture.names)
      benchmark::DoNotOptimize(
          resolveBelow(fixture.dir.path(), name, shared ? &listings : nullptr));
  }
  state.SetLabel(shared ? "listings shared" : "listed per name");
}
BENCHMARK(BM_ResolveMissingNames)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LoadTwentyThousandMissingSkins(benchmark::State& state) {
  static MissingNames fixture(20000);
  static const std::string model =
      fixture.dir.write("many.md2", encodeMd2(test::quadStripMd2(1, 8, 8, fixture.names, 1)));
  for (auto _ : state) {
    test::ScriptedPlatform platform;
    App app(platform);
    app.baseFolder = fixture.dir.path();
    if (!loadMd2(app, model)) state.SkipWithError("not loaded");
  }
}
BENCHMARK(BM_LoadTwentyThousandMissingSkins)->Unit(benchmark::kMillisecond);

// Seven missing 4096 x 4096 skins: the most stand-ins the memory budget allows.
void BM_LoadLargestStandIns(benchmark::State& state) {
  static test::TempDir dir;
  static const std::string model = dir.write(
      "large.md2",
      encodeMd2(test::quadStripMd2(1, 4096, 4096, std::vector<std::string>(7, "gone.pcx"), 1)));
  for (auto _ : state) {
    test::ScriptedPlatform platform;
    App app(platform);
    app.baseFolder = dir.path();
    if (!loadMd2(app, model)) state.SkipWithError("not loaded");
  }
}
BENCHMARK(BM_LoadLargestStandIns)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
