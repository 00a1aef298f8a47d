#pragma once
// Phong and environment maps for the demo: 256 x 256 images sampled by the
// direction a face points, centre = straight at the viewer (environment) or
// the mirror direction of the light (phong).

#include <string>

#include "skins/skin.h"

namespace pelt {

inline constexpr int kMapSize = 256;
inline constexpr int kDemoPhongMapCount = 3;
inline constexpr int kDemoEnvironmentMapCount = 3;

// 0 a tight highlight, 1 a broad soft one, 2 a key light with a rim light.
// Pixels are light intensities 0..255 over a grey ramp palette.
Skin makePhongMap(int kind);
std::string phongMapFileName(int kind);

// 0 sky over ground, 1 a studio with soft boxes, 2 a checkered room. Each
// map carries its own palette.
Skin makeEnvironmentMap(int kind);
std::string environmentMapFileName(int kind);

}  // namespace pelt
