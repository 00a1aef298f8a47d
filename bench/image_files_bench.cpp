// True-colour pictures brought to the demo palette, 2048 x 2048: nearest
// colour and dithered; and writing such a skin as an 8-bit PNG. The picture
// is smooth gradients with a little noise, as a painted or photographed
// skin is, so most of its 4 million pixels differ from their neighbours.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "demo/demo_palette.h"
#include "skins/colour_reduction.h"
#include "skins/png_file.h"

namespace {

using namespace pelt;

constexpr int kSide = 2048;

const TrueColourPicture& picture() {
  static const TrueColourPicture made = [] {
    TrueColourPicture p{kSide, kSide, std::vector<std::uint8_t>(size_t{kSide} * kSide * 3),
                        kFormatPng};
    std::mt19937 random(26);
    std::uint8_t* out = p.rgb.data();
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x, out += 3) {
        const int noise = static_cast<int>(random() % 9) - 4;
        const double wave = 40.0 * std::sin(x / 97.0) * std::cos(y / 61.0);
        out[0] =
            static_cast<std::uint8_t>(std::clamp(x / 8 + noise + static_cast<int>(wave), 0, 255));
        out[1] = static_cast<std::uint8_t>(std::clamp(y / 8 - noise, 0, 255));
        out[2] =
            static_cast<std::uint8_t>(std::clamp((x + y) / 16 + static_cast<int>(wave), 0, 255));
      }
    return p;
  }();
  return made;
}

void reduce(benchmark::State& state, bool dither) {
  const Palette palette = makeDemoPalette();
  ReduceOptions options;
  options.dither = dither;
  for (auto _ : state) benchmark::DoNotOptimize(reduceToPalette(picture(), palette, options));
}

void BM_ReduceNearest(benchmark::State& state) { reduce(state, false); }
void BM_ReduceDithered(benchmark::State& state) { reduce(state, true); }

void BM_WriteIndexedPng(benchmark::State& state) {
  Skin skin;
  skin.width = skin.height = kSide;
  skin.palette = makeDemoPalette();
  ReduceOptions dithered;
  dithered.dither = true;
  skin.pixels = reduceToPalette(picture(), skin.palette, dithered);
  size_t bytes = 0;
  for (auto _ : state) bytes = encodeSkinPng(skin).size();
  state.counters["file_kB"] = static_cast<double>(bytes) / 1024.0;
}

BENCHMARK(BM_ReduceNearest)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReduceDithered)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteIndexedPng)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
