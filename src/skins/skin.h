#pragma once
// One 8-bit paletted image: model skins, companion skins, environment and
// phong maps all use this record.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelt {

using Palette = std::array<std::uint8_t, 768>;  // 256 x R, G, B

enum SkinFormat : std::uint8_t {
  kFormatNone = 0,
  kFormatPcx = 1,
  kFormatBmp = 2,
  kFormatPng = 3,
  kFormatTga = 4
};

inline constexpr std::uint32_t kSkinUnlinked = 1;  // bit 0 of `unlinked`

// Skin pixels x0..x1, y0..y1 (inclusive); empty when x1 < x0.
struct PixelRect {
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
  bool empty() const { return x1 < x0 || y1 < y0; }
  void add(int x, int y);
  void add(const PixelRect& other);
};

struct Skin {
  std::string name;
  std::string filePath;
  bool hasFile = false;
  // The archive the image was read from ("" for a file of its own); such a
  // skin has no file Save may write, and `filePath` is where it would go.
  std::string source;
  std::vector<std::uint8_t> pixels;        // row-major, top row first
  std::vector<std::uint8_t> storedPixels;  // the Store/Revert copy
  std::uint32_t unlinked = 0;
  Palette palette{};
  int width = 0;
  int height = 0;
  std::uint8_t fileFormat = kFormatNone;
  // The file read for a name the model gives as x.pcx when only x.png or
  // x.tga is there ("" otherwise); the skin list shows it.
  std::string readInstead;
  // Brought to the palette from a true-colour file: Save asks for a name
  // rather than write the reduced skin over the picture.
  bool reducedFromTrueColour = false;
  std::vector<std::int32_t> rowOffsets;  // one entry per row: y * width
  // The history numbers each state of pixels, palette and size; the skin is
  // modified while its state is not the one last read or written.
  std::uint64_t revision = 0;
  std::uint64_t savedRevision = 0;
  // Set only while a paint stroke's recolour is sent: no pixel outside it
  // changed since the views last recoloured, so they may skip the rest.
  std::optional<PixelRect> changedRegion;

  bool modified() const { return revision != savedRevision; }
  void markSaved() { savedRevision = revision; }
  bool isLinked() const { return (unlinked & kSkinUnlinked) == 0; }
  // Where a skin read from an archive would be saved; "" for any other.
  std::string archivedPath() const { return source.empty() ? "" : filePath; }
  std::uint8_t pixel(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Sizes both pixel buffers (zeroed) and the row table.
void allocateSkin(Skin& skin, int width, int height);

// Entry y = y * width for every row; sized by the height.
void buildRowOffsets(Skin* skin);

Palette greyRampPalette();

// 4 x 4 blocks: `same` where bit 2 of x equals bit 2 of y, else `other`.
void fillCheckerboard(Skin& skin, std::uint8_t same, std::uint8_t other);

// The palette's grey (red = green = blue) nearest to the grey `level`, the
// lower index on ties; any colour when the palette has fewer than two greys.
std::uint8_t nearestGrey(const Palette& palette, int level);

// What one skin of this size holds in memory: the record, both pixel
// buffers, the row table and room for its name and path.
inline constexpr std::int64_t kSkinTextBytes = 512;
std::int64_t skinMemoryBytes(int width, int height);

}  // namespace pelt
