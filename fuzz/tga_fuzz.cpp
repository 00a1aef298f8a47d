// TGA decoding: every input is refused with a message or gives a consistent
// skin or picture that survives our own writer.
#include <cstdint>

#include "skin_round_trip.h"
#include "skins/byte_order.h"
#include "skins/tga_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 18 || !pelt::isTga({data, size})) return 0;
  const pelt::Bytes bytes(data, data + size);
  if (std::int64_t{pelt::readU16(&bytes[12])} * pelt::readU16(&bytes[14]) >
      pelt::fuzz::kMaxFuzzPixels)
    return 0;
  pelt::fuzz::checkRoundTrip(bytes, pelt::encodeSkinTga, pelt::encodeRgbTga);
  return 0;
}
