#pragma once
// The row loop every filler shares. It is instantiated once per filler with
// the vertex layout and the pixel shade fixed at compile time, so the inner
// loop holds only the shade's own work, the depth test and the steps.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "raster/rasterizer.h"

namespace pelt {

template <int N, bool kDepth, bool kRoundedUv, PickWrite kPick, class Shade>
void Rasterizer::fillSpans(const Shade& shade, std::int32_t id) {
  static_assert(!kDepth || N >= 1, "a depth-testing layout carries the depth last");
  constexpr int kShaded = kDepth ? N - 1 : N;
  constexpr std::size_t kBytes = Shade::kBytesPerPixel;

  const std::int32_t top = std::max(spanTop_, 0);
  const std::int32_t bottom = std::min(spanBottom_, yMax_);
  for (std::int32_t y = top; y <= bottom; ++y) {
    const std::size_t row = static_cast<std::size_t>(y);
    const std::int32_t xl = spanLeft_[row];
    const std::int32_t xr = spanRight_[row];
    spanLeft_[row] = kSpanEmptyLeft;
    spanRight_[row] = kSpanEmptyRight;
    if (xl > xr) continue;

    const std::int32_t count = xr - xl + 1;
    const std::size_t offset = row * static_cast<std::size_t>(width_) + xl;
    if constexpr (Shade::kSolid && !kDepth && kPick == PickWrite::None) {
      std::memset(pixelBuffer_ + offset, shade.colour, static_cast<std::size_t>(count));
      continue;
    }

    const std::int32_t* left = &leftAttr_[row * kMaxAttributes];
    const std::int32_t* right = &rightAttr_[row * kMaxAttributes];
    // A span of one pixel keeps the left values; otherwise every delta is
    // divided by the pixel count, so the last pixel stops one step short.
    std::array<std::int32_t, kShaded + 1> value{};
    std::array<std::int32_t, kShaded + 1> step{};
    for (int k = 0; k < kShaded; ++k) {
      value[k] = left[k];
      std::uint32_t delta = static_cast<std::uint32_t>(right[k]) - static_cast<std::uint32_t>(left[k]);
      if (kRoundedUv && k < 2) delta += kFixedHalf;
      step[k] = count > 1 ? countDivider_.divide(static_cast<std::int32_t>(delta), count) : 0;
    }
    // Depth steps in whole units: it changes along a span only when its ends
    // differ by at least the pixel count.
    std::int32_t depth = 0;
    std::int32_t depthStep = 0;
    if constexpr (kDepth) {
      depth = left[N - 1] >> kFixedShift;
      depthStep = count > 1 ? countDivider_.divide((right[N - 1] >> kFixedShift) - depth, count) : 0;
    }

    std::uint8_t* pixel = pixelBuffer_ + offset * kBytes;
    std::uint16_t* depthAt = kDepth ? depthBuffer_ + offset : nullptr;
    std::int32_t* pickAt = kPick != PickWrite::None ? pickBuffer_ + offset : nullptr;
    for (std::int32_t i = 0; i < count; ++i) {
      bool visible = true;
      if constexpr (kDepth) visible = static_cast<std::uint16_t>(depth) < depthAt[i];
      if (visible) {
        const std::int32_t texel = shade.plot(pixel + i * kBytes, value.data());
        if constexpr (kDepth) depthAt[i] = static_cast<std::uint16_t>(depth);
        if constexpr (kPick == PickWrite::Id) pickAt[i] = id;
        if constexpr (kPick == PickWrite::Texel) pickAt[i] = texel;
      }
      for (int k = 0; k < kShaded; ++k) {
        value[k] = static_cast<std::int32_t>(static_cast<std::uint32_t>(value[k]) +
                                             static_cast<std::uint32_t>(step[k]));
      }
      if constexpr (kDepth) depth += depthStep;
    }
  }
  // The next polygon starts from its own rows.
  spanTop_ = kSpanEmptyLeft;
  spanBottom_ = kSpanEmptyRight;
}

}  // namespace pelt
