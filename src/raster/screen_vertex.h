#pragma once
// Integer screen corners handed to the span fillers.

#include <array>
#include <cstdint>
#include <span>

namespace pelt {

inline constexpr int kFixedShift = 16;
inline constexpr std::int32_t kFixedOne = 1 << kFixedShift;
inline constexpr std::int32_t kFixedHalf = kFixedOne / 2;
inline constexpr int kMaxAttributes = 5;

// x and y in whole pixels (row 0 is the first row of the bound buffers), then
// the filler's attributes in 16.16 fixed point, in the order its name gives
// them; a depth-testing filler takes the depth last.
template <int kAttributes>
struct ScreenVertex {
  static_assert(kAttributes >= 0 && kAttributes <= kMaxAttributes);
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::array<std::int32_t, kAttributes> attr{};
};

// A filler's polygon: three corners, or four for the skin view's quad. The
// polygon closes itself; a trailing copy of the first corner is harmless.
template <int kAttributes>
using Corners = std::span<const ScreenVertex<kAttributes>>;

inline constexpr int kMaxCorners = 5;

}  // namespace pelt
