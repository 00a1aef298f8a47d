#include "app/commands/file_save.h"

#include "app/app.h"
#include "app/commands/file_open.h"
#include "app/commands/skins.h"
#include "app/folders.h"
#include "model/md2_writer.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/safe_save.h"
#include "platform/settings_keys.h"

namespace pelt {

bool saveMd2(App& app, const std::string& path) {
  Md2WriteResult file = encodeModelMd2(app.model, app.rawModelImage);
  if (!file.ok()) {
    app.platform.messageBox(file.refusal, MessageButtons::Ok);
    return false;
  }
  return saveFileOrWarn(app.platform, path, file.bytes);
}

void saveModelCommand(App& app) {
  if (!app.model.modelLoaded) return;
  if (!saveMd2(app, app.currentFile))
    app.platform.messageBox(kSaveMeshFailedMessage, MessageButtons::Ok);
}

void saveModelAsCommand(App& app) {
  if (!app.model.modelLoaded) return;
  Platform& platform = app.platform;
  FileDialogRequest request{true, kMd2SaveFilter, "*.md2", app.saveFolder};
  std::optional<FileDialogResult> chosen = platform.fileDialog(request);
  if (!chosen) return;
  rememberFolder(app, app.saveFolder, settings::kSaveDir, chosen->path);
  std::string path = chosen->path;
  if (lacksExtension(path)) path += ".md2";
  if (!isBelowFolder(path, app.baseFolder, nullptr) &&
      platform.messageBox(kNotBelowBaseQuestion, MessageButtons::YesNo) != MessageAnswer::Yes)
    return;
  if (!saveMd2(app, path)) platform.messageBox(kSaveAsFailedMessage, MessageButtons::Ok);
}

}  // namespace pelt
