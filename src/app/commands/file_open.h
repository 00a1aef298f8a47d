#pragma once
// Loading an MD2 into the application and the File/Open command.

#include <string>

#include "platform/file_io.h"

namespace pelt {

class App;

inline constexpr const char* kLoadErrorMessage = "There was an error loading the specified file!";
inline constexpr const char* kMissingSkinMessage =
    "External Skin does not exist....creating temporary skin.";
inline constexpr const char* kWrongSkinSizeMessage =
    "Skin is of the wrong size....creating temporary skin.";
inline constexpr const char* kNoInternalSkinsQuestion =
    "This MD2 has no internal skins, would you like to load from it's base folder?";
inline constexpr const char* kSaveMeshFailedMessage = "An error occured while trying to save =[";
inline constexpr const char* kMd2Filter = "Quake2 Model (*.md2)|*.md2|All Files (*.*)|*.*||";

// Replaces the model with the file's contents. On failure the current model
// is untouched and the user has been told why.
bool loadMd2(App& app, const std::string& path);
// The same for a file already read; `path` names it (skin folder scans).
bool loadMd2Bytes(App& app, const std::string& path, Bytes bytes);

// File/Open: the unsaved-work question, dialog, remembered folder, then
// openModelFile (which asks nothing: its callers have).
void openModelCommand(App& app);

// Save question, load, "CurFile", common refresh. `path` may name a model in
// the game's archives (base folder + "/" + its name).
void openModelFile(App& app, const std::string& path);

// A relative model path is looked up in the game's files first; a path
// below the base folder that is no file may name an archived one.
std::string resolveModelPath(App& app, const std::string& path);

}  // namespace pelt
