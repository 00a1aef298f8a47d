#include "app/main_frame.h"

#include <filesystem>
#include <string>

#include "app/app.h"
#include "app/commands/companion.h"
#include "app/commands/file_open.h"
#include "app/commands/file_open_game.h"
#include "app/commands/options_maps.h"
#include "app/common_texts.h"
#include "app/folders.h"
#include "app/game_folder.h"
#include "app/refresh.h"
#include "app/skin_list.h"
#include "app/tables.h"
#include "app/true_colour.h"
#include "app/undo_steps.h"
#include "app/unsaved_work.h"
#include "app/view_factory.h"
#include "colorboxes/gradient_box.h"
#include "colorboxes/palette_box.h"
#include "platform/paths.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "skinview/skin_view.h"
#include "view3d/model_view.h"

namespace pelt {

namespace {

constexpr int kDefaultSplitter = 6500;
constexpr double kSplitterScale = 0.0001;
constexpr int kSplitterUnits = 10000;
// Where ./run.sh writes the demo game folder: beside the program.
constexpr const char* kDemoGameFolder = "demo/baseq2";

std::string absolutePath(const std::string& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

std::string colorKey(size_t slot) { return "Color-" + std::to_string(slot); }

// Refresh order of the four view bits.
constexpr std::array<std::pair<int, ViewId>, 4> kRefreshOrder = {{
    {kRefreshSkinView, ViewId::SkinView},
    {kRefreshGradientBox, ViewId::GradientBox},
    {kRefreshModelView, ViewId::ModelView},
    {kRefreshPaletteBox, ViewId::PaletteBox},
}};

}  // namespace

MainFrame::MainFrame(App& app, FrameHost& host) : app(app), host_(host) {
  views_[index(ViewId::PaletteBox)] = makePaletteBox(app);
  views_[index(ViewId::GradientBox)] = makeGradientBox(app, [this] { swapDisplays(); });
  auto modelView = makeModelView(app);
  modelView_ = modelView.get();
  views_[index(ViewId::ModelView)] = std::move(modelView);
  auto skinView = makeSkinView(app);
  skinView_ = skinView.get();
  views_[index(ViewId::SkinView)] = std::move(skinView);
}

void MainFrame::setView(ViewId id, std::unique_ptr<CoreView> view) {
  if (id == ViewId::ModelView) modelView_ = dynamic_cast<ModelView*>(view.get());
  if (id == ViewId::SkinView) skinView_ = dynamic_cast<SkinView*>(view.get());
  views_[index(id)] = std::move(view);
  viewSizes_[index(id)] = kNoSize;
  Rect r = viewRect(id);
  resizeView(id, r.width(), r.height());
}

StartupResult MainFrame::start(const CommandLine& commandLine) {
  Platform& platform = app.platform;
  readColorSlots();
  applyUndoBudget(app);

  ctrlHeld_ = platform.isCtrlHeld();
  const bool skipIntro =
      ctrlHeld_ || platform.readInt(settings::kPreferences, settings::kSkipIntro, 0) == 1;
  intro_ = skipIntro ? IntroChoice::Skipped : IntroChoice::Play;

  displayColors_ = greyRampPalette();
  buildBlendTable(app);
  rebuildShadeCurve(app);

  app.paletteOnTop = platform.readInt(settings::kPreferences, settings::kPalOnTop, 0) != 0;
  app.splitRatio =
      platform.readInt(settings::kPreferences, settings::kSplitter, kDefaultSplitter) *
      kSplitterScale;
  app.renderMode = 5;
  app.viewsSwapped = false;
  relayout();

  settleBaseFolder(commandLine);
  settleWorkFolders();

  if (!ctrlHeld_) runCommandLine(commandLine.text);

  if (!app.model.modelLoaded && !ctrlHeld_) {
    std::string remembered =
        platform.readString(settings::kProject, settings::kCurFile, settings::kUnknown);
    if (remembered != settings::kUnknown && loadMd2(app, remembered)) app.currentFile = remembered;
  }

  if (!app.model.modelLoaded) openFirstModel();

  buildBlendTable(app);
  loadStartupMaps(app);  // ends with the common refresh
  fitNewModel();
  return app.model.modelLoaded ? StartupResult::Ready : StartupResult::NoModel;
}

void MainFrame::readColorSlots() {
  for (size_t i = 0; i < app.colorSlots.size(); ++i) {
    int value = app.platform.readInt(settings::kColors, colorKey(i), app.colorSlots[i]);
    app.colorSlots[i] = static_cast<std::uint8_t>(value);
  }
}

void MainFrame::settleBaseFolder(const CommandLine& commandLine) {
  Platform& platform = app.platform;
  const std::optional<std::string>& requested = commandLine.baseFolder;
  if (requested && platform.canEnterFolder(*requested)) {
    app.baseFolder = absolutePath(*requested);
    while (app.baseFolder.size() > 1 && app.baseFolder.back() == '/') app.baseFolder.pop_back();
    return;
  }
  // A folder asked for by name is not dropped silently; the usual rules follow.
  if (requested) platform.messageBox(kFolderNotValidMessage, MessageButtons::Ok);
  app.baseFolder = platform.readString(settings::kProject, settings::kBaseDir, settings::kUnknown);
  if (app.baseFolder != settings::kUnknown && platform.canEnterFolder(app.baseFolder)) return;
  if (std::optional<std::string> guessed = guessedBaseFolder(commandLine.text)) {
    app.baseFolder = *guessed;
    baseFolderGuessed_ = true;
    return;
  }
  if (!askBaseFolder(commandLine.programFolder)) {
    app.baseFolder.clear();
    platform.messageBox(kNoBaseFolderMessage, MessageButtons::Ok);
  }
}

// The demo game folder beside the program first, then the folder browser
// until a usable folder or Cancel (false).
bool MainFrame::askBaseFolder(const std::string& programFolder) {
  Platform& platform = app.platform;
  const std::string demo = joinPath(programFolder, kDemoGameFolder);
  if (!programFolder.empty() && platform.canEnterFolder(demo) &&
      platform.messageBox(kUseDemoFolderQuestion + demo, MessageButtons::YesNo) ==
          MessageAnswer::Yes) {
    app.baseFolder = demo;
    return true;
  }
  for (;;) {
    std::optional<std::string> chosen = platform.browseFolder(kBaseFolderTitle);
    if (!chosen) return false;
    if (platform.canEnterFolder(*chosen)) {
      app.baseFolder = *chosen;
      return true;
    }
    platform.messageBox(kFolderNotValidChooseAnother, MessageButtons::Ok);
  }
}

std::optional<std::string> MainFrame::guessedBaseFolder(const std::string& commandLine) const {
  // With Ctrl held the command line is ignored, so it cannot name the game.
  std::vector<std::string> tokens = md2Tokens(commandLine);
  if (ctrlHeld_ || tokens.empty()) return std::nullopt;
  std::optional<std::string> folder = baseFolderAbove(absolutePath(withoutQuotes(tokens[0])));
  if (!folder || !app.platform.canEnterFolder(*folder)) return std::nullopt;
  return folder;
}

void MainFrame::settleWorkFolders() {
  Platform& platform = app.platform;
  auto settle = [&](std::string& folder, const char* key) {
    folder = platform.readString(settings::kProject, key, settings::kUnknown);
    if (folder == settings::kUnknown || !platform.canEnterFolder(folder)) folder = app.baseFolder;
  };
  settle(app.loadFolder, settings::kLoadDir);
  settle(app.saveFolder, settings::kSaveDir);
  if (!baseFolderGuessed_ && !app.baseFolder.empty())
    platform.writeString(settings::kProject, settings::kBaseDir, app.baseFolder);
  platform.writeString(settings::kProject, settings::kLoadDir, app.loadFolder);
  platform.writeString(settings::kProject, settings::kSaveDir, app.saveFolder);
}

void MainFrame::runCommandLine(const std::string& text) {
  Platform& platform = app.platform;
  Model& model = app.model;
  std::vector<std::string> tokens = md2Tokens(text);
  for (size_t i = 0; i < tokens.size(); ++i) {
    const std::string path = withoutQuotes(tokens[i]);
    if (i == 0) {
      // Remembered as a full path so "CurFile" works from any folder.
      const std::string modelPath = absolutePath(resolveModelPath(app, path));
      model.modelLoaded = false;
      if (!loadMd2(app, modelPath)) {
        platform.messageBox(kCommandLineModelError, MessageButtons::Ok);
        return;
      }
      app.currentFile = modelPath;
      platform.writeString(settings::kProject, settings::kCurFile, modelPath);
      continue;
    }
    std::vector<std::string> reduced;
    std::unique_ptr<Skin> skin =
        readGameSkin(platform, app.gameFiles, path, quietReducer(app, reduced));
    reportReducedSkins(app, reduced);
    if (!skin) {
      platform.messageBox(kCommandLineSkinError, MessageButtons::Ok);
      return;
    }
    if (skin->width != model.skinWidth || skin->height != model.skinHeight) {
      platform.messageBox(kCommandLineSkinSizeError, MessageButtons::Ok);
      return;
    }
    skin->name = skin->filePath;
    skin->unlinked |= kSkinUnlinked;
    model.skins.push_back(std::move(skin));
    model.currentSkinIndex = static_cast<int>(model.skins.size()) - 1;
    refreshListsAndViews(app);
  }
}

bool MainFrame::openFirstModel() {
  Platform& platform = app.platform;
  FileDialogRequest request{false, kMd2Filter, "*.md2", app.loadFolder};
  std::optional<FileDialogResult> chosen = platform.fileDialog(request);
  std::string path;
  if (chosen) {
    rememberFolder(app, app.loadFolder, settings::kLoadDir, chosen->path);
    path = chosen->path;
    if (lacksExtension(path)) path += ".md2";
  } else {
    // A game whose models all lie in its archives offers them before the
    // program gives up.
    OpenFromGameValues values = gameModelChoices(app);
    if (values.models.empty() || !platform.openFromGameDialog(values)) return false;
    path = joinPath(app.baseFolder, values.chosen);
  }
  if (!loadMd2(app, path)) return false;
  app.currentFile = path;
  platform.writeString(settings::kProject, settings::kCurFile, path);
  return true;
}

void MainFrame::setClientSize(int width, int height, int listsBottom) {
  width_ = width;
  height_ = height;
  listsBottom_ = listsBottom;
  relayout();
}

void MainFrame::relayout() {
  layout_ = computeFrameLayout(width_, height_, listsBottom_, app.splitRatio, app.paletteOnTop);
  host_.layoutChanged();
}

Rect MainFrame::viewRect(ViewId id) const {
  switch (id) {
    case ViewId::SkinView: return app.viewsSwapped ? layout_.rightPane : layout_.leftPane;
    case ViewId::ModelView: return app.viewsSwapped ? layout_.leftPane : layout_.rightPane;
    case ViewId::GradientBox: return layout_.gradientStrip;
    case ViewId::PaletteBox: return layout_.paletteStrip;
  }
  return {};
}

void MainFrame::resizeView(ViewId id, int width, int height) {
  // Every relayout moves every window; only a real size change redraws.
  std::pair<int, int>& size = viewSizes_[index(id)];
  if (size == std::pair{width, height}) return;
  size = {width, height};
  CoreView& v = view(id);
  v.resize(width, height);
  v.render(0, 0);
}

void MainFrame::refresh(int level, int mask) {
  const int flags = mask & ~0xF;
  for (const auto& [bit, id] : kRefreshOrder) {
    if ((mask & bit) == 0) continue;
    view(id).render(level, flags);
    app.platform.repaint(id);
  }
}

void MainFrame::barAdjust(int p) {
  if (p != 0) {
    relayout();
    return;
  }
  if (splitDragging_) return;
  splitDragging_ = true;
  host_.grabSplitPointer(true);
  app.platform.hidePointer();
}

void MainFrame::splitDragMove(int clientX) {
  if (!splitDragging_) return;
  app.splitRatio = splitRatioForDrag(clientX, width_);
  relayout();
}

void MainFrame::splitDragRelease() {
  if (!splitDragging_) return;
  splitDragging_ = false;
  view(ViewId::GradientBox).captureLost();
  refresh(0, kRefreshAllViews);
  host_.grabSplitPointer(false);
  app.platform.showPointer();
}

std::optional<ViewId> MainFrame::wheelTarget(int x, int y) const {
  if (layout_.paletteStrip.contains(x, y)) return ViewId::PaletteBox;
  if (layout_.rightPane.contains(x, y))
    return app.viewsSwapped ? ViewId::SkinView : ViewId::ModelView;
  if (layout_.leftPane.contains(x, y))
    return app.viewsSwapped ? ViewId::ModelView : ViewId::SkinView;
  return std::nullopt;
}

void MainFrame::routeWheel(int x, int y, int delta, bool ctrl) {
  std::optional<ViewId> target = wheelTarget(x, y);
  if (!target) return;
  const Rect r = viewRect(*target);
  view(*target).wheelAt({delta, x - r.left, y - r.top, ctrl});
}

void MainFrame::pressView(ViewId id, const MouseEvent& event) {
  if (id == ViewId::SkinView || id == ViewId::ModelView) stopPlayback(app);
  view(id).mousePress(event);
}

void MainFrame::fitNewModel() {
  if (fittedModelLoads_ == app.modelLoads) return;
  fittedModelLoads_ = app.modelLoads;
  if (app.platform.readInt(settings::kPreferences, settings::kFitOnOpen, 1) == 0) return;
  const bool fitted = skinView_ && skinView_->fitSkin();
  if ((modelView_ && modelView_->frameModel()) || fitted)
    app.platform.postRefresh(0, kRefreshSkinView | kRefreshModelView);
}

void MainFrame::swapDisplays() {
  app.viewsSwapped = !app.viewsSwapped;
  host_.layoutChanged();
}

bool MainFrame::closeRequest() {
  Platform& platform = app.platform;
  platform.writeInt(settings::kPreferences, settings::kSplitter,
                    static_cast<int>(app.splitRatio * kSplitterUnits));
  for (size_t i = 0; i < app.colorSlots.size(); ++i)
    platform.writeInt(settings::kColors, colorKey(i), app.colorSlots[i]);
  // Unsaved work: its question is the only one.
  if (hasUnsavedWork(app)) return settleUnsavedWork(app);
  if (platform.readInt(settings::kPreferences, settings::kQuickExit, 0) == 1) return true;
  return platform.messageBox(kQuitQuestion, MessageButtons::YesNo) == MessageAnswer::Yes;
}

}  // namespace pelt
