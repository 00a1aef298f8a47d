#include "demo/demo_palette.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pelt {

namespace {

struct Rgb {
  double r, g, b;
};

// The full-strength colour of each ramp; the ramp darkens below it and pales
// towards white above it.
constexpr std::array<Rgb, 16> kRampHues = {{
    {255, 255, 255},  // grey: handled separately
    {150, 95, 50},
    {225, 180, 130},
    {215, 35, 30},
    {240, 130, 25},
    {250, 215, 45},
    {150, 160, 45},
    {55, 170, 45},
    {30, 150, 120},
    {45, 195, 230},
    {45, 85, 230},
    {85, 55, 185},
    {150, 55, 200},
    {220, 55, 170},
    {230, 125, 135},
    {120, 140, 165},
}};

// Shade at which a ramp reaches its full-strength colour.
constexpr int kFullShade = 11;

std::uint8_t clampByte(double v) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

std::uint8_t rampColor(DemoRamp ramp, int shade) {
  shade = std::clamp(shade, 0, kRampLength - 1);
  // Colour ramps run brightest first, so the default colour slots (64, 128,
  // 192, 248) land on bright or full-strength colours; grey stays black to white.
  int position = ramp == kRampGrey ? shade : kRampLength - 1 - shade;
  return static_cast<std::uint8_t>(ramp * kRampLength + position);
}

Palette makeDemoPalette() {
  Palette palette{};
  for (int ramp = 0; ramp < 16; ++ramp) {
    for (int shade = 0; shade < kRampLength; ++shade) {
      Rgb c{};
      if (ramp == kRampGrey) {
        double v = shade * 17.0;  // exact black and white at the ends
        c = {v, v, v};
      } else {
        const Rgb& hue = kRampHues[static_cast<std::size_t>(ramp)];
        if (shade <= kFullShade) {
          double k = (shade + 1.0) / (kFullShade + 1.0);
          c = {hue.r * k, hue.g * k, hue.b * k};
        } else {
          double k = 0.65 * (shade - kFullShade) / (kRampLength - 1 - kFullShade);
          c = {hue.r + (255 - hue.r) * k, hue.g + (255 - hue.g) * k, hue.b + (255 - hue.b) * k};
        }
      }
      std::size_t at = static_cast<std::size_t>(rampColor(DemoRamp(ramp), shade)) * 3;
      palette[at] = clampByte(c.r);
      palette[at + 1] = clampByte(c.g);
      palette[at + 2] = clampByte(c.b);
    }
  }
  return palette;
}

std::vector<std::uint8_t> encodeActPalette(const Palette& palette) {
  return std::vector<std::uint8_t>(palette.begin(), palette.end());
}

std::uint8_t nearestPaletteIndex(const Palette& palette, int r, int g, int b) {
  int best = 0;
  long bestDistance = -1;
  for (int i = 0; i < 256; ++i) {
    long dr = palette[static_cast<std::size_t>(i) * 3] - r;
    long dg = palette[static_cast<std::size_t>(i) * 3 + 1] - g;
    long db = palette[static_cast<std::size_t>(i) * 3 + 2] - b;
    long distance = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return static_cast<std::uint8_t>(best);
}

double colormapLightFactor(int row) { return 1.25 * (kColormapRows - row) / kColormapRows; }

std::array<std::uint8_t, 3> litColor(const Palette& palette, int index, int row) {
  double f = colormapLightFactor(row);
  std::size_t at = static_cast<std::size_t>(index) * 3;
  return {clampByte(palette[at] * f), clampByte(palette[at + 1] * f),
          clampByte(palette[at + 2] * f)};
}

Skin makeColormapImage(const Palette& palette) {
  Skin image;
  allocateSkin(image, kColormapColumns, kColormapRows);
  image.palette = palette;
  for (int row = 0; row < kColormapRows; ++row) {
    for (int index = 0; index < kColormapColumns; ++index) {
      auto lit = litColor(palette, index, row);
      image.pixels[static_cast<std::size_t>(row) * kColormapColumns +
                   static_cast<std::size_t>(index)] =
          nearestPaletteIndex(palette, lit[0], lit[1], lit[2]);
    }
  }
  image.storedPixels = image.pixels;
  return image;
}

}  // namespace pelt
