#pragma once
// RLE8 BMP files as other tools write them, for reader tests and fuzz seeds.

#include <cstdint>

#include "platform/file_io.h"
#include "skins/skin.h"

namespace pelt::test {

// A BMP file with compression 1 around `stream`, the RLE8 pixel data as
// given, with the skin's size and palette.
Bytes bmpRle8File(const Skin& skin, const Bytes& stream);

// The skin's pixels as RLE8 data: runs of two or more, literal groups of
// three or more (padded to even length), single pixels as runs of one, an
// end of line after every row but the last, which ends the bitmap.
Bytes encodeRle8(const Skin& skin);

}  // namespace pelt::test
