#pragma once
// TGA skins: colour-mapped, true-colour and grey images, plain or
// run-length (types 1, 2, 3, 9, 10, 11), either origin; skins are written
// colour-mapped (type 1) and true-colour pictures as 24-bit (type 2).

#include <cstdint>
#include <span>

#include "platform/file_io.h"
#include "skins/skin_image.h"

namespace pelt {

// TGA has no signature: a header whose map type and image type are ones
// this reader takes.
bool isTga(std::span<const std::uint8_t> start);

// Header, id, colour map and pixels; in a run-length file every pixel may
// be a packet of its own.
ReadPlan tgaReadPlan(std::span<const std::uint8_t> start);

SkinDecodeResult decodeTga(std::span<const std::uint8_t> bytes);

Bytes encodeSkinTga(const Skin& skin);
Bytes encodeRgbTga(const TrueColourPicture& picture);

}  // namespace pelt
