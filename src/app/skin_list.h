#pragma once

#include <string>

namespace pelt {

class App;

inline constexpr const char* kNoMatchingSkinsMessage =
    "There were no matching skins found at that location";
inline constexpr const char* kDiscardPaintedSkinsQuestion =
    "Painted skins have not been saved.\nDiscard the changes?";

// Adds every PCX, then every BMP skin of the folder that has the model's skin
// size, as unlinked skins. Returns the number added.
int scanSkinFolder(App& app, const std::string& folder);

// Before skins are thrown away (all of them, or only the current one): asks
// when any of them was painted and not saved. True to go on.
bool confirmDiscardPaintedSkins(App& app, bool currentOnly = false);

}  // namespace pelt
