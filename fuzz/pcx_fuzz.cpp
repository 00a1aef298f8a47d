// PCX decoding: every input is refused with a message or gives a consistent
// skin that survives our own writer.
#include <cstdint>

#include "skin_round_trip.h"
#include "skins/byte_order.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  pelt::Bytes bytes(data, data + size);
  bytes[0] = 0x0A;
  bytes[1] = 0x05;
  if (size >= 12) {
    const std::int64_t width =
        std::int64_t{pelt::readI16(&bytes[8])} - pelt::readI16(&bytes[4]) + 1;
    const std::int64_t height =
        std::int64_t{pelt::readI16(&bytes[10])} - pelt::readI16(&bytes[6]) + 1;
    if (width * height > pelt::fuzz::kMaxFuzzPixels) return 0;
  }
  pelt::fuzz::checkRoundTrip(bytes, pelt::encodeSkinPcx);
  return 0;
}
