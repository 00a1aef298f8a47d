#pragma once
// A rasterizer bound to buffers owned by the test, each followed by a guard
// tail that must never change.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "raster/rasterizer.h"

namespace pelt::test {

inline constexpr std::size_t kGuard = 64;
inline constexpr std::uint8_t kBackground = 0xEE;

struct RasterTarget {
  RasterTarget(int w, int h, int bytesPerPixel = 1)
      : width(w),
        height(h),
        pixels(static_cast<std::size_t>(w) * h * bytesPerPixel + kGuard, kBackground),
        depth(static_cast<std::size_t>(w) * h + kGuard, kDepthFar),
        pick(static_cast<std::size_t>(w) * h + kGuard, kPickNothing),
        aux(static_cast<std::size_t>(w) * h + kGuard, 0) {
    raster.setSize(w, h);
    raster.bindPixels(pixels.data());
    raster.bindDepth(depth.data());
    raster.bindPick(pick.data());
    raster.bindAux16(aux.data());
    raster.resetSpans();
  }

  std::size_t at(int x, int y) const { return static_cast<std::size_t>(y) * width + x; }
  std::uint8_t pixel(int x, int y) const { return pixels[at(x, y)]; }

  // The buffer as text, '#' where a pixel holds the colour.
  std::vector<std::string> rows(std::uint8_t colour) const {
    std::vector<std::string> out(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) out[y] += pixel(x, y) == colour ? '#' : '.';
    return out;
  }

  void expectGuardsIntact(std::size_t bytesPerPixel = 1) const {
    const std::size_t n = static_cast<std::size_t>(width) * height;
    for (std::size_t i = 0; i < kGuard; ++i) {
      ASSERT_EQ(pixels[n * bytesPerPixel + i], kBackground);
      ASSERT_EQ(depth[n + i], kDepthFar);
      ASSERT_EQ(pick[n + i], kPickNothing);
      ASSERT_EQ(aux[n + i], 0);
    }
  }

  void expectSpansEmpty() const {
    EXPECT_EQ(raster.spanTop(), kSpanEmptyLeft);
    EXPECT_EQ(raster.spanBottom(), kSpanEmptyRight);
    for (int y = 0; y < raster.height(); ++y) {
      ASSERT_EQ(raster.spanLeft(y), kSpanEmptyLeft) << "row " << y;
      ASSERT_EQ(raster.spanRight(y), kSpanEmptyRight) << "row " << y;
    }
  }

  int width;
  int height;
  std::vector<std::uint8_t> pixels;
  std::vector<std::uint16_t> depth;
  std::vector<std::int32_t> pick;
  std::vector<std::uint16_t> aux;
  Rasterizer raster;
};

// An 8-bit image with its row table, for textures and shade maps.
struct TestImage {
  TestImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h), rows(h) {
    for (int y = 0; y < h; ++y) rows[y] = y * w;
  }
  TextureView view() const { return {pixels.data(), rows.data(), width, height}; }

  int width;
  int height;
  std::vector<std::uint8_t> pixels;
  std::vector<std::int32_t> rows;
};

}  // namespace pelt::test
