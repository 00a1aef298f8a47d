#pragma once
// Re-Palette and the tool-bar palette reset.

#include "app/common_texts.h"

namespace pelt {

class App;

inline constexpr const char* kNoPaletteMessage =
    "There was an error loading the specified file,\nit does no appear to contain a palette";

// Gives the current skin the palette of a file; pixel indices stay.
void rePalette(App& app);
// Gives the current skin the default palette.
void resetPalette(App& app);

}  // namespace pelt
