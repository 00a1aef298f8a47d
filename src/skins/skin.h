#pragma once
// One 8-bit paletted image: model skins, companion skins, environment and
// phong maps all use this record.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pelt {

using Palette = std::array<std::uint8_t, 768>;  // 256 x R, G, B

enum SkinFormat : std::uint8_t { kFormatNone = 0, kFormatPcx = 1, kFormatBmp = 2 };

inline constexpr std::uint32_t kSkinUnlinked = 1;  // bit 0 of `unlinked`

struct Skin {
  std::string name;
  std::string filePath;
  bool hasFile = false;
  std::vector<std::uint8_t> pixels;        // row-major, top row first
  std::vector<std::uint8_t> storedPixels;  // the Store/Revert copy
  std::uint32_t unlinked = 0;
  Palette palette{};
  int width = 0;
  int height = 0;
  std::uint8_t fileFormat = kFormatNone;
  std::vector<std::int32_t> rowOffsets;  // one entry per row: y * width
  // Painted since it was last read or written.
  bool modified = false;

  bool isLinked() const { return (unlinked & kSkinUnlinked) == 0; }
  std::uint8_t pixel(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Sizes both pixel buffers (zeroed) and the row table.
void allocateSkin(Skin& skin, int width, int height);

// Entry y = y * width for every row; sized by the height.
void buildRowOffsets(Skin* skin);

Palette greyRampPalette();

// 4 x 4 blocks: `same` where bit 2 of x equals bit 2 of y, else `other`.
void fillCheckerboard(Skin& skin, std::uint8_t same, std::uint8_t other);

}  // namespace pelt
