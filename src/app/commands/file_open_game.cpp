#include "app/commands/file_open_game.h"

#include "app/app.h"
#include "app/commands/file_open.h"
#include "app/refresh.h"
#include "app/unsaved_work.h"
#include "platform/game_files.h"
#include "platform/paths.h"
#include "platform/platform.h"

namespace pelt {

OpenFromGameValues gameModelChoices(App& app) {
  OpenFromGameValues values;
  for (const GameFileListing& file : app.gameFiles.list()) {
    if (lowerCased(file.name).ends_with(".md2"))
      values.models.push_back({file.name, sourceText(file)});
  }
  return values;
}

bool matchesModelFilter(const GameModelRow& row, const std::string& filter) {
  return containsEveryWord(row.name + " " + row.source, filter);
}

void openFromGameCommand(App& app) {
  OpenFromGameValues values = gameModelChoices(app);
  if (values.models.empty()) {
    app.platform.messageBox(kNoGameModelsMessage, MessageButtons::Ok);
    return;
  }
  if (!settleUnsavedWork(app)) return;
  if (!app.platform.openFromGameDialog(values) || values.chosen.empty()) return;
  openModelFile(app, joinPath(app.baseFolder, values.chosen));
}

}  // namespace pelt
