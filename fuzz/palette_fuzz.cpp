// Palette files: no input reads outside the buffer.
#include <cstdint>

#include "skins/palette_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelt::Palette palette{};
  (void)pelt::decodePaletteFile({data, size}, palette);
  return 0;
}
