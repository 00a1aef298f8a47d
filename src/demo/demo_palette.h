#pragma once
// The demo palette and the light table that goes with it. The palette is
// sixteen ramps of sixteen shades (grey darkest first, the colours brightest
// first), so painting code can pick "ramp, shade" and shading stays inside
// one hue.

#include <array>
#include <cstdint>
#include <vector>

#include "skins/skin.h"

namespace pelt {

inline constexpr int kRampLength = 16;
inline constexpr int kColormapRows = 64;
inline constexpr int kColormapColumns = 256;

enum DemoRamp : int {
  kRampGrey = 0,
  kRampBrown,
  kRampTan,
  kRampRed,
  kRampOrange,
  kRampYellow,
  kRampOlive,
  kRampGreen,
  kRampTeal,
  kRampCyan,
  kRampBlue,
  kRampIndigo,
  kRampPurple,
  kRampMagenta,
  kRampRose,
  kRampSteel,
};

// Palette index of `shade` (0 darkest .. 15 brightest, clamped) in `ramp`.
std::uint8_t rampColor(DemoRamp ramp, int shade);

Palette makeDemoPalette();

// The 768 palette bytes as an ACT file.
std::vector<std::uint8_t> encodeActPalette(const Palette& palette);

// Smallest squared RGB distance; the lower index wins a tie.
std::uint8_t nearestPaletteIndex(const Palette& palette, int r, int g, int b);

// How bright light level `row` makes a colour: a little above 1 at row 0,
// falling to near black at the last row.
double colormapLightFactor(int row);

// Colour `index` under light level `row`, clamped to bytes: what the light
// table looks up the nearest palette colour for.
std::array<std::uint8_t, 3> litColor(const Palette& palette, int index, int row);

// 256 x 64 light table carrying `palette`: entry (row, index) is the palette
// colour nearest to colour `index` scaled by `colormapLightFactor(row)`.
Skin makeColormapImage(const Palette& palette);

}  // namespace pelt
