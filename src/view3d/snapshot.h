#pragma once
// Snapshots of the 3D view: the size rule, the light table of RGB ramps the
// true-colour filler reads, and the 24-bit BMP it is written as.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "skins/skin.h"

namespace pelt {

inline constexpr int kSnapshotMinSide = 16;
inline constexpr int kSnapshotMaxSide = 2048;
inline constexpr int kLightTableRows = 64;
inline constexpr int kBmp24HeaderSize = 54;

// A true-colour picture, R, G, B per pixel, row 0 the bottom line.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  RgbImage() = default;
  RgbImage(int w, int h)
      : width(w), height(h), rgb(static_cast<size_t>(w) * static_cast<size_t>(h) * 3, 0) {}
};

bool snapshotSizeAllowed(int width, int height);

// Which controls of the "Snapshots" dialog take input for these choices.
struct SnapshotControls {
  bool size = false;       // "Width", "Height": only for "Custom:"
  bool smoothing = false;  // "Smoothing:": only with "24 Bit Color"
  bool slider = false;     // only with both
};
SnapshotControls snapshotControls(bool customSize, bool trueColour, bool smoothing);

// Slider 0 ("Blurry") gives 1.0, 9999 ("Sharp") 13.49875.
double smoothingExponentFor(int sliderPosition);

// 64 rows of 256 RGB triples: every run of equal entries down a colormap
// column becomes a ramp toward the next entry's colour.
std::vector<std::uint8_t> buildLightTableRgb(const Skin& colormap, const Palette& palette);

// The 8-bit snapshot as a skin: the view's bottom-up rows turned top-down.
Skin eightBitSnapshot(std::span<const std::uint8_t> bottomUp, int width, int height,
                      const Palette& palette);

// Blue, green, red per pixel, rows from the bottom, each padded to 4 bytes.
Bytes encodeBmp24(const RgbImage& image);
size_t bmp24RowSize(int width);

// A true-colour snapshot is a BMP whatever filter was chosen; a name ending
// in ".pcx" (any case) gets ".bmp" instead so the file is what it says.
std::string trueColourSnapshotPath(const std::string& chosen);

}  // namespace pelt
