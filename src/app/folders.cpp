#include "app/folders.h"

#include <filesystem>

#include "app/app.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/settings_keys.h"

namespace pelt {

void rememberFolder(App& app, std::string& folder, const char* settingsKey,
                    const std::string& chosenPath) {
  Platform& platform = app.platform;
  folder = folderOf(chosenPath);
  if (!platform.canEnterFolder(folder)) {
    folder = platform.readString(settings::kProject, settingsKey, settings::kUnknown);
    if (folder == settings::kUnknown || !platform.canEnterFolder(folder)) folder = app.baseFolder;
  }
  platform.writeString(settings::kProject, settingsKey, folder);
}

std::optional<FileDialogResult> askSaveFile(App& app, const char* filter, const char* initialName,
                                            std::string& folder, const char* settingsKey,
                                            const std::string& archivedPath) {
  std::string relative;
  const bool archived = isBelowFolder(archivedPath, app.baseFolder, &relative);
  FileDialogRequest request{true, filter, archived ? relative : initialName,
                            archived ? app.baseFolder : folder};
  std::optional<FileDialogResult> chosen = app.platform.fileDialog(request);
  if (!chosen) return std::nullopt;
  if (archived && isBelowFolder(chosen->path, app.baseFolder, nullptr)) {
    std::error_code ignored;  // a folder that cannot be made fails the write, which says why
    std::filesystem::create_directories(folderOf(chosen->path), ignored);
  }
  rememberFolder(app, folder, settingsKey, chosen->path);
  return chosen;
}

}  // namespace pelt
