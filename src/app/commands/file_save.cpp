#include "app/commands/file_save.h"

#include "app/app.h"
#include "app/commands/file_open.h"
#include "app/commands/skins.h"
#include "app/folders.h"
#include "app/unsaved_work.h"
#include "model/md2_writer.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/safe_save.h"
#include "platform/settings_keys.h"

namespace pelt {

namespace {

// The Save As dialog (proposing an archived model's name below the base
// folder), the extension, and the question for a file outside the base folder.
std::optional<std::string> askModelPath(App& app) {
  std::optional<FileDialogResult> chosen =
      askSaveFile(app, kMd2SaveFilter, "*.md2", app.saveFolder, settings::kSaveDir,
                  app.modelSource.empty() ? "" : app.currentFile);
  if (!chosen) return std::nullopt;
  std::string path = chosen->path;
  if (lacksExtension(path)) path += ".md2";
  if (!isBelowFolder(path, app.baseFolder, nullptr) &&
      app.platform.messageBox(kNotBelowBaseQuestion, MessageButtons::YesNo) != MessageAnswer::Yes)
    return std::nullopt;
  return path;
}

// The file now holds what the model is; the title loses its mark.
void modelSaved(App& app) {
  app.history.markModelSaved();
  app.platform.refillLists();
}

}  // namespace

bool saveMd2(App& app, const std::string& path) {
  Md2WriteResult file = encodeModelMd2(app.model, app.rawModelImage);
  if (!file.ok()) {
    app.platform.messageBox(file.refusal, MessageButtons::Ok);
    return false;
  }
  return saveFileOrWarn(app.platform, path, file.bytes);
}

std::optional<bool> saveCurrentModel(App& app) {
  if (app.modelSource.empty()) {
    if (!saveMd2(app, app.currentFile)) return false;
    modelSaved(app);
    return true;
  }
  std::optional<std::string> path = askModelPath(app);
  if (!path) return std::nullopt;
  if (!saveMd2(app, *path)) return false;
  modelSaved(app);
  // From now on the model is that loose file.
  app.currentFile = *path;
  app.modelSource.clear();
  app.platform.writeString(settings::kProject, settings::kCurFile, *path);
  return true;
}

void saveModelCommand(App& app) {
  if (!app.model.modelLoaded || !offerToSaveChangedSkins(app)) return;
  if (saveCurrentModel(app) == false)
    app.platform.messageBox(kSaveMeshFailedMessage, MessageButtons::Ok);
}

void saveModelAsCommand(App& app) {
  if (!app.model.modelLoaded || !offerToSaveChangedSkins(app)) return;
  std::optional<std::string> path = askModelPath(app);
  if (path && !saveMd2(app, *path))
    app.platform.messageBox(kSaveAsFailedMessage, MessageButtons::Ok);
}

}  // namespace pelt
