#pragma once
// A slow, obvious rasterizer for tests and benchmarks: for every pixel of the
// target it measures the distance to the exact polygon and interpolates the
// attributes in floating point. The fast fillers must cover the same pixels.

#include <array>
#include <vector>

#include "raster/screen_vertex.h"

namespace pelt {

struct ReferencePixel {
  int x = 0;
  int y = 0;
  double distance = 0;  // to the polygon's boundary; negative inside
  std::array<double, kMaxAttributes> attr{};  // in whole units (16.16 / 65536)
};

struct ReferenceCorner {
  double x = 0;
  double y = 0;
  std::array<double, kMaxAttributes> attr{};
};

// Every pixel of the width x height target whose signed distance to the
// polygon is at most `margin` (a negative margin keeps only pixels that deep
// inside). Attributes follow the plane through the first three corners.
std::vector<ReferencePixel> referenceFill(int width, int height,
                                          const std::vector<ReferenceCorner>& corners,
                                          double margin);

template <int N>
std::vector<ReferencePixel> referenceFill(int width, int height, Corners<N> corners,
                                          double margin) {
  std::vector<ReferenceCorner> exact;
  for (const ScreenVertex<N>& v : corners) {
    ReferenceCorner c{static_cast<double>(v.x), static_cast<double>(v.y), {}};
    for (int k = 0; k < N; ++k) c.attr[k] = v.attr[k] / 65536.0;
    exact.push_back(c);
  }
  return referenceFill(width, height, exact, margin);
}

}  // namespace pelt
