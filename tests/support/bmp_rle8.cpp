#include "support/bmp_rle8.h"

#include <algorithm>

#include "skins/byte_order.h"
#include "skins/skin_image.h"

namespace pelt::test {

Bytes bmpRle8File(const Skin& skin, const Bytes& stream) {
  Bytes file = encodeSkinBmp(skin);
  file.resize(readU32(file.data() + 10));  // up to the pixel data
  file.insert(file.end(), stream.begin(), stream.end());
  Bytes fields;
  for (std::uint32_t v :
       {static_cast<std::uint32_t>(file.size()), 1u, std::uint32_t(stream.size())})
    putU32(fields, v);
  std::copy_n(fields.begin(), 4, file.begin() + 2);       // file size
  std::copy_n(fields.begin() + 4, 8, file.begin() + 30);  // compression, image size
  return file;
}

}  // namespace pelt::test
