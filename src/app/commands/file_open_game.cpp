#include "app/commands/file_open_game.h"

#include <sstream>

#include "app/app.h"
#include "app/commands/file_open.h"
#include "app/refresh.h"
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
  const std::string text = lowerCased(row.name + " " + row.source);
  std::istringstream words(lowerCased(filter));
  for (std::string word; words >> word;)
    if (text.find(word) == std::string::npos) return false;
  return true;
}

void openFromGameCommand(App& app) {
  OpenFromGameValues values = gameModelChoices(app);
  if (values.models.empty()) {
    app.platform.messageBox(kNoGameModelsMessage, MessageButtons::Ok);
    return;
  }
  if (!app.platform.openFromGameDialog(values) || values.chosen.empty()) return;
  openModelFile(app, joinPath(app.baseFolder, values.chosen));
}

}  // namespace pelt
