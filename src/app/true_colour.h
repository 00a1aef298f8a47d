#pragma once
// True-colour pictures read where a skin is wanted: brought to the current
// skin's palette (else the default one), after asking how, or quietly by
// nearest colour for the skins a model names.

#include <string>
#include <vector>

#include "skins/skin_image.h"

namespace pelt {

class App;

inline constexpr const char* kReducedSkinsMessage =
    "These skins were true-colour pictures and were reduced to the palette by nearest colour:";

// Asks "Reduce to the palette" (nearest colour or dithered, protected colours
// kept out or not); the status line then says how many colours the picture
// had. Declined, no skin.
TrueColourReducer askingReducer(App& app);

// Nearest colour, no question, to `palette` when given; each picture's path
// is added to `reduced`.
TrueColourReducer quietReducer(App& app, std::vector<std::string>& reduced,
                               const Palette* palette = nullptr);

// One message naming every reduced skin; none when there were none.
void reportReducedSkins(App& app, const std::vector<std::string>& reduced);

// "Skins/Export True Colour...": the current skin as a 24-bit PNG or TGA.
void exportTrueColour(App& app);

}  // namespace pelt
