// PCX decoding: every input is refused or gives a consistent skin that
// survives our own writer.
#include <cstdint>
#include <cstdlib>

#include "skins/skin_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  pelt::Bytes bytes(data, data + size);
  bytes[0] = 0x0A;
  bytes[1] = 0x05;
  pelt::SkinDecodeResult result = pelt::decodeSkinImage(bytes);
  if (!result.skin) return 0;
  const pelt::Skin& skin = *result.skin;
  if (skin.pixels.size() != static_cast<size_t>(skin.width) * skin.height) std::abort();
  pelt::SkinDecodeResult again = pelt::decodeSkinImage(pelt::encodeSkinPcx(skin));
  if (!again.skin || again.skin->pixels != skin.pixels) std::abort();
  return 0;
}
