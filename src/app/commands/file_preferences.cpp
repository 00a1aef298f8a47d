#include "app/commands/file_preferences.h"

#include <algorithm>

#include "app/app.h"
#include "app/commands/options_maps.h"
#include "app/main_frame.h"
#include "app/undo_steps.h"
#include "platform/file_filter.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/settings_keys.h"

namespace pelt {

namespace {

std::optional<std::string> chooseMapFolder(Platform& platform, const char* title,
                                           const char* key) {
  std::optional<std::string> folder = platform.browseFolder(title);
  if (!folder || !platform.canEnterFolder(*folder)) {
    platform.messageBox(kFolderNotValidMessage, MessageButtons::Ok);
    return std::nullopt;
  }
  platform.messageBox(kNextRunMessage, MessageButtons::Ok);
  platform.writeString(settings::kPreferences, key, *folder);
  return folder;
}

}  // namespace

PreferencesValues readPreferences(App& app) {
  using namespace settings;
  Platform& platform = app.platform;
  PreferencesValues v;
  v.dirScanPrompt = platform.readInt(kPreferences, kDirScanPrompt, 2);
  v.skipIntro = platform.readInt(kPreferences, kSkipIntro, 0) != 0;
  v.quickExit = platform.readInt(kPreferences, kQuickExit, 0) != 0;
  v.paletteOnTop = platform.readInt(kPreferences, kPalOnTop, 0) != 0;
  v.palettePath =
      platform.readString(kPreferences, kPalettePath, joinPath(app.baseFolder, kGameColormapName));
  v.phongPath =
      platform.readString(kPreferences, kPhongPath, installedMapFolder(app, MapKind::Phong));
  v.envPath =
      platform.readString(kPreferences, kEnvPath, installedMapFolder(app, MapKind::Environment));
  v.fitOnOpen = platform.readInt(kPreferences, kFitOnOpen, 1) != 0;
  v.framesPerSecond =
      std::clamp(platform.readInt(kPreferences, kFramesPerSecond, kDefaultFramesPerSecond),
                 kMinFramesPerSecond, kMaxFramesPerSecond);
  v.interpolateFrames = platform.readInt(kPreferences, kInterpolateFrames, 1) != 0;
  v.undoMemoryMb = std::clamp(platform.readInt(kPreferences, kUndoMemory, kDefaultUndoMemoryMb),
                              kMinUndoMemoryMb, kMaxUndoMemoryMb);
  v.ctrlZUndoes = platform.readInt(kPreferences, kCtrlZUndoes, 0) != 0;
  return v;
}

std::optional<std::string> choosePalettePath(Platform& platform) {
  std::string start =
      platform.readString(settings::kProject, settings::kLoadDir, settings::kUnknown);
  FileDialogRequest request{false, kPaletteFilter, "*.pcx", start};
  std::optional<FileDialogResult> chosen = platform.fileDialog(request);
  if (!chosen) return std::nullopt;
  std::string path = chosen->path;
  if (lacksExtension(path)) {
    const std::string named = filterExtension(kPaletteFilter, chosen->filterIndex);
    path += named.empty() ? ".pcx" : named;
  }
  return path;
}

std::optional<std::string> choosePhongFolder(Platform& platform) {
  return chooseMapFolder(platform, kPhongFolderTitle, settings::kPhongPath);
}

std::optional<std::string> chooseEnvFolder(Platform& platform) {
  return chooseMapFolder(platform, kEnvFolderTitle, settings::kEnvPath);
}

void preferencesCommand(MainFrame& frame) {
  using namespace settings;
  Platform& platform = frame.app.platform;
  PreferencesValues values = readPreferences(frame.app);
  if (!platform.preferencesDialog(values)) return;
  platform.writeInt(kPreferences, kDirScanPrompt, values.dirScanPrompt);
  platform.writeInt(kPreferences, kSkipIntro, values.skipIntro ? 1 : 0);
  platform.writeInt(kPreferences, kQuickExit, values.quickExit ? 1 : 0);
  platform.writeInt(kPreferences, kPalOnTop, values.paletteOnTop ? 1 : 0);
  platform.writeString(kPreferences, kPalettePath, values.palettePath);
  platform.writeInt(kPreferences, kFitOnOpen, values.fitOnOpen ? 1 : 0);
  platform.writeInt(kPreferences, kFramesPerSecond,
                    std::clamp(values.framesPerSecond, kMinFramesPerSecond, kMaxFramesPerSecond));
  platform.writeInt(kPreferences, kInterpolateFrames, values.interpolateFrames ? 1 : 0);
  platform.writeInt(kPreferences, kUndoMemory,
                    std::clamp(values.undoMemoryMb, kMinUndoMemoryMb, kMaxUndoMemoryMb));
  platform.writeInt(kPreferences, kCtrlZUndoes, values.ctrlZUndoes ? 1 : 0);
  applyUndoBudget(frame.app);
  frame.app.paletteOnTop = values.paletteOnTop;
  frame.relayout();
}

void baseFolderCommand(App& app) {
  Platform& platform = app.platform;
  std::optional<std::string> folder = platform.browseFolder(kBaseFolderTitle);
  if (!folder || !platform.canEnterFolder(*folder)) {
    platform.messageBox(kFolderNotValidMessage, MessageButtons::Ok);
    return;
  }
  platform.writeString(settings::kProject, settings::kBaseDir, *folder);
  platform.messageBox(kRestartMessage, MessageButtons::Ok);
}

}  // namespace pelt
