#pragma once
// The remembered load and save folders of the file dialogs.

#include <string>

namespace pelt {

class App;

// After a dialog's OK: the folder becomes the chosen file's folder, else the
// stored setting, else the base folder; the setting is written.
void rememberFolder(App& app, std::string& folder, const char* settingsKey,
                    const std::string& chosenPath);

}  // namespace pelt
