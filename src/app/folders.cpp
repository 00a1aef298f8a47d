#include "app/folders.h"

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

}  // namespace pelt
