#pragma once
// Palette files (ACT, or the palette of a PCX, BMP, PNG or TGA) and the default
// palette and light table named by the "Palette Path" preference.

#include <memory>
#include <span>
#include <string>

#include "platform/game_files.h"
#include "skins/skin.h"

namespace pelt {

class Platform;

// Fills `palette` from the bytes of an ACT, BMP, PCX, PNG or TGA file. On false the
// palette is unchanged.
bool decodePaletteFile(std::span<const std::uint8_t> bytes, Palette& palette);
// The part of a palette file its decoder uses.
ReadPlan paletteReadPlan(std::span<const std::uint8_t> start);

// "Palette Path" (unset: the game's pics/colormap.pcx, from its archives if
// need be), or the grey ramp when it cannot be read.
void loadDefaultPalette(Platform& platform, GameFileSystem& files, Palette& palette);

// The same image: its rows are the light levels.
std::unique_ptr<Skin> loadDefaultColormap(Platform& platform, GameFileSystem& files);

}  // namespace pelt
