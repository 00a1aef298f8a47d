#include "raster/segment_walk.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace pelt {
namespace {

using Pixels = std::vector<std::pair<int, int>>;

struct Walk {
  SegmentKind kind;
  Pixels pixels;
};

Walk walk(WindowPoint a, WindowPoint b, int width = 32, int height = 24) {
  Rasterizer rasterizer;
  Walk out;
  out.kind = walkSegment(rasterizer, width, height, a, b,
                         [&](int x, int y) { out.pixels.emplace_back(x, y); });
  return out;
}

TEST(SegmentWalk, VisitsThePinnedPixelsFromTheUpperEnd) {
  struct Case {
    WindowPoint a, b;
    Pixels pixels;
  } cases[] = {
      // x-major: the minor step waits for the 16-bit fraction to wrap.
      {{10, 10}, {13, 11}, {{10, 10}, {11, 10}, {12, 10}, {13, 11}}},
      {{13, 11}, {10, 10}, {{10, 10}, {11, 10}, {12, 10}, {13, 11}}},
      // y-major, walking left.
      {{5, 2}, {4, 6}, {{5, 2}, {5, 3}, {5, 4}, {5, 5}, {4, 6}}},
      {{1, 1}, {3, 7}, {{1, 1}, {1, 2}, {1, 3}, {1, 4}, {2, 5}, {2, 6}, {3, 7}}},
      // Straight and diagonal lines step directly; a tie in y starts at a.
      {{6, 3}, {3, 3}, {{6, 3}, {5, 3}, {4, 3}, {3, 3}}},
      {{2, 5}, {2, 3}, {{2, 3}, {2, 4}, {2, 5}}},
      {{4, 4}, {1, 7}, {{4, 4}, {3, 5}, {2, 6}, {1, 7}}},
      // Cut at the client rectangle's edge (32 wide).
      {{29, 2}, {35, 2}, {{29, 2}, {30, 2}, {31, 2}}},
  };
  for (const Case& c : cases) {
    Walk w = walk(c.a, c.b);
    EXPECT_EQ(w.kind, SegmentKind::Line);
    EXPECT_EQ(w.pixels, c.pixels) << c.a.x << "," << c.a.y << " -> " << c.b.x << "," << c.b.y;
  }
}

}  // namespace
}  // namespace pelt
