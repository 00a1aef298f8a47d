#include "app/commands/companion.h"

#include <algorithm>

#include "app/app.h"
#include "app/commands/file_open.h"
#include "app/folders.h"
#include "app/refresh.h"
#include "app/tables.h"
#include "app/true_colour.h"
#include "model/companion.h"
#include "model/md2_format.h"
#include "platform/file_filter.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"

namespace pelt {

namespace {

// The skin dialog: the chosen image when it fits, else the checkerboard.
// Cancel gives the checkerboard unless the companion keeps what it has.
void askCompanionSkin(App& app, Companion& companion, bool cancelKeepsSkin) {
  Platform& platform = app.platform;
  FileDialogRequest request{false, kCompanionSkinFilter, "*.pcx", app.loadFolder};
  std::optional<FileDialogResult> chosen = platform.fileDialog(request);
  if (!chosen) {
    if (!cancelKeepsSkin || !companion.hasSkin()) checkerCompanionSkin(companion);
    return;
  }
  rememberFolder(app, app.loadFolder, settings::kLoadDir, chosen->path);
  std::string path = chosen->path;
  if (lacksExtension(path)) {
    const std::string named = filterExtension(kCompanionSkinFilter, chosen->filterIndex);
    path += named.empty() ? ".pcx" : named;
  }
  std::unique_ptr<Skin> image = readGameSkin(platform, app.gameFiles, path, askingReducer(app));
  if (!image) {
    checkerCompanionSkin(companion);
  } else if (!takeCompanionSkin(companion, *image)) {
    platform.messageBox(kSkinDoesNotFitMessage, MessageButtons::Ok);
    checkerCompanionSkin(companion);
  }
}

}  // namespace

std::unique_ptr<Companion> loadCompanion(App& app, const std::string& requestedPath) {
  FileReadResult file = app.gameFiles.readPath(requestedPath, nullptr, md2ReadPlan);
  if (!file.ok()) return nullptr;
  std::int64_t inUse = 0;
  for (const auto& open : app.companions.items) inUse += companionMemoryBytes(*open);
  CompanionParseResult parsed =
      parseCompanion(file.bytes, std::max<std::int64_t>(kCompanionsBudgetBytes - inUse, 0));
  if (!parsed.companion) {
    app.platform.messageBox(parsed.message, MessageButtons::Ok);
    return nullptr;
  }
  Companion& companion = *parsed.companion;
  if (!companion.firstSkinName.empty()) {
    // A missing or ill-fitting skin is not an error: Open offers the dialog.
    std::optional<GameFile> skinFile = findSkinFile(app.gameFiles, companion.firstSkinName);
    std::vector<std::string> reduced;
    if (std::unique_ptr<Skin> image = skinFile ? readGameSkin(app.platform, app.gameFiles,
                                                              *skinFile, quietReducer(app, reduced))
                                               : nullptr)
      takeCompanionSkin(companion, *image);
    reportReducedSkins(app, reduced);
  }
  return std::move(parsed.companion);
}

bool hasCurrentCompanion(const App& app) { return app.companions.current() != nullptr; }

const char* hideCompanionText(const App& app) {
  const Companion* companion = app.companions.current();
  return companion && companion->hidden ? kShowCompanionText : kHideCompanionText;
}

void openCompanion(App& app) {
  Platform& platform = app.platform;
  FileDialogRequest request{false, kMd2Filter, "*.md2", app.loadFolder};
  std::optional<FileDialogResult> chosen = platform.fileDialog(request);
  if (!chosen) return;
  rememberFolder(app, app.loadFolder, settings::kLoadDir, chosen->path);
  std::string path = chosen->path;
  if (lacksExtension(path)) path += ".md2";
  if (!app.gameFiles.locate(path)) {
    platform.messageBox(kLoadErrorMessage, MessageButtons::Ok);
    return;
  }
  std::unique_ptr<Companion> companion = loadCompanion(app, path);
  if (!companion) return;
  companion->name = path;
  if (!companion->hasSkin()) askCompanionSkin(app, *companion, false);
  CompanionList& list = app.companions;
  list.items.push_back(std::move(companion));
  list.currentIndex = static_cast<int>(list.items.size()) - 1;
  refreshListsAndViews(app);
}

void closeCompanion(App& app) {
  CompanionList& list = app.companions;
  if (!list.current()) return;
  list.items.erase(list.items.begin() + list.currentIndex);
  const int count = static_cast<int>(list.items.size());
  if (count == 0)
    list.currentIndex = -1;
  else if (list.currentIndex == count)
    list.currentIndex = count - 1;
  refreshListsAndViews(app);
}

void loadCompanionSkin(App& app) {
  Companion* companion = app.companions.current();
  if (!companion) return;
  askCompanionSkin(app, *companion, true);
  app.platform.postRefresh(0, kRefreshModelView);
}

void toggleCompanionHidden(App& app) {
  Companion* companion = app.companions.current();
  if (!companion) return;
  companion->hidden = !companion->hidden;
  refreshListsAndViews(app);
}

void offsetCompanion(App& app) {
  Companion* companion = app.companions.current();
  if (!companion) return;
  OffsetCompanionValues values{companion->offsetX, companion->offsetY, companion->offsetZ};
  if (!app.platform.offsetCompanionDialog(values)) return;
  companion->offsetX = values.x;
  companion->offsetY = values.y;
  companion->offsetZ = values.z;
  app.platform.postRefresh(0, kRefreshModelView);
}

void chooseCompanion(App& app, int index) {
  CompanionList& list = app.companions;
  if (index < 0 || index >= static_cast<int>(list.items.size())) return;
  list.currentIndex = index;
  app.platform.sendRefresh(0, 0x2B);
  buildBlendTable(app);
}

std::vector<std::string> companionEntries(const App& app) {
  std::vector<std::string> entries;
  for (const auto& companion : app.companions.items)
    entries.push_back((companion->hidden ? "* " : "  ") + companion->name);
  return entries;
}

std::vector<CompanionScene> shownCompanionScenes(App& app) {
  std::vector<CompanionScene> scenes;
  const int frame = app.model.currentFrameIndex;
  for (const auto& companion : app.companions.items) {
    if (frame < 0 || companion->hidden || companion->frameCount <= frame) continue;
    computeCompanionNormals(*companion, frame);
    scenes.push_back({companion->frames[static_cast<size_t>(frame)].vertices, companion->triangles,
                      companion->stCoords, companion->hasSkin() ? &companion->skin : nullptr,
                      Vec3{companion->offsetZ, companion->offsetX, companion->offsetY}});
    // Playing, it blends into its next frame along with the model.
    const FrameBlend& blend = app.playback.blend;
    if (blend.active() && blend.next < static_cast<int>(companion->frames.size())) {
      scenes.back().nextVertices = companion->frames[static_cast<size_t>(blend.next)].vertices;
      scenes.back().blend = blend.t;
    }
  }
  return scenes;
}

}  // namespace pelt
