#include "app/commands/options_maps.h"

#include "app/app.h"
#include "app/commands/skins.h"
#include "app/folders.h"
#include "app/refresh.h"
#include "app/tables.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "view3d/shade_tables.h"

namespace pelt {

namespace {

struct MapTexts {
  const char* filter;
  const char* wrongSizeMessage;
  const char* noneFoundMessage;
  const char* settingsKey;
};

const MapTexts& textsFor(MapKind kind) {
  static constexpr MapTexts kPhong{
      "Greyscale Bitmap (*.bmp)|*.bmp|Greyscale PCX (*.pcx)|*.pcx|All Files (*.*)|*.*||",
      "Error loading Phong Map: Incorrect dimensions!\nPhong maps must be 256x256, and 8bit Greyscale",
      "There were no valid Phong Maps found at that location", settings::kPhongPath};
  static constexpr MapTexts kEnvironment{
      "Bitmap (*.bmp)|*.bmp|ZSoft PCX (*.pcx)|*.pcx|All Files (*.*)|*.*||",
      "Error loading Environment Map: Incorrect dimensions!\nEnvironment maps must be 256x256, and 8bit",
      "There were no valid Environment Maps at that location", settings::kEnvPath};
  return kind == MapKind::Phong ? kPhong : kEnvironment;
}

bool isMapSized(const Skin& skin) { return skin.width == kMapSize && skin.height == kMapSize; }

// Names a read map; a phong map's texels become light steps and its stored
// copy (raw texels from the reader) becomes its lit plane at once.
void adoptMap(App& app, MapKind kind, Skin& map, const std::string& path) {
  map.name = fileNameOf(path);
  map.unlinked |= kSkinUnlinked;
  if (kind != MapKind::Phong) return;
  for (auto& texel : map.pixels) texel = static_cast<std::uint8_t>(texel >> kPhongShift);
  buildLitPlane(app.shading.shadeCurve, map);
}

void selectCurrent(MapList& list) {
  bool valid = list.currentIndex >= 0 && list.currentIndex < static_cast<int>(list.maps.size());
  list.current = valid ? list.maps[static_cast<size_t>(list.currentIndex)].get() : nullptr;
}

}  // namespace

MapList& mapList(App& app, MapKind kind) {
  return kind == MapKind::Phong ? app.phongMaps : app.envMaps;
}
const MapList& mapList(const App& app, MapKind kind) {
  return kind == MapKind::Phong ? app.phongMaps : app.envMaps;
}

bool hasCurrentMap(const App& app, MapKind kind) { return mapList(app, kind).current != nullptr; }

void openMap(App& app, MapKind kind) {
  const MapTexts& texts = textsFor(kind);
  FileDialogRequest request{false, texts.filter, "*.bmp", app.loadFolder};
  std::optional<FileDialogResult> chosen = app.platform.fileDialog(request);
  if (!chosen) return;
  rememberFolder(app, app.loadFolder, settings::kLoadDir, chosen->path);
  std::string path = chosen->path;
  if (lacksExtension(path)) path += chosen->filterIndex == 2 ? ".pcx" : ".bmp";
  std::unique_ptr<Skin> map = readGameSkin(app.platform, app.gameFiles, path);
  if (!map) return;
  if (!isMapSized(*map)) {
    app.platform.messageBox(texts.wrongSizeMessage, MessageButtons::Ok);
    return;
  }
  adoptMap(app, kind, *map, path);
  MapList& list = mapList(app, kind);
  list.currentIndex = static_cast<int>(list.maps.size());
  list.current = map.get();
  list.maps.push_back(std::move(map));
  if (kind == MapKind::Phong) rebuildShadeCurve(app);
  buildBlendTable(app);
  refreshListsAndViews(app);
}

void closeMap(App& app, MapKind kind) {
  MapList& list = mapList(app, kind);
  if (!list.current) return;
  list.maps.erase(list.maps.begin() + list.currentIndex);
  int count = static_cast<int>(list.maps.size());
  if (count == 0)
    list.currentIndex = -1;
  else if (list.currentIndex == count)
    list.currentIndex = count - 1;
  selectCurrent(list);
  if (kind == MapKind::Phong) rebuildShadeCurve(app);
  buildBlendTable(app);
  refreshListsAndViews(app);
}

int scanMapFolder(App& app, MapKind kind, const std::string& folder, bool reportNone) {
  MapList& list = mapList(app, kind);
  int added = 0;
  for (const char* extension : {".pcx", ".bmp"}) {
    std::vector<GameFile> files = app.gameFiles.filesIn(folder, extension);
    for (const GameFile& file : files) {
      std::unique_ptr<Skin> map = readGameSkin(app.platform, app.gameFiles, file);
      if (!map || !isMapSized(*map)) continue;
      adoptMap(app, kind, *map, file.path);
      list.maps.push_back(std::move(map));
      ++added;
    }
    if (!files.empty()) refreshListsAndViews(app);
  }
  if (added == 0 && reportNone)
    app.platform.messageBox(textsFor(kind).noneFoundMessage, MessageButtons::Ok);
  return added;
}

void scanMapFolderCommand(App& app, MapKind kind) {
  std::optional<std::string> folder = app.platform.browseFolder(kBrowseFolderTitle);
  if (!folder || !app.platform.canEnterFolder(*folder)) {
    app.platform.messageBox(kFolderNotValidMessage, MessageButtons::Ok);
    return;
  }
  scanMapFolder(app, kind, *folder);
}

void chooseMap(App& app, MapKind kind, int index) {
  MapList& list = mapList(app, kind);
  if (index < 0 || index >= static_cast<int>(list.maps.size())) return;
  list.currentIndex = index;
  selectCurrent(list);
  if (kind == MapKind::Phong) rebuildShadeCurve(app);
  buildBlendTable(app);
  app.platform.postRefresh(0, kRefreshSkinView | kRefreshModelView | kRefreshPaletteBox);
}

void loadStartupMaps(App& app) {
  for (MapKind kind : {MapKind::Phong, MapKind::Environment}) {
    std::string folder = app.platform.readString(settings::kPreferences, textsFor(kind).settingsKey,
                                                 settings::kUnknown);
    // Never chosen: the program's own maps, and no word when there are none.
    if (folder != settings::kUnknown)
      scanMapFolder(app, kind, folder);
    else if (!app.dataFolder.empty())
      scanMapFolder(app, kind, installedMapFolder(app, kind), false);
    selectCurrent(mapList(app, kind));
  }
  refreshListsAndViews(app);
}

std::string installedMapFolder(const App& app, MapKind kind) {
  return joinPath(app.dataFolder, kind == MapKind::Phong ? kMapFolderPhongs : kMapFolderEnviros);
}

}  // namespace pelt
