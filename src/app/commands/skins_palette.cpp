#include "app/commands/skins_palette.h"

#include "app/app.h"
#include "app/folders.h"
#include "app/refresh.h"
#include "app/tables.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/settings_keys.h"
#include "skins/palette_file.h"

namespace pelt {

namespace {

void paletteChanged(App& app) {
  refreshListsAndViews(app);
  buildBlendTable(app);
  rebuildShadeRamps(app);
}

const char* paletteExtension(int filterIndex) {
  switch (filterIndex) {
    case 2: return ".bmp";
    case 3: return ".act";
    default: return ".pcx";
  }
}

}  // namespace

void rePalette(App& app) {
  Skin* skin = app.model.currentSkin();
  if (!skin) return;
  FileDialogRequest request{false, kPaletteFilter, "*.pcx", app.loadFolder};
  std::optional<FileDialogResult> chosen = app.platform.fileDialog(request);
  if (!chosen) return;
  rememberFolder(app, app.loadFolder, settings::kLoadDir, chosen->path);
  std::string path = chosen->path;
  if (lacksExtension(path)) path += paletteExtension(chosen->filterIndex);
  FileReadResult file = app.gameFiles.readPath(path, nullptr, paletteReadPlan);
  if (!file.ok() || !decodePaletteFile(file.bytes, skin->palette)) {
    app.platform.messageBox(kNoPaletteMessage, MessageButtons::Ok);
    return;
  }
  paletteChanged(app);
}

void resetPalette(App& app) {
  Skin* skin = app.model.currentSkin();
  if (!skin) return;
  loadDefaultPalette(app.platform, app.gameFiles, skin->palette);
  paletteChanged(app);
}

}  // namespace pelt
