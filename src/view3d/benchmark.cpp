#include "view3d/benchmark.h"

#include <cstdio>

#include "platform/platform.h"
#include "view3d/model_view.h"

namespace pelt {

std::string benchmarkText(std::int64_t milliseconds) {
  char text[128];
  if (milliseconds <= 0) {
    // The rate would be infinite.
    std::snprintf(text, sizeof text, "100 frames in less than a millisecond: too fast to measure");
  } else {
    std::snprintf(text, sizeof text, "100 frames in %d milliseconds = %f fps",
                  static_cast<int>(milliseconds), kBenchmarkFrames / (milliseconds * 0.001));
  }
  return text;
}

void runBenchmark(Platform& platform, ModelView& view) {
  const std::int64_t start = platform.nowMilliseconds();
  for (int i = 0; i < kBenchmarkFrames; ++i) {
    view.render(kRedrawQuick);
    platform.repaint(ViewId::ModelView);
  }
  platform.messageBox(benchmarkText(platform.nowMilliseconds() - start), MessageButtons::Ok);
}

}  // namespace pelt
