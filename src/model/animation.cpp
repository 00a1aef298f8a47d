#include "model/animation.h"

#include <algorithm>

namespace pelt {

std::string_view animationName(std::string_view frameName) {
  size_t end = frameName.size();
  while (end > 0 && frameName[end - 1] >= '0' && frameName[end - 1] <= '9') --end;
  return frameName.substr(0, end);
}

FrameRun animationRun(const std::vector<ModelFrame>& frames, int index) {
  const int count = static_cast<int>(frames.size());
  if (index < 0 || index >= count) return {};
  const std::string_view name = animationName(frames[static_cast<size_t>(index)].name);
  auto same = [&](int i) { return animationName(frames[static_cast<size_t>(i)].name) == name; };
  int first = index, last = index;
  while (first > 0 && same(first - 1)) --first;
  while (last + 1 < count && same(last + 1)) ++last;
  return {first, last - first + 1};
}

void blendVertices(std::span<const Vec3> a, std::span<const Vec3> b, float t,
                   std::vector<Vec3>& out) {
  const size_t n = std::min(a.size(), b.size());
  out.resize(n);
  for (size_t i = 0; i < n; ++i)
    out[i] = {a[i].x + (b[i].x - a[i].x) * t, a[i].y + (b[i].y - a[i].y) * t,
              a[i].z + (b[i].z - a[i].z) * t};
}

PlaybackPosition playbackPosition(FrameRun run, int startFrame, std::int64_t elapsedMs, int fps,
                                  bool interpolate) {
  if (run.count <= 0) return {startFrame, {}};
  constexpr std::int64_t kMsPerSecond = 1000;
  const std::int64_t startOffset = std::clamp(startFrame - run.first, 0, run.count - 1);
  // Whole frames in integers, so a long loop never drifts.
  const std::int64_t ticks = std::max<std::int64_t>(elapsedMs, 0) * std::max(fps, 1);
  const std::int64_t whole = startOffset + ticks / kMsPerSecond;
  PlaybackPosition out;
  out.frame = run.first + static_cast<int>(whole % run.count);
  const int next = run.first + static_cast<int>((whole + 1) % run.count);
  const float t = static_cast<float>(ticks % kMsPerSecond) / static_cast<float>(kMsPerSecond);
  if (interpolate && t > 0.0f && next != out.frame) out.blend = {next, t};
  return out;
}

}  // namespace pelt
