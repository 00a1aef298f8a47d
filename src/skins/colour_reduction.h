#pragma once
// True-colour pictures brought to a palette: each pixel the nearest colour
// (NearestColour's rule: smallest squared RGB distance, the lower index on
// ties), or Floyd-Steinberg dithering along serpentine rows.

#include <cstdint>
#include <memory>
#include <vector>

#include "skins/paint_rule.h"
#include "skins/skin_image.h"

namespace pelt {

struct ReduceOptions {
  bool dither = false;
  // Nonzero: that index is never chosen (unless every index is).
  ProtectedColors excluded{};
};

// One palette index per pixel, top row first.
std::vector<std::uint8_t> reduceToPalette(const TrueColourPicture& picture, const Palette& palette,
                                          const ReduceOptions& options);

// A skin of the picture's size in `palette`, its stored copy the same.
std::unique_ptr<Skin> skinFromPicture(const TrueColourPicture& picture, const Palette& palette,
                                      const ReduceOptions& options);

// How many different colours the picture has.
int countColours(const TrueColourPicture& picture);

// A skin's colours as a picture (for true-colour export).
TrueColourPicture pictureOfSkin(const Skin& skin);

}  // namespace pelt
