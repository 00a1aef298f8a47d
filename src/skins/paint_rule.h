#pragma once
// How painting changes a pixel, shared by the skin view and the 3D view:
// every touched palette index goes through a 256-entry blend table, once per
// stroke, unless its colour is protected.

#include <array>
#include <cstdint>
#include <span>

#include "skins/brush.h"
#include "skins/skin.h"

namespace pelt {

using BlendTable = std::array<std::uint8_t, 256>;
// Nonzero: pixels of that palette index are never painted.
using ProtectedColors = std::array<std::int32_t, 256>;

enum BlendMode : int {
  kBlendRgb = 0,            // mix toward the paint colour
  kBlendHueSaturation = 1,  // the paint colour's hue and saturation at the pixel's brightness
};

struct Rgb {
  double r = 0, g = 0, b = 0;
};

struct Hsv {
  double h = -1;  // degrees, -1 for a grey
  double s = 0;
  double v = 0;
};

// Every index maps to itself: painting changes nothing.
BlendTable identityBlendTable();

Hsv rgbToHsv(double r, double g, double b);
Rgb hsvToRgb(double h, double s, double v);

// Smallest squared RGB distance; the lower index wins ties.
int nearestPaletteIndex(const Palette& palette, const Rgb& colour);

// The same search for many colours against one palette, converted once.
class NearestColour {
 public:
  explicit NearestColour(const Palette& palette);
  int operator()(const Rgb& colour) const;

 private:
  std::array<double, 256> r_{}, g_{}, b_{};
};

// Index before painting -> index after painting with `paintIndex` at
// strength `amount` (0..1).
void buildBlendTable(BlendTable& table, const Palette& palette, std::uint8_t paintIndex,
                     double amount, int mode);

// The soft brush's strengths: table k blends at amount * (k + 1) / kSoftLevels,
// so the last one is the blend table itself.
using SoftBlendTables = std::array<BlendTable, kSoftLevels>;
void buildSoftBlendTables(SoftBlendTables& tables, const Palette& palette, std::uint8_t paintIndex,
                          double amount, int mode);

// Paints one texel of `pixels` (offset -1 = nothing there); `paintedMask`
// holds one byte per pixel for the stroke. True when the pixel changed its
// painted state.
inline bool paintTexel(std::span<std::uint8_t> pixels, std::span<std::uint8_t> paintedMask,
                       const BlendTable& blendTable, const ProtectedColors& protectedColors,
                       std::int32_t offset) {
  if (offset < 0 || static_cast<size_t>(offset) >= pixels.size() ||
      static_cast<size_t>(offset) >= paintedMask.size())
    return false;
  std::uint8_t& pixel = pixels[static_cast<size_t>(offset)];
  std::uint8_t& painted = paintedMask[static_cast<size_t>(offset)];
  if (protectedColors[pixel] != 0 || painted != 0) return false;
  painted = 1;
  pixel = blendTable[pixel];
  return true;
}

}  // namespace pelt
