// Palette files: a refused file leaves the palette as it was; an ACT file is
// taken byte for byte; a file shorter than an ACT serves only as a picture
// (a PNG or TGA, whose palette may be packed or a grey ramp).
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "skins/palette_file.h"
#include "skins/skin_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelt::Palette before{};
  for (size_t i = 0; i < before.size(); ++i) before[i] = static_cast<std::uint8_t>(i * 13 + 5);
  pelt::Palette palette = before;
  const bool taken = pelt::decodePaletteFile({data, size}, palette);
  if (!taken && palette != before) std::abort();
  if (taken && size == palette.size() && !std::equal(palette.begin(), palette.end(), data))
    std::abort();
  if (size < palette.size() && taken && !pelt::decodeSkinImage({data, size}).skin) std::abort();
  return 0;
}
