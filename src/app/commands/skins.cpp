#include "app/commands/skins.h"

#include <utility>

#include "app/app.h"
#include "app/folders.h"
#include "app/refresh.h"
#include "app/skin_list.h"
#include "app/tables.h"
#include "app/true_colour.h"
#include "app/unsaved_work.h"
#include "platform/file_filter.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/settings_keys.h"
#include "skins/palette_file.h"
#include "skins/skin_image.h"

namespace pelt {

namespace {

constexpr std::uint8_t kNewCheckerSame = 64;
constexpr std::uint8_t kNewCheckerOther = 192;
constexpr int kBackgroundSlot = 7;

void skinChanged(App& app) {
  buildBlendTable(app);
  rebuildShadeRamps(app);
}

std::unique_ptr<Skin> blankSkin(const App& app, const char* name) {
  auto skin = std::make_unique<Skin>();
  skin->name = name;
  skin->unlinked = kSkinUnlinked;
  skin->fileFormat = kFormatPcx;
  allocateSkin(*skin, app.model.skinWidth, app.model.skinHeight);
  return skin;
}

void drawMeshOutline(App& app, Skin& skin) {
  Rasterizer& r = app.rasterizer;
  r.setSize(skin.width, skin.height);
  r.bindPixels(skin.pixels.data());
  std::uint8_t colour = app.colorSlots[static_cast<size_t>(app.currentSlot)];
  for (int i = 0; i < app.model.triangleCount; ++i) {
    const auto& corners = app.model.triangles[static_cast<size_t>(i)].cornerSt;
    for (int k = 0; k < 3; ++k) {
      const StCoord& a = corners[static_cast<size_t>(k)];
      const StCoord& b = corners[static_cast<size_t>((k + 1) % 3)];
      ScreenLine line{a.s, a.t, b.s, b.t};
      if (r.clipLine(line)) r.drawLine(line, colour);
    }
  }
}

// The two questions of a new skin: background, then mesh outline.
void paintNewSkin(App& app, Skin& skin) {
  Platform& platform = app.platform;
  if (platform.messageBox(kCheckerboardQuestion, MessageButtons::YesNo) == MessageAnswer::Yes)
    fillCheckerboard(skin, kNewCheckerSame, kNewCheckerOther);
  else
    std::fill(skin.pixels.begin(), skin.pixels.end(), app.colorSlots[kBackgroundSlot]);
  if (platform.messageBox(kMeshOutlineQuestion, MessageButtons::YesNo) == MessageAnswer::Yes)
    drawMeshOutline(app, skin);
  skin.storedPixels = skin.pixels;
}

void appendAsCurrent(App& app, std::unique_ptr<Skin> skin) {
  app.model.skins.push_back(std::move(skin));
  app.model.currentSkinIndex = static_cast<int>(app.model.skins.size()) - 1;
  refreshListsAndViews(app);
  skinChanged(app);
}

std::string withSkinExtension(std::string path, int filterIndex, std::uint8_t format) {
  if (!lacksExtension(path)) return path;
  const std::string named = filterExtension(kSkinFilter, filterIndex);
  return path +
         (named.empty()
              ? skinFormatExtension(format == kFormatNone ? std::uint8_t{kFormatPcx} : format)
              : named);
}

// A known extension names the format; else the filter does, "All Files"
// keeping the skin's own.
std::uint8_t formatToWrite(const std::string& path, int filterIndex, std::uint8_t own) {
  if (std::uint8_t typed = skinFormatOfPath(path)) return typed;
  if (std::uint8_t filtered = skinFormatOfExtension(filterExtension(kSkinFilter, filterIndex)))
    return filtered;
  return own == kFormatNone ? std::uint8_t{kFormatPcx} : own;
}

bool writeInFormat(App& app, Skin& skin, const std::string& path, std::uint8_t format) {
  bool ok = format != kFormatNone && writeSkinInFormat(app.platform, skin, path, format);
  if (!ok) app.platform.messageBox(kSaveSkinFailedMessage, MessageButtons::Ok);
  return ok;
}

std::optional<FileDialogResult> askSkinFile(App& app, bool save, const char* filter,
                                            std::string& folder, const char* key,
                                            const Skin* skin = nullptr) {
  if (save) return askSaveFile(app, filter, "*.pcx", folder, key, skin ? skin->archivedPath() : "");
  FileDialogRequest request{save, filter, "*.pcx", folder};
  std::optional<FileDialogResult> chosen = app.platform.fileDialog(request);
  if (chosen) rememberFolder(app, folder, key, chosen->path);
  return chosen;
}

// Where a linked skin is written: its name is relative below the base folder,
// the full path elsewhere (after the user agreed). False when declined.
bool nameForLinkedPath(App& app, const std::string& path, std::string& name) {
  if (isBelowFolder(path, app.baseFolder, &name)) return true;
  if (app.platform.messageBox(kNotBelowBaseQuestion, MessageButtons::YesNo) != MessageAnswer::Yes)
    return false;
  name = path;
  return true;
}

}  // namespace

bool hasCurrentSkin(const App& app) { return app.model.currentSkin() != nullptr; }
bool canLinkSkin(const App& app) { return hasCurrentSkin(app) && !app.model.currentSkin()->isLinked(); }
bool canUnlinkSkin(const App& app) { return hasCurrentSkin(app) && app.model.currentSkin()->isLinked(); }
bool canReloadSkin(const App& app) {
  const Skin* skin = app.model.currentSkin();
  return skin && (skin->hasFile || !skin->source.empty());
}

void chooseSkin(App& app, int index) {
  if (index < 0 || index >= static_cast<int>(app.model.skins.size())) return;
  app.model.currentSkinIndex = index;
  app.platform.sendRefresh(0, 0x2B);
  skinChanged(app);
}

void newSkin(App& app) {
  if (!app.model.modelLoaded) return;
  std::unique_ptr<Skin> skin = blankSkin(app, "newskin");
  if (const Skin* current = app.model.currentSkin())
    skin->palette = current->palette;
  else
    loadDefaultPalette(app.platform, app.gameFiles, skin->palette);
  paintNewSkin(app, *skin);
  appendAsCurrent(app, std::move(skin));
}

void openSkin(App& app) {
  auto chosen = askSkinFile(app, false, kSkinFilter, app.loadFolder, settings::kLoadDir);
  if (!chosen) return;
  std::string path = withSkinExtension(chosen->path, chosen->filterIndex, kFormatNone);
  std::unique_ptr<Skin> skin = readGameSkin(app.platform, app.gameFiles, path, askingReducer(app));
  if (!skin) return;
  if (skin->width != app.model.skinWidth || skin->height != app.model.skinHeight) {
    app.platform.messageBox(kWrongDimensionsMessage, MessageButtons::Ok);
    return;
  }
  skin->name = skin->filePath;
  skin->unlinked |= kSkinUnlinked;
  appendAsCurrent(app, std::move(skin));
}

void closeSkin(App& app) {
  Model& model = app.model;
  if (!model.currentSkin()) return;
  if (!settleUnsavedWork(app, UnsavedScope::CurrentSkin)) return;
  model.skins.erase(model.skins.begin() + model.currentSkinIndex);
  int count = static_cast<int>(model.skins.size());
  if (count == 0)
    model.currentSkinIndex = -1;
  else if (model.currentSkinIndex == count)
    model.currentSkinIndex = count - 1;
  refreshListsAndViews(app);
  skinChanged(app);
}

void duplicateSkin(App& app) {
  std::unique_ptr<Skin> skin = blankSkin(app, "dupskin");
  if (const Skin* current = app.model.currentSkin()) {
    skin->palette = current->palette;
    skin->pixels = current->pixels;
    skin->storedPixels = current->storedPixels;
  } else {
    if (!app.model.modelLoaded) return;
    skin->palette = greyRampPalette();
    app.platform.messageBox(kNothingToDuplicateMessage, MessageButtons::Ok);
    paintNewSkin(app, *skin);
  }
  appendAsCurrent(app, std::move(skin));
}

void saveSkin(App& app) {
  if (Skin* skin = app.model.currentSkin()) saveSkinOf(app, *skin);
}

bool saveSkinOf(App& app, Skin& skin) {
  if (!skin.hasFile || skin.reducedFromTrueColour) {
    // Save As asks about the current skin.
    auto& skins = app.model.skins;
    for (size_t i = 0; i < skins.size(); ++i)
      if (skins[i].get() == &skin) app.model.currentSkinIndex = static_cast<int>(i);
    if (app.model.currentSkin() != &skin) return false;
    saveSkinAs(app);
    return !skin.modified() && skin.hasFile;
  }
  if (!writeInFormat(app, skin, skin.filePath, skin.fileFormat)) return false;
  skin.storedPixels = skin.pixels;
  skin.markSaved();
  app.platform.refillLists();
  return true;
}

void saveSkinAs(App& app) {
  Skin* skin = app.model.currentSkin();
  if (!skin) return;
  auto chosen = askSkinFile(app, true, kSkinFilter, app.saveFolder, settings::kSaveDir, skin);
  if (!chosen) return;
  const std::uint8_t format = formatToWrite(chosen->path, chosen->filterIndex, skin->fileFormat);
  std::string path = withSkinExtension(chosen->path, chosen->filterIndex, format);
  std::string name = path;
  if (skin->isLinked() && !nameForLinkedPath(app, path, name)) return;
  if (!writeInFormat(app, *skin, path, format)) return;
  skin->filePath = path;
  skin->name = name;
  skin->readInstead.clear();
  skin->reducedFromTrueColour = false;
  skin->hasFile = true;
  skin->source.clear();
  skin->storedPixels = skin->pixels;
  skin->markSaved();
  app.platform.refillLists();
}

void linkSkin(App& app) {
  if (!canLinkSkin(app)) return;
  Skin* skin = app.model.currentSkin();
  auto chosen = askSkinFile(app, true, kLinkFilter, app.saveFolder, settings::kSaveDir, skin);
  if (!chosen) return;
  std::string path = chosen->path;
  if (lacksExtension(path)) {
    const std::string named = filterExtension(kLinkFilter, chosen->filterIndex);
    path += named.empty() ? ".pcx" : named;
  }
  std::string name;
  if (!nameForLinkedPath(app, path, name)) return;
  const std::uint8_t typed = skinFormatOfPath(path);
  if (!writeInFormat(app, *skin, path, typed == kFormatNone ? std::uint8_t{kFormatPcx} : typed))
    return;
  skin->filePath = path;
  skin->name = name;
  skin->readInstead.clear();
  skin->reducedFromTrueColour = false;
  skin->hasFile = true;
  skin->source.clear();
  skin->unlinked &= ~kSkinUnlinked;
  skin->storedPixels = skin->pixels;
  skin->markSaved();
  refreshListsAndViews(app);
}

void unlinkSkin(App& app) {
  if (!canUnlinkSkin(app)) return;
  Skin* skin = app.model.currentSkin();
  skin->unlinked |= kSkinUnlinked;
  skin->name = skin->filePath;
  refreshListsAndViews(app);
}

void moveSkinUp(App& app) {
  Model& model = app.model;
  if (model.currentSkinIndex <= 0 || !model.currentSkin()) return;
  auto i = static_cast<size_t>(model.currentSkinIndex);
  std::swap(model.skins[i], model.skins[i - 1]);
  --model.currentSkinIndex;
  refreshListsAndViews(app);
  buildBlendTable(app);
}

void moveSkinDown(App& app) {
  Model& model = app.model;
  if (!model.currentSkin() || model.currentSkinIndex + 1 >= static_cast<int>(model.skins.size())) return;
  auto i = static_cast<size_t>(model.currentSkinIndex);
  std::swap(model.skins[i], model.skins[i + 1]);
  ++model.currentSkinIndex;
  refreshListsAndViews(app);
  buildBlendTable(app);
}

void storeSkin(App& app) {
  if (Skin* skin = app.model.currentSkin()) skin->storedPixels = skin->pixels;
}

void revertSkin(App& app) {
  Skin* skin = app.model.currentSkin();
  if (!skin) return;
  skin->pixels = skin->storedPixels;
  app.platform.sendRefresh(0, 0x2B);
}

void reloadSkin(App& app) {
  if (!canReloadSkin(app)) return;
  if (!settleUnsavedWork(app, UnsavedScope::CurrentSkin)) return;
  Skin* skin = app.model.currentSkin();
  std::vector<std::string> reduced;
  std::unique_ptr<Skin> fresh =
      readGameSkin(app.platform, app.gameFiles, skin->filePath, quietReducer(app, reduced));
  if (!fresh) {
    app.platform.messageBox(kReloadFailedMessage, MessageButtons::Ok);
    return;
  }
  if (fresh->width != skin->width || fresh->height != skin->height) {
    app.platform.messageBox(kReloadResizedMessage, MessageButtons::Ok);
    return;
  }
  skin->pixels = std::move(fresh->pixels);
  skin->storedPixels = std::move(fresh->storedPixels);
  // A state of its own that is the file's, even when the skin was unmodified.
  skin->revision = skin->savedRevision = app.history.newRevision();
  refreshListsAndViews(app);
  skinChanged(app);
}

void scanSkinFolderCommand(App& app) {
  std::optional<std::string> folder = app.platform.browseFolder(kBrowseFolderTitle);
  if (!folder || !app.platform.canEnterFolder(*folder)) {
    app.platform.messageBox(kFolderNotValidMessage, MessageButtons::Ok);
    return;
  }
  scanSkinFolder(app, *folder);
}

}  // namespace pelt
