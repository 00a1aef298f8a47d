#pragma once
// The Companion menu, the companion list and what the 3D view draws of it.

#include <memory>
#include <string>
#include <vector>

#include "view3d/companion_scene.h"

namespace pelt {

class App;
struct Companion;

inline constexpr const char* kCompanionSkinFilter =
    "Mesh Skin (*.pcx)|*.pcx|All Files (*.*)|*.*|PNG Image (*.png)|*.png|"
    "Targa Image (*.tga)|*.tga||";
inline constexpr const char* kSkinDoesNotFitMessage = "This skin does not fit this model!";
inline constexpr const char* kHideCompanionText = "&Hide\tH";
inline constexpr const char* kShowCompanionText = "&Show\tH";

// Reads a companion and the first skin it names below the base folder. A
// file that cannot be read gives none without a message; a file that is not
// a sound MD2 gives none after telling the user.
std::unique_ptr<Companion> loadCompanion(App& app, const std::string& path);

void openCompanion(App& app);
void closeCompanion(App& app);
void loadCompanionSkin(App& app);
void toggleCompanionHidden(App& app);
void offsetCompanion(App& app);

bool hasCurrentCompanion(const App& app);
const char* hideCompanionText(const App& app);

// Choosing an entry of the companion list.
void chooseCompanion(App& app, int index);

// The list entries: "  " or, while hidden, "* " before the path.
std::vector<std::string> companionEntries(const App& app);

// Every companion shown at the model's frame number, with that frame's
// normals, in list order.
std::vector<CompanionScene> shownCompanionScenes(App& app);

}  // namespace pelt
