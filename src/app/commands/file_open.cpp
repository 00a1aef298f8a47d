#include "app/commands/file_open.h"

#include "app/app.h"
#include "app/commands/file_save.h"
#include "app/folders.h"
#include "app/refresh.h"
#include "app/skin_list.h"
#include "app/tables.h"
#include "app/true_colour.h"
#include "app/unsaved_work.h"
#include "model/md2_format.h"
#include "model/mirror_lookup.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/settings_keys.h"
#include "skins/palette_file.h"
#include "skins/skin_image.h"

namespace pelt {

namespace {

// The stand-in's greys: a quarter and three quarters of full brightness,
// apart from each other and from a black background.
constexpr int kTempCheckerDarkGrey = 64;
constexpr int kTempCheckerLightGrey = 191;

// What one load shares among the skins it names: folder listings for the
// case-insensitive look-ups, and the first stand-in, which later ones copy
// instead of reading the default palette and drawing the checkerboard again.
struct NamedSkinLoad {
  FolderListings listings;
  std::unique_ptr<Skin> standIn;
  std::vector<std::string> reduced;  // true-colour skins brought to the palette
};

std::unique_ptr<Skin> temporarySkin(App& app, const std::string& name, const std::string& path,
                                    NamedSkinLoad& load) {
  if (!load.standIn) {
    load.standIn = std::make_unique<Skin>();
    Skin& first = *load.standIn;
    first.hasFile = false;
    first.fileFormat = kFormatPcx;
    allocateSkin(first, app.model.skinWidth, app.model.skinHeight);
    loadDefaultPalette(app.platform, app.gameFiles, first.palette);
    fillCheckerboard(first, nearestGrey(first.palette, kTempCheckerDarkGrey),
                     nearestGrey(first.palette, kTempCheckerLightGrey));
    first.storedPixels = first.pixels;
  }
  auto skin = std::make_unique<Skin>(*load.standIn);
  skin->name = name;
  skin->filePath = path;
  return skin;
}

// Where a skin named in a model lies: in the game's files, or, for a skin
// saved outside the base folder (its absolute name), that file when it is a
// regular file outside the system folders. Any other name that would leave
// the base folder is missing, as in the game.
std::optional<GameFile> namedSkinFile(App& app, const std::string& name,
                                      FolderListings& listings) {
  if (!name.starts_with('/')) return findSkinFile(app.gameFiles, name, &listings);
  if (fileSize(name) < 0 || isSystemFolder(name)) return std::nullopt;
  return GameFile{name, "", -1, {}};
}

std::unique_ptr<Skin> loadNamedSkin(App& app, const std::string& storedName, NamedSkinLoad& load) {
  std::string name = withForwardSlashes(storedName);
  std::optional<GameFile> file = namedSkinFile(app, name, load.listings);
  std::unique_ptr<Skin> skin =
      file ? readGameSkin(app.platform, app.gameFiles, *file, quietReducer(app, load.reduced))
           : nullptr;
  const std::string path =
      file ? file->path : name.starts_with('/') ? name : joinPath(app.baseFolder, name);
  if (!skin) {
    app.platform.messageBox(std::string(kMissingSkinMessage) + "\n" + path, MessageButtons::Ok);
    return temporarySkin(app, name, path, load);
  }
  if (skin->width != app.model.skinWidth || skin->height != app.model.skinHeight) {
    app.platform.messageBox(kWrongSkinSizeMessage, MessageButtons::Ok);
    return temporarySkin(app, name, path, load);
  }
  skin->name = name;
  if (skinFormatOfPath(file->path) != skinFormatOfPath(name))
    skin->readInstead = fileNameOf(file->path);
  return skin;
}

bool wantsFolderScan(Platform& platform) {
  int choice = platform.readInt(settings::kPreferences, settings::kDirScanPrompt, 2);
  if (choice == 1) return false;
  if (choice == 2)
    return platform.messageBox(kNoInternalSkinsQuestion, MessageButtons::YesNo) == MessageAnswer::Yes;
  return true;
}

void takeGeometry(Model& model, const Md2Data& data) {
  model.vertexCount = data.vertexCount;
  model.triangleCount = static_cast<int>(data.triangles.size());
  model.stCount = static_cast<int>(data.st.size());
  model.skinWidth = data.skinWidth;
  model.skinHeight = data.skinHeight;
  std::fill(model.stCoords.begin(), model.stCoords.end(), StCoord{});
  std::copy(data.st.begin(), data.st.end(), model.stCoords.begin());
  for (int i = 0; i < model.triangleCount; ++i) {
    ModelTriangle& tri = model.triangles[static_cast<size_t>(i)];
    tri = ModelTriangle{};
    tri.vertexIndex = data.triangles[static_cast<size_t>(i)].vertexIndex;
    tri.stIndex = data.triangles[static_cast<size_t>(i)].stIndex;
  }
  storeMapping(model);
}

}  // namespace

std::string resolveModelPath(App& app, const std::string& path) {
  std::optional<GameFile> file = app.gameFiles.locate(path);
  return file ? file->path : path;
}

bool loadMd2(App& app, const std::string& requestedPath) {
  GameFile found;
  FileReadResult file = app.gameFiles.readPath(requestedPath, &found, md2ReadPlan);
  if (!file.ok()) {
    app.platform.messageBox(kLoadErrorMessage, MessageButtons::Ok);
    return false;
  }
  if (!loadMd2Bytes(app, found.path, std::move(file.bytes))) return false;
  app.modelSource = found.source;
  return true;
}

bool loadMd2Bytes(App& app, const std::string& path, Bytes bytes) {
  Platform& platform = app.platform;
  Md2ParseResult parsed = parseMd2(bytes);
  if (!parsed.data) {
    platform.messageBox(parsed.message, MessageButtons::Ok);
    return false;
  }
  const Md2Data& data = *parsed.data;
  stopPlayback(app);  // its frames are about to go
  Model& model = app.model;
  takeGeometry(model, data);
  model.frames.clear();
  model.skins.clear();
  model.currentSkinIndex = -1;

  if (data.skinNames.empty()) {
    if (wantsFolderScan(platform)) scanSkinFolder(app, folderOf(path));
  } else {
    NamedSkinLoad load;
    for (const std::string& name : data.skinNames)
      model.skins.push_back(loadNamedSkin(app, name, load));
    reportReducedSkins(app, load.reduced);
  }
  model.currentSkinIndex = model.skins.empty() ? -1 : 0;

  for (const Md2Frame& frame : data.frames) model.frames.push_back(decodeFrame(frame));
  model.currentFrameIndex = 0;
  app.rawModelImage = std::move(bytes);
  model.modelLoaded = true;
  buildBlendTable(app);
  rebuildShadeRamps(app);
  computeFaceNormals(model);
  app.mirrorAxis = mostSymmetricAxis(model);
  ++app.modelLoads;
  app.history.startModel();
  return true;
}

void openModelCommand(App& app) {
  // Asked before the dialog, so the choice of file is never wasted.
  if (!settleUnsavedWork(app)) {
    refreshListsAndViews(app);
    return;
  }
  FileDialogRequest request{false, kMd2Filter, "*.md2", app.loadFolder};
  std::optional<FileDialogResult> chosen = app.platform.fileDialog(request);
  if (!chosen) {
    refreshListsAndViews(app);
    return;
  }
  rememberFolder(app, app.loadFolder, settings::kLoadDir, chosen->path);
  std::string path = chosen->path;
  if (lacksExtension(path)) path += ".md2";
  openModelFile(app, path);
}

void openModelFile(App& app, const std::string& path) {
  Platform& platform = app.platform;
  if (!app.gameFiles.locate(path)) {
    platform.messageBox(kLoadErrorMessage, MessageButtons::Ok);
  } else if (loadMd2(app, path)) {
    app.currentFile = path;
    platform.writeString(settings::kProject, settings::kCurFile, path);
  }
  refreshListsAndViews(app);
}

}  // namespace pelt
