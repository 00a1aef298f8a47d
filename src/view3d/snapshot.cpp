#include "view3d/snapshot.h"

#include <algorithm>
#include <cctype>

#include "skins/byte_order.h"

namespace pelt {

namespace {

constexpr double kSmoothingStep = 0.00125;
constexpr int kPixelsPerMetre = 100;

}  // namespace

bool snapshotSizeAllowed(int width, int height) {
  auto fits = [](int side) { return side >= kSnapshotMinSide && side <= kSnapshotMaxSide; };
  return fits(width) && fits(height);
}

SnapshotControls snapshotControls(bool customSize, bool trueColour, bool smoothing) {
  return {customSize, trueColour, trueColour && smoothing};
}

double smoothingExponentFor(int sliderPosition) { return sliderPosition * kSmoothingStep + 1.0; }

std::vector<std::uint8_t> buildLightTableRgb(const Skin& colormap, const Palette& palette) {
  std::vector<std::uint8_t> table(static_cast<size_t>(kLightTableRows) * 256 * 3);
  auto colour = [&](std::uint8_t index, int channel) {
    return static_cast<int>(palette[static_cast<size_t>(index) * 3 + static_cast<size_t>(channel)]);
  };
  auto put = [&](int row, int column, int channel, int value) {
    table[(static_cast<size_t>(row) * 256 + static_cast<size_t>(column)) * 3 +
          static_cast<size_t>(channel)] = static_cast<std::uint8_t>(value);
  };
  for (int c = 0; c < 256; ++c) {
    auto entry = [&](int row) {
      return colormap.pixels[static_cast<size_t>(row) * static_cast<size_t>(colormap.width) +
                             static_cast<size_t>(c)];
    };
    std::uint8_t e = entry(0);
    int r0 = 0;
    for (int i = 1; i < kLightTableRows; ++i) {
      const std::uint8_t next = entry(i);
      if (next == e) continue;
      const int span = i - r0;
      for (int k = 0; k < span; ++k)
        for (int ch = 0; ch < 3; ++ch) {
          const int from = colour(e, ch), to = colour(next, ch);
          put(r0 + k, c, ch, static_cast<int>(from + static_cast<double>(to - from) * k / span));
        }
      r0 = i;
      e = next;
    }
    for (int row = r0; row < kLightTableRows; ++row)
      for (int ch = 0; ch < 3; ++ch) put(row, c, ch, colour(e, ch));
  }
  return table;
}

Skin eightBitSnapshot(std::span<const std::uint8_t> bottomUp, int width, int height,
                      const Palette& palette) {
  Skin shot;
  shot.width = width;
  shot.height = height;
  shot.palette = palette;
  const auto row = static_cast<size_t>(width);
  shot.pixels.resize(row * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(row * static_cast<size_t>(y)), row,
                shot.pixels.begin() +
                    static_cast<std::ptrdiff_t>(row * static_cast<size_t>(height - 1 - y)));
  buildRowOffsets(&shot);
  return shot;
}

size_t bmp24RowSize(int width) { return (static_cast<size_t>(width) * 3 + 3) / 4 * 4; }

Bytes encodeBmp24(const RgbImage& image) {
  const size_t row = bmp24RowSize(image.width);
  const size_t size = kBmp24HeaderSize + row * static_cast<size_t>(image.height);
  Bytes out(size, 0);
  out[0] = 'B';
  out[1] = 'M';
  writeU32(out.data() + 2, static_cast<std::uint32_t>(size));
  writeU32(out.data() + 10, kBmp24HeaderSize);
  writeU32(out.data() + 14, 40);
  writeU32(out.data() + 18, static_cast<std::uint32_t>(image.width));
  writeU32(out.data() + 22, static_cast<std::uint32_t>(image.height));
  writeU16(out.data() + 26, 1);
  writeU16(out.data() + 28, 24);
  writeU32(out.data() + 38, kPixelsPerMetre);
  writeU32(out.data() + 42, kPixelsPerMetre);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* from =
        &image.rgb[static_cast<size_t>(y) * static_cast<size_t>(image.width) * 3];
    std::uint8_t* to = &out[kBmp24HeaderSize + static_cast<size_t>(y) * row];
    for (int x = 0; x < image.width; ++x, from += 3, to += 3) {
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
    }
  }
  return out;
}

std::string trueColourSnapshotPath(const std::string& chosen) {
  const size_t slash = chosen.find_last_of('/');
  const size_t dot = chosen.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return chosen;
  std::string extension = chosen.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".pcx" ? chosen.substr(0, dot) + ".bmp" : chosen;
}

}  // namespace pelt
