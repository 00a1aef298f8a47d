#pragma once
// The Preferences dialog's settings and its "..." buttons, and the Base
// Folder command.

#include <optional>
#include <string>

#include "app/common_texts.h"
#include "platform/dialog_values.h"

namespace pelt {

class App;
class MainFrame;
class Platform;

inline constexpr const char* kPhongFolderTitle = "Select the folder to be scanned for Phong Maps";
inline constexpr const char* kEnvFolderTitle =
    "Select the folder to be scanned for Environment Maps";
inline constexpr const char* kNextRunMessage =
    "This setting will take affect the next time you run Pelt.";
inline constexpr const char* kRestartMessage =
    "You must restart Pelt before the change will take effect.";

// The seven values as the dialog shows them, read afresh from the settings;
// an unset colormap shows the one below the base folder, an unset map folder
// the program's own.
PreferencesValues readPreferences(App& app);

// The palette "..." button: a path for the text field (stored on OK only).
std::optional<std::string> choosePalettePath(Platform& platform);

// The phong and environment "..." buttons store their folder at once.
std::optional<std::string> choosePhongFolder(Platform& platform);
std::optional<std::string> chooseEnvFolder(Platform& platform);

// Runs the dialog; OK writes the settings and lays the window out again.
void preferencesCommand(MainFrame& frame);

// Stores a new "BaseDir" for the next start.
void baseFolderCommand(App& app);

}  // namespace pelt
