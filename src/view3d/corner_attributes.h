#pragma once
// Per-corner filler attributes and the colour slots the render modes share.

#include <cstdint>

#include "model/model.h"
#include "raster/screen_vertex.h"

namespace pelt::corner {

inline constexpr int kMeshSlot = 1;
inline constexpr int kSelectedSlot = 2;
inline constexpr int kDraggedSlot = 3;
inline constexpr int kBackgroundSlot = 7;
inline constexpr int kLightLevels = 64;

// Light level of a Gouraud corner: level 0 is the brightest row.
inline std::int32_t light(const ModelTriangle& tri, size_t k) {
  return (kLightLevels - 1 - (tri.cornerShade[k] >> 2)) << kFixedShift;
}

// axis 0 is s, 1 is t of the corner's map coordinates.
inline std::int32_t mapCoord(const ModelTriangle& tri, size_t k, size_t axis) {
  return static_cast<std::int32_t>(tri.cornerMapSt[k][axis]) << kFixedShift;
}

}  // namespace pelt::corner
