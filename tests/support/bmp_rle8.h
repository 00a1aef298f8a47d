#pragma once
// RLE8 BMP files around hand-written pixel data, for reader tests and fuzz seeds.

#include "platform/file_io.h"
#include "skins/skin.h"

namespace pelt::test {

// A BMP of the skin's size and palette with `stream` as its RLE8 pixel data.
Bytes bmpRle8File(const Skin& skin, const Bytes& stream);

}  // namespace pelt::test
