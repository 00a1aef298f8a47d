#pragma once

#include <string>

namespace pelt {

class App;

inline constexpr const char* kNoMatchingSkinsMessage =
    "There were no matching skins found at that location";

// Adds every PCX, then every BMP skin of the folder that has the model's skin
// size, as unlinked skins. Returns the number added.
int scanSkinFolder(App& app, const std::string& folder);

}  // namespace pelt
