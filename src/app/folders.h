#pragma once
// The remembered load and save folders of the file dialogs.

#include <optional>
#include <string>

#include "platform/platform.h"

namespace pelt {

class App;

// After a dialog's OK: the folder becomes the chosen file's folder, else the
// stored setting, else the base folder; the setting is written.
void rememberFolder(App& app, std::string& folder, const char* settingsKey,
                    const std::string& chosenPath);

// A save dialog starting in `folder` (remembered under `settingsKey`).
// Nothing is ever written into an archive: for a file read from one
// (`archivedPath`, the base folder joined with its name) the dialog starts
// in the base folder proposing that name, and once it is chosen below the
// base folder the folders it needs there are made.
std::optional<FileDialogResult> askSaveFile(App& app, const char* filter, const char* initialName,
                                            std::string& folder, const char* settingsKey,
                                            const std::string& archivedPath = "");

}  // namespace pelt
