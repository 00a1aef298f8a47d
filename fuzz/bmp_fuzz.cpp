// BMP decoding: every input is refused with a message or gives a consistent
// skin (or, for a 24-bit file, picture) that survives our own writers.
#include <cstdint>
#include <cstdlib>

#include "skin_round_trip.h"
#include "skins/byte_order.h"
#include "skins/tga_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  pelt::Bytes bytes(data, data + size);
  bytes[0] = 'B';
  bytes[1] = 'M';
  if (size >= 26) {
    const std::int64_t width = pelt::readI32(&bytes[18]);
    const std::int64_t height = std::llabs(std::int64_t{pelt::readI32(&bytes[22])});
    if (width * height > pelt::fuzz::kMaxFuzzPixels) return 0;
  }
  pelt::fuzz::checkRoundTrip(bytes, pelt::encodeSkinBmp, pelt::encodeRgbTga);
  return 0;
}
