#pragma once
// The render benchmark: 100 Quick renders of the 3D view, each shown at
// once, and the rate in a message box.

#include <cstdint>
#include <string>

namespace pelt {

class Platform;
class ModelView;

inline constexpr int kBenchmarkFrames = 100;

std::string benchmarkText(std::int64_t milliseconds);
void runBenchmark(Platform& platform, ModelView& view);

}  // namespace pelt
