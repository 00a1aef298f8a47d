#pragma once
// The Skins menu: every command works on the model's skin list and ends with
// the refresh the views need.

#include <string>
#include <vector>

#include "app/common_texts.h"

namespace pelt {

class App;
struct Skin;

inline constexpr const char* kSkinFilter =
    "Mesh Skin (*.pcx)|*.pcx|Bitmap (*.bmp)|*.bmp|All Files (*.*)|*.*|PNG Image (*.png)|*.png|"
    "Targa Image (*.tga)|*.tga||";
inline constexpr const char* kLinkFilter =
    "Mesh Skin (*.pcx)|*.pcx|All Files (*.*)|*.*|PNG Image (*.png)|*.png|"
    "Targa Image (*.tga)|*.tga||";
inline constexpr const char* kCheckerboardQuestion =
    "Would you like a checkerboard background skin? (This box is temp)";
inline constexpr const char* kMeshOutlineQuestion =
    "Would you like a mesh outlined skin? (This box is temp)";
inline constexpr const char* kWrongDimensionsMessage = "Error loading skin: Incorrect dimensions!";
inline constexpr const char* kNothingToDuplicateMessage =
    "There's nothing to duplicate...making a new skin.";
inline constexpr const char* kSaveSkinFailedMessage = "An error occured while attempting to save!";
inline constexpr const char* kNotBelowBaseQuestion =
    "You are not saving below your base folder,\nare you sure you want to continue??";
inline constexpr const char* kReloadFailedMessage = "Unable to reload the skin!";
inline constexpr const char* kReloadResizedMessage =
    "Unable to reload the skin: the file on disk now has another size!";
inline constexpr const char* kBrowseFolderTitle = "Select the folder you wish to browse...";

// Choosing an entry of the skin list.
void chooseSkin(App& app, int index);

void newSkin(App& app);
void openSkin(App& app);
void closeSkin(App& app);
void duplicateSkin(App& app);
void saveSkin(App& app);
// Writes the skin to its file, or asks where (as Save As) when it has none.
bool saveSkinOf(App& app, Skin& skin);
void saveSkinAs(App& app);
void linkSkin(App& app);
void unlinkSkin(App& app);
void moveSkinUp(App& app);
void moveSkinDown(App& app);
void storeSkin(App& app);
void revertSkin(App& app);
void reloadSkin(App& app);
void scanSkinFolderCommand(App& app);

bool hasCurrentSkin(const App& app);
bool canLinkSkin(const App& app);
bool canUnlinkSkin(const App& app);
bool canReloadSkin(const App& app);

}  // namespace pelt
