#pragma once
// The row loop every filler shares. It is instantiated once per filler with
// the vertex layout and the pixel shade fixed at compile time, so the inner
// loop holds only the shade's own work, the depth test and the steps.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "raster/rasterizer.h"
#include "raster/span_lanes.h"
#include "raster/step_lanes.h"

namespace pelt {

namespace detail {

// One span's pixels. The buffers never overlap each other or the shade's
// tables; saying so lets the attributes stay in registers across the stores.
template <int kShaded, bool kDepth, PickWrite kPick, class Shade>
inline void plotSpan(const Shade& shade, std::uint8_t* __restrict pixel, std::uint16_t* __restrict depthAt,
                     std::int32_t* __restrict pickAt, std::int32_t count,
                     std::array<std::int32_t, kShaded + 1> value, const std::array<std::int32_t, kShaded + 1>& step,
                     std::int32_t depth, std::int32_t depthStep, std::int32_t id) {
  constexpr std::size_t kBytes = Shade::kBytesPerPixel;
  // The index runs from -count up to 0 against the span's end, so one
  // register both counts and addresses every buffer.
  const std::ptrdiff_t n = count;
  pixel += n * static_cast<std::ptrdiff_t>(kBytes);
  if constexpr (kDepth) depthAt += n;
  if constexpr (kPick != PickWrite::None) pickAt += n;
  for (std::ptrdiff_t i = -n; i != 0; ++i) {
    if constexpr (kDepth) {
      if (static_cast<std::uint16_t>(depth) < depthAt[i]) {
        const std::int32_t texel = shade.plot(pixel + i * static_cast<std::ptrdiff_t>(kBytes), value.data());
        depthAt[i] = static_cast<std::uint16_t>(depth);
        if constexpr (kPick == PickWrite::Id) pickAt[i] = id;
        if constexpr (kPick == PickWrite::Texel) pickAt[i] = texel;
      }
      depth = static_cast<std::int32_t>(static_cast<std::uint32_t>(depth) + static_cast<std::uint32_t>(depthStep));
    } else {
      const std::int32_t texel = shade.plot(pixel + i * static_cast<std::ptrdiff_t>(kBytes), value.data());
      if constexpr (kPick == PickWrite::Id) pickAt[i] = id;
      if constexpr (kPick == PickWrite::Texel) pickAt[i] = texel;
    }
    for (int k = 0; k < kShaded; ++k) {
      value[k] = static_cast<std::int32_t>(static_cast<std::uint32_t>(value[k]) + static_cast<std::uint32_t>(step[k]));
    }
  }
}

// What decides a plain texture row's pixels when v does not change along it.
struct RepeatedRow {
  std::int32_t y = -2;
  std::int32_t xl = 0, count = 0;
  std::int32_t u = 0, du = 0, dv = 1;
  std::uint32_t vRow = 0;
  bool repeats(const RepeatedRow& below) const {
    return y == below.y + 1 && dv == 0 && below.dv == 0 && xl == below.xl && count == below.count &&
           u == below.u && du == below.du && vRow == below.vRow;
  }
};

}  // namespace detail

template <int N, bool kDepth, bool kRoundedUv, PickWrite kPick, class Shade>
void Rasterizer::fillSpans(const Shade& shade, std::int32_t id) {
  if constexpr (kDepth && detail::LaneShade<Shade>::kEnabled) {
    if constexpr (std::is_same_v<Shade, shades::Texture>) {
      if (spanLanes_ == SpanLanes::Sixteen && shade.pitch > 0) {
        fillRowsInWideLanes<N, kDepth, kRoundedUv, kPick>(shade, id);
        return;
      }
    }
    if (spanLanes_ != SpanLanes::One) {
      fillRowsInLanes<N, kDepth, kRoundedUv, kPick>(shade, id);
      return;
    }
  }
  fillRows<N, kDepth, kRoundedUv, kPick, 0>(shade, id);
}

// The same row loop compiled for AVX2, so the lanes inline into it. The
// texture table's kind is settled once per polygon, which lets its lane
// constants leave the row loop.
template <int N, bool kDepth, bool kRoundedUv, PickWrite kPick, class Shade>
[[gnu::target("avx2")]] void Rasterizer::fillRowsInLanes(const Shade& shade, std::int32_t id) {
  if constexpr (std::is_same_v<Shade, shades::Texture>) {
    if (shade.pitch > 0) {
      fillRows<N, kDepth, kRoundedUv, kPick, 2>(shade, id);
      return;
    }
  }
  fillRows<N, kDepth, kRoundedUv, kPick, 1>(shade, id);
}

template <int N, bool kDepth, bool kRoundedUv, PickWrite kPick, class Shade>
[[gnu::target("avx2,bmi2,avx512f,avx512bw,avx512vl")]] void Rasterizer::fillRowsInWideLanes(const Shade& shade,
                                                                                            std::int32_t id) {
  fillRows<N, kDepth, kRoundedUv, kPick, 3>(shade, id);
}

template <int N, bool kDepth, bool kRoundedUv, PickWrite kPick, int kLanes, class Shade>
[[gnu::always_inline]] inline void Rasterizer::fillRows(const Shade& boundShade, std::int32_t id) {
  static_assert(!kDepth || N >= 1, "a depth-testing layout carries the depth last");
  constexpr int kShaded = kDepth ? N - 1 : N;
  constexpr std::size_t kBytes = Shade::kBytesPerPixel;
  // A copy the pixel stores cannot alias, so its tables stay in registers.
  const Shade shade = boundShade;

  const SpanFields rows = spans_.fields();
  const auto pitch = static_cast<std::size_t>(width_);
  std::uint8_t* const pixels = pixelBuffer_;
  std::uint16_t* const depths = depthBuffer_;
  std::int32_t* const picks = pickBuffer_;
  const std::int32_t top = std::max(spanTop_, 0);
  const std::int32_t bottom = std::min(spanBottom_, yMax_);
  [[maybe_unused]] const std::size_t bufferPixels = pitch * static_cast<std::size_t>(height_);
  // A magnified upright texture (the skin view's quad) repeats its rows
  // while v stays in one texel row: such a row is a copy of the one below.
  constexpr bool kRowRepeats = kLanes == 0 && !kDepth && std::is_same_v<Shade, shades::Texture>;
  [[maybe_unused]] detail::RepeatedRow repeat;
#if PELT_LANES_AVAILABLE
  if constexpr (kLanes == 3) detail::prepareRowsInWideLanes<N, kRoundedUv>(rows, top, bottom, countDivider_);
  if constexpr (kLanes == 1 || kLanes == 2) detail::prepareRowsInLanes<N, kRoundedUv>(rows, top, bottom, countDivider_);
#endif
  for (std::int32_t y = top; y <= bottom; ++y) {
    std::int32_t xl = 0;
    std::int32_t count = 0;
    if constexpr (kLanes != 0) {
      // Prepared, and the row already emptied.
      xl = rows.leftAttr[detail::kPreparedField][y];
      count = rows.rightAttr[detail::kPreparedField][y];
      if (count <= 0) continue;
    } else {
      xl = rows.left[y];
      const std::int32_t xr = rows.right[y];
      rows.left[y] = kSpanEmptyLeft;
      rows.right[y] = kSpanEmptyRight;
      if (xl > xr) continue;
      count = xr - xl + 1;
    }
    const std::size_t offset = static_cast<std::size_t>(y) * pitch + static_cast<std::size_t>(xl);
    if constexpr (Shade::kSolid && !kDepth && kPick == PickWrite::None) {
      std::memset(pixels + offset, shade.colour, static_cast<std::size_t>(count));
      continue;
    }

    // A span of one pixel keeps the left values; otherwise every delta is
    // divided by the pixel count, so the last pixel stops one step short.
    std::array<std::int32_t, kShaded + 1> value{};
    std::array<std::int32_t, kShaded + 1> step{};
    for (int k = 0; k < kShaded; ++k) value[k] = rows.leftAttr[k][y];
    std::int32_t depth = 0;
    std::int32_t depthStep = 0;
    if constexpr (kLanes != 0) {
      for (int k = 0; k < kShaded; ++k) step[k] = rows.rightAttr[k][y];
      depth = rows.leftAttr[N - 1][y];
      depthStep = rows.rightAttr[N - 1][y];
    } else {
      if constexpr (kDepth) depth = rows.leftAttr[N - 1][y] >> kFixedShift;
      if (count > 1) {
        const CountReciprocal reciprocal = countDivider_.reciprocal(count);
        for (int k = 0; k < kShaded; ++k) {
          std::uint32_t delta =
              static_cast<std::uint32_t>(rows.rightAttr[k][y]) - static_cast<std::uint32_t>(rows.leftAttr[k][y]);
          if (kRoundedUv && k < 2) delta += kFixedHalf;
          step[k] = reciprocal.divide(static_cast<std::int32_t>(delta));
        }
        // Depth steps in whole units: it changes along a span only when its
        // ends differ by at least the pixel count.
        if constexpr (kDepth) depthStep = reciprocal.divide((rows.rightAttr[N - 1][y] >> kFixedShift) - depth);
      }
    }

    std::uint8_t* const pixelAt = pixels + offset * kBytes;
    std::uint16_t* const depthAt = kDepth ? depths + offset : nullptr;
    std::int32_t* const pickAt = kPick != PickWrite::None ? picks + offset : nullptr;
    if constexpr (kRowRepeats) {
      const detail::RepeatedRow row{y, xl, count, value[0], step[0], step[1], shades::index(value[1])};
      if (row.repeats(repeat)) {
        std::memcpy(pixelAt, pixelAt - pitch, static_cast<std::size_t>(count));
        if constexpr (kPick != PickWrite::None)
          std::memcpy(pickAt, pickAt - pitch, static_cast<std::size_t>(count) * sizeof(std::int32_t));
        repeat.y = y;
        continue;
      }
      repeat = row;
#if PELT_LANES_AVAILABLE
      if (shade.pitch > 0 && spanLanes_ != SpanLanes::One) {
        if (spanLanes_ == SpanLanes::Sixteen) {
          detail::plotTextureSpanWideLanes<kPick>(shade, pixelAt, pickAt, count, value[0], value[1], step[0], step[1]);
          continue;
        }
        const std::int32_t done =
            detail::plotTextureSpanLanes<kPick>(shade, pixelAt, pickAt, count, value[0], value[1], step[0], step[1]);
        for (int k = 0; k < kShaded; ++k)
          value[k] = static_cast<std::int32_t>(static_cast<std::uint32_t>(value[k]) +
                                               static_cast<std::uint32_t>(done) * static_cast<std::uint32_t>(step[k]));
        detail::plotSpan<kShaded, kDepth, kPick>(shade, pixelAt + done, nullptr,
                                                 kPick != PickWrite::None ? pickAt + done : nullptr, count - done,
                                                 value, step, depth, depthStep, id);
        continue;
      }
#endif
    }
#if PELT_LANES_AVAILABLE
    if constexpr (kLanes == 3) {
      detail::plotTextureWideLanes<kShaded, kPick>(shade, pixelAt, depthAt, pickAt, count, value, step, depth,
                                                   depthStep, id);
      continue;
    }
    if constexpr (kLanes != 0) {
      // The groups touch up to seven entries past the span; at the buffers'
      // end the plain loop takes the row instead.
      if (offset + static_cast<std::size_t>((count + 7) & ~7) <= bufferPixels) {
        if constexpr (kLanes == 2) {
          detail::plotTextureLanes<kShaded, kPick>(shade, pixelAt, depthAt, pickAt, count, value, step, depth,
                                                   depthStep, id);
          continue;
        }
        detail::plotLanes<kShaded, kPick>(shade, pixelAt, depthAt, pickAt, count, value, step, depth, depthStep, id);
        continue;
      }
    }
#endif
    detail::plotSpan<kShaded, kDepth, kPick>(shade, pixelAt, depthAt, pickAt, count, value, step, depth, depthStep,
                                             id);
  }
  // The next polygon starts from its own rows.
  spanTop_ = kSpanEmptyLeft;
  spanBottom_ = kSpanEmptyRight;
}

}  // namespace pelt
