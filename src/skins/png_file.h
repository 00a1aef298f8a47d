#pragma once
// PNG skins through libpng: indexed at any depth, grey, RGB and RGBA at 8
// and 16 bits, interlaced or not, are read; skins are written 8-bit indexed
// and true-colour pictures as RGB.

#include <cstdint>
#include <span>

#include "platform/file_io.h"
#include "skins/skin_image.h"

namespace pelt {

bool isPng(std::span<const std::uint8_t> start);

// The header gives the picture's size and the most its pixel data could
// take stored without compression; room for other chunks comes on top.
ReadPlan pngReadPlan(std::span<const std::uint8_t> start);

// Indexed files keep their palette and indices; grey ones become indices of
// the grey ramp; RGB and RGBA ones give a picture (alpha dropped, 16-bit
// samples cut to their high byte).
SkinDecodeResult decodePng(std::span<const std::uint8_t> bytes);

Bytes encodeSkinPng(const Skin& skin);
Bytes encodeRgbPng(const TrueColourPicture& picture);

}  // namespace pelt
