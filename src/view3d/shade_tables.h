#pragma once
// The lighting tables the shaded and lit render modes read instead of
// computing colours per pixel: the brightness curve, the mesh colour ramps,
// the light direction, and the lit plane of a phong map.

#include <array>
#include <bit>
#include <cstdint>

#include "skins/skin.h"

namespace pelt {

inline constexpr int kShadeRampSteps = 64;
inline constexpr int kShadeRampCount = 3;  // colour slots 1, 2, 3

using ShadeCurve = std::array<std::uint8_t, 256>;
using ShadeRamp = std::array<std::uint8_t, kShadeRampSteps * 3>;  // RGB per step

void buildShadeCurve(ShadeCurve& curve, double lightExponent);

struct ShadeTables {
  // Starts with the curve of exponent 1, so ramps built before the first
  // curve rebuild are not black.
  ShadeTables() { buildShadeCurve(shadeCurve, 1.0); }

  ShadeCurve shadeCurve{};
  std::array<ShadeRamp, kShadeRampCount> shadeRamps{};
  // Only ever rotated, which keeps its length at one.
  std::array<float, 3> lightDirection{std::bit_cast<float>(0xBF13CD39u),
                                      std::bit_cast<float>(0xBF13CD39u),
                                      std::bit_cast<float>(0xBF13CD39u)};
};

// `palette` is the current skin's, or null for the grey ramp.
void buildShadeRamps(ShadeTables& tables, const Palette* palette,
                     const std::array<std::uint8_t, kShadeRampCount>& slotIndices);

// A phong map keeps its lit plane (light levels 0..63, brightest texels
// lowest) in `storedPixels`.
void buildLitPlane(const ShadeCurve& curve, Skin& phongMap);
// Whether `storedPixels` holds a plane the 64-row light table can be indexed with.
bool hasLitPlane(const Skin& phongMap);

}  // namespace pelt
