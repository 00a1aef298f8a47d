#include "app/skin_list.h"

#include "app/app.h"
#include "app/refresh.h"
#include "app/true_colour.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "skins/skin_image.h"

namespace pelt {

int scanSkinFolder(App& app, const std::string& folder) {
  Model& model = app.model;
  int added = 0;
  std::vector<std::string> reduced;
  for (const char* extension : kSkinExtensions) {
    std::vector<GameFile> files = app.gameFiles.filesIn(folder, extension);
    for (const GameFile& file : files) {
      std::unique_ptr<Skin> skin =
          readGameSkin(app.platform, app.gameFiles, file, quietReducer(app, reduced));
      if (!skin || skin->width != model.skinWidth || skin->height != model.skinHeight) continue;
      skin->name = skin->filePath;
      skin->unlinked |= kSkinUnlinked;
      model.skins.push_back(std::move(skin));
      ++added;
    }
    if (!files.empty()) {
      // A list that was empty gets a current skin.
      if (model.currentSkinIndex < 0 && !model.skins.empty()) model.currentSkinIndex = 0;
      refreshListsAndViews(app);
    }
  }
  reportReducedSkins(app, reduced);
  if (added == 0) app.platform.messageBox(kNoMatchingSkinsMessage, MessageButtons::Ok);
  return added;
}

}  // namespace pelt
