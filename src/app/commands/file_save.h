#pragma once
// Writing the model: `saveMd2` and the File/Save and File/Save As commands.

#include <optional>
#include <string>

namespace pelt {

class App;

inline constexpr const char* kMd2SaveFilter = "Quake2 MD2 (*.md2)|*.md2|All Files (*.*)|*.*||";
inline constexpr const char* kSaveAsFailedMessage = "An error occured while attempting to save!";

// Writes the model to `path`, replacing the file only once the new one is
// complete. False after telling the user why.
bool saveMd2(App& app, const std::string& path);

// The file that was opened, without asking; a model read from an archive
// goes to a loose file below the base folder the user chooses, which it is
// from then on. Nothing when the user cancels.
std::optional<bool> saveCurrentModel(App& app);

// File/Save: saveCurrentModel.
void saveModelCommand(App& app);

// File/Save As: another file; later saves still go to the file that was opened.
void saveModelAsCommand(App& app);

}  // namespace pelt
