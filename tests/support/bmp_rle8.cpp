#include "support/bmp_rle8.h"

#include <algorithm>

#include "skins/byte_order.h"
#include "skins/skin_image.h"

namespace pelt::test {

namespace {

constexpr size_t kMaxRun = 255;
constexpr size_t kMinLiteral = 3;

size_t runLength(const std::uint8_t* row, size_t at, size_t width) {
  size_t n = 1;
  while (at + n < width && n < kMaxRun && row[at + n] == row[at]) ++n;
  return n;
}

}  // namespace

Bytes bmpRle8File(const Skin& skin, const Bytes& stream) {
  Bytes file = encodeSkinBmp(skin);
  const size_t pixelOffset = readU32(file.data() + 10);
  file.resize(pixelOffset);
  file.insert(file.end(), stream.begin(), stream.end());
  Bytes field;
  putU32(field, static_cast<std::uint32_t>(file.size()));
  std::copy(field.begin(), field.end(), file.begin() + 2);  // file size
  field.clear();
  putU32(field, 1);
  std::copy(field.begin(), field.end(), file.begin() + 30);  // compression
  field.clear();
  putU32(field, static_cast<std::uint32_t>(stream.size()));
  std::copy(field.begin(), field.end(), file.begin() + 34);  // image size
  return file;
}

Bytes encodeRle8(const Skin& skin) {
  Bytes out;
  const auto width = static_cast<size_t>(skin.width);
  for (int y = skin.height - 1; y >= 0; --y) {
    const std::uint8_t* row = skin.pixels.data() + static_cast<size_t>(y) * width;
    for (size_t x = 0; x < width;) {
      size_t run = runLength(row, x, width);
      if (run >= 2) {
        out.insert(out.end(), {static_cast<std::uint8_t>(run), row[x]});
        x += run;
        continue;
      }
      size_t literal = 1;
      while (x + literal < width && literal < kMaxRun && runLength(row, x + literal, width) < 2)
        ++literal;
      if (literal < kMinLiteral) {
        for (size_t n = 0; n < literal; ++n) out.insert(out.end(), {1, row[x + n]});
      } else {
        out.insert(out.end(), {0, static_cast<std::uint8_t>(literal)});
        out.insert(out.end(), row + x, row + x + literal);
        if (literal % 2 != 0) out.push_back(0);
      }
      x += literal;
    }
    out.insert(out.end(), {0, static_cast<std::uint8_t>(y == 0 ? 1 : 0)});
  }
  return out;
}

}  // namespace pelt::test
