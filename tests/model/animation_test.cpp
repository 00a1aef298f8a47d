// Animations found by frame names, the blend between two frames and where a
// playing loop stands by the clock.
#include "model/animation.h"

#include <gtest/gtest.h>

namespace pelt {
namespace {

TEST(Animation, RunsOfNeighboursNamedAlikeWithoutTheirTrailingDigits) {
  std::vector<ModelFrame> frames;
  for (const char* name : {"stand01", "stand02", "run1", "run2", "run10", "idle", "idle", "pain",
                           "2", "07", "run3", "run4"})
    frames.push_back({name, {}});
  // clang-format off
  const std::pair<int, FrameRun> cases[] = {
      {0, {0, 2}}, {1, {0, 2}}, {3, {2, 3}}, {4, {2, 3}},  // run10 belongs with run1
      {5, {5, 2}},                                         // names without digits
      {7, {7, 1}},                                         // a frame alone
      {9, {8, 2}},                                         // all digits: the empty name
      {10, {10, 2}}, {11, {10, 2}},                        // run3 is not next to run1
      {12, {}}, {-1, {}}};
  // clang-format on
  for (const auto& [index, run] : cases) EXPECT_EQ(animationRun(frames, index), run) << index;
}

TEST(Animation, BlendsLinearlyOverTheShorterFrame) {
  const std::vector<Vec3> a{{0, 10, -4}, {1, 1, 1}}, b{{10, -10, 4}, {1, 3, 1}, {9, 9, 9}};
  const std::pair<float, std::vector<Vec3>> cases[] = {
      {0.0f, a}, {0.5f, {{5, 0, 0}, {1, 2, 1}}}, {1.0f, {{10, -10, 4}, {1, 3, 1}}}};
  std::vector<Vec3> out{{7, 7, 7}};
  for (const auto& [t, expected] : cases) {
    blendVertices(a, b, t, out);
    EXPECT_EQ(out, expected) << t;
  }
}

TEST(Animation, WhereTheLoopStandsByTheClock) {
  const FrameRun run{4, 3};  // frames 4, 5, 6
  struct Case {
    int start;
    std::int64_t ms;
    int fps;
    bool interpolate;
    PlaybackPosition at;
  } cases[] = {
      {4, 0, 10, true, {4, {}}},
      {4, 150, 10, true, {5, {6, 0.5f}}},
      {6, 50, 10, true, {6, {4, 0.5f}}},      // the last frame blends into the first
      {5, 250, 10, false, {4, {}}},           // whole frames only
      {4, 3'000'000'100, 10, true, {5, {}}},  // a month later, still exact
      {4, 1500, 0, true, {5, {6, 0.5f}}},     // below one frame a second
      {9, 20, 60, true, {4, {5, 0.2f}}},      // a start outside the run
  };
  for (const Case& c : cases)
    EXPECT_EQ(playbackPosition(run, c.start, c.ms, c.fps, c.interpolate), c.at) << c.ms;
  EXPECT_EQ(playbackPosition({7, 1}, 7, 1234, 10, true), (PlaybackPosition{7, {}}));
}

}  // namespace
}  // namespace pelt
