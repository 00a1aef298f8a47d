// PNG decoding: every input is refused with a message or gives a consistent
// skin or picture that survives our own writer. Chunk CRCs are set right
// before decoding so that changes reach the chunks' contents.
#include <algorithm>
#include <array>
#include <cstdint>

#include "skin_round_trip.h"
#include "skins/png_file.h"

namespace {

std::uint32_t crc32(const std::uint8_t* data, size_t size) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::uint32_t bigEndian(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         p[3];
}

void fixCrcs(pelt::Bytes& bytes) {
  for (size_t at = 8; at + 12 <= bytes.size();) {
    const std::uint64_t length = bigEndian(&bytes[at]);
    if (length > bytes.size() - at - 12) return;
    const std::uint32_t crc = crc32(&bytes[at + 4], length + 4);
    for (int i = 0; i < 4; ++i)
      bytes[at + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    at += 12 + length;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (size < 8) return 0;
  pelt::Bytes bytes(data, data + size);
  std::copy(kSignature, kSignature + 8, bytes.begin());
  if (bytes.size() >= 24 &&
      std::uint64_t{bigEndian(&bytes[16])} * bigEndian(&bytes[20]) > pelt::fuzz::kMaxFuzzPixels)
    return 0;
  fixCrcs(bytes);
  pelt::fuzz::checkRoundTrip(bytes, pelt::encodeSkinPng, pelt::encodeRgbPng);
  return 0;
}
