#include "app/unsaved_work.h"

#include <vector>

#include "app/app.h"
#include "app/commands/file_open.h"
#include "app/commands/file_save.h"
#include "app/commands/skins.h"
#include "platform/paths.h"
#include "platform/platform.h"

namespace pelt {

namespace {

std::vector<Skin*> modifiedSkins(const App& app, UnsavedScope scope, bool linkedOnly = false) {
  std::vector<Skin*> skins;
  if (scope == UnsavedScope::CurrentSkin) {
    if (Skin* skin = app.model.currentSkin(); skin && skin->modified()) skins.push_back(skin);
    return skins;
  }
  for (const auto& skin : app.model.skins)
    if (skin->modified() && (!linkedOnly || skin->isLinked())) skins.push_back(skin.get());
  return skins;
}

bool modelUnsaved(const App& app, UnsavedScope scope) {
  return scope == UnsavedScope::Everything && app.model.modelLoaded && app.history.modelModified();
}

bool saveSkins(App& app, const std::vector<Skin*>& skins) {
  for (Skin* skin : skins)
    if (!saveSkinOf(app, *skin)) return false;
  return true;
}

}  // namespace

bool hasUnsavedWork(const App& app, UnsavedScope scope) {
  return modelUnsaved(app, scope) || !modifiedSkins(app, scope).empty();
}

bool settleUnsavedWork(App& app, UnsavedScope scope) {
  if (!hasUnsavedWork(app, scope)) return true;
  const std::vector<Skin*> skins = modifiedSkins(app, scope);
  std::string text = kUnsavedWorkQuestion;
  if (modelUnsaved(app, scope)) text += "\n  the model " + fileNameOf(app.currentFile);
  for (const Skin* skin : skins) text += "\n  the skin " + fileNameOf(skin->name);
  text += std::string("\n\n") + kUnsavedWorkSave;
  const MessageAnswer answer = app.platform.messageBox(text, MessageButtons::SaveDiscardCancel);
  if (answer == MessageAnswer::No) return true;
  if (answer != MessageAnswer::Yes) return false;
  if (!saveSkins(app, skins)) return false;
  if (!modelUnsaved(app, scope)) return true;
  std::optional<bool> saved = saveCurrentModel(app);
  if (saved == false) app.platform.messageBox(kSaveMeshFailedMessage, MessageButtons::Ok);
  return saved == true;
}

bool offerToSaveChangedSkins(App& app) {
  const std::vector<Skin*> skins = modifiedSkins(app, UnsavedScope::Everything, true);
  if (skins.empty()) return true;
  if (app.platform.messageBox(kSaveChangedSkinsQuestion, MessageButtons::YesNo) !=
      MessageAnswer::Yes)
    return true;
  return saveSkins(app, skins);
}

std::string windowTitle(const App& app) {
  if (!app.model.modelLoaded || app.currentFile.empty()) return "Pelt";
  return fileNameOf(app.currentFile) + "[*] - Pelt";
}

}  // namespace pelt
