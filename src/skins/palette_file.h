#pragma once
// Palette files (ACT, or the palette of a PCX or BMP) and the default
// palette and light table named by the "Palette Path" preference.

#include <memory>
#include <span>
#include <string>

#include "skins/skin.h"

namespace pelt {

class Platform;

// Fills `palette` from the bytes of an ACT, BMP or PCX file. On false the
// palette is unchanged.
bool decodePaletteFile(std::span<const std::uint8_t> bytes, Palette& palette);
bool readPaletteFile(const std::string& path, Palette& palette);

// "Palette Path", or the grey ramp when it cannot be read.
void loadDefaultPalette(Platform& platform, Palette& palette);

// The image at "Palette Path": its rows are the light levels.
std::unique_ptr<Skin> loadDefaultColormap(Platform& platform);

}  // namespace pelt
