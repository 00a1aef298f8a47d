#include "skins/palette_file.h"

#include <algorithm>
#include <cerrno>

#include "platform/file_io.h"
#include "platform/platform.h"
#include "platform/settings_keys.h"
#include "skins/byte_order.h"
#include "skins/png_file.h"
#include "skins/skin_image.h"
#include "skins/tga_file.h"

namespace pelt {

namespace {
constexpr size_t kActSize = 768;

// Set, "Palette Path" names the file (found through the game's files when
// it lies below the base folder); unset, it is the game's own colormap.
std::optional<GameFile> paletteFile(Platform& platform, GameFileSystem& files) {
  using namespace settings;
  std::string path = platform.readString(kPreferences, kPalettePath, "");
  if (path.empty() || path == kUnknown) return files.find(kGameColormapName);
  return files.locate(path);
}
}  // namespace

bool decodePaletteFile(std::span<const std::uint8_t> bytes, Palette& palette) {
  // A PNG or TGA with a palette or colour map (or grey) gives it; a
  // true-colour one has none.
  if (isPng(bytes) || (bytes.size() != kActSize && isTga(bytes))) {
    SkinDecodeResult image = decodeSkinImage(bytes);
    if (!image.skin) return false;
    palette = image.skin->palette;
    return true;
  }
  if (bytes.size() < kActSize) return false;
  if (bytes.size() == kActSize) {
    std::copy(bytes.begin(), bytes.end(), palette.begin());
    return true;
  }
  if (bytes[0] == 'B' && bytes[1] == 'M') {
    if (bytes.size() < 14 + 40 || readU16(bytes.data() + 28) != 8) return false;
    std::uint64_t tableStart = 14 + std::uint64_t{readU32(bytes.data() + 14)};
    std::uint32_t colours = readU32(bytes.data() + 46);
    if (colours == 0 || colours > 256) colours = 256;
    if (tableStart + std::uint64_t{colours} * 4 > bytes.size()) return false;
    for (std::uint32_t i = 0; i < colours; ++i) {
      const std::uint8_t* entry = bytes.data() + tableStart + i * 4;
      palette[i * 3 + 0] = entry[2];
      palette[i * 3 + 1] = entry[1];
      palette[i * 3 + 2] = entry[0];
    }
    return true;
  }
  if (bytes[0] == 0x0A && bytes[1] == 0x05) {
    std::copy(bytes.end() - kActSize, bytes.end(), palette.begin());
    return true;
  }
  return false;
}

// An ACT is the palette alone; a PCX ends with its palette; a BMP holds it
// after its headers. Enough of a longer file is read to tell it is no ACT.
// PNG and TGA files are decoded, so read as a skin would be.
ReadPlan paletteReadPlan(std::span<const std::uint8_t> start) {
  if (isPng(start) || isTga(start)) return skinImageReadPlan(start);
  if (start.size() >= 2 && start[0] == 0x0A && start[1] == 0x05) return {2, kActSize};
  if (start.size() >= 54 && start[0] == 'B' && start[1] == 'M')
    return {std::max<std::uint64_t>(14 + std::uint64_t{readU32(start.data() + 14)} + 256 * 4,
                                    kActSize + 1),
            0};
  return {kActSize + 1, 0};
}

void loadDefaultPalette(Platform& platform, GameFileSystem& files, Palette& palette) {
  std::optional<GameFile> file = paletteFile(platform, files);
  FileReadResult read = file ? files.read(*file, paletteReadPlan) : FileReadResult{{}, ENOENT};
  if (!read.ok() || !decodePaletteFile(read.bytes, palette)) palette = greyRampPalette();
}

std::unique_ptr<Skin> loadDefaultColormap(Platform& platform, GameFileSystem& files) {
  std::optional<GameFile> file = paletteFile(platform, files);
  return file ? readGameSkin(platform, files, *file) : nullptr;
}

}  // namespace pelt
