#include "app/commands/options_snapshot.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>

#include "app/app.h"
#include "app/folders.h"
#include "app/main_frame.h"
#include "app/refresh.h"
#include "platform/paths.h"
#include "platform/safe_save.h"
#include "platform/settings_keys.h"
#include "skins/palette_file.h"
#include "skins/png_file.h"
#include "skins/skin_image.h"
#include "skins/tga_file.h"
#include "view3d/model_view.h"
#include "view3d/snapshot.h"

namespace pelt {

namespace {

constexpr const char* kSnapshotWrittenText = "Snapshot written to ";
constexpr const char* kReplaceQuestion = " already exists.\nDo you want to replace it?";

struct SnapshotPlan {
  SnapshotValues values;
  int width = 0;
  int height = 0;
  double smoothingExponent = 1.0;
  std::string path;
  int filterIndex = 1;
};

void writeEightBit(App& app, ModelView& view, const SnapshotPlan& plan) {
  std::vector<std::uint8_t> pixels;
  if (plan.values.customSize)
    pixels = view.renderAt(plan.width, plan.height);
  else
    pixels.assign(view.pixels().begin(), view.pixels().end());
  Skin shot = eightBitSnapshot(pixels, plan.width, plan.height, view.viewPalette());
  std::uint8_t format = skinFormatOfPath(plan.path);
  if (format == kFormatNone)
    format = plan.filterIndex == kSnapshotPcxFilter ? kFormatPcx : kFormatBmp;
  const bool written = writeSkinInFormat(app.platform, shot, plan.path, format);
  if (written) app.platform.showStatusText(kSnapshotWrittenText + plan.path);
}

// The gauge of the gradient box and the status line show how far it got.
void showProgress(App& app, int started, int total) {
  app.blendAmount = total > 0 ? static_cast<double>(started) / total : 0.0;
  app.platform.sendRefresh(0, kRefreshGradientBox);
  app.platform.showStatusText(
      "Snapshot: " + std::to_string(static_cast<int>(app.blendAmount * 100)) + "%");
}

TrueColourPicture topDown(const RgbImage& image) {
  TrueColourPicture picture{image.width, image.height, image.rgb, kFormatPng};
  const size_t row = static_cast<size_t>(image.width) * 3;
  for (int y = 0; y < image.height; ++y)
    std::copy_n(image.rgb.begin() + static_cast<std::ptrdiff_t>(row * static_cast<size_t>(y)), row,
                picture.rgb.begin() +
                    static_cast<std::ptrdiff_t>(row * static_cast<size_t>(image.height - 1 - y)));
  return picture;
}

void writeTrueColour(App& app, ModelView& view, const SnapshotPlan& plan) {
  Skin* skin = app.model.currentSkin();
  if (!app.model.modelLoaded || skin == nullptr || app.phongMaps.current == nullptr) return;
  std::unique_ptr<Skin> loaded;
  const Skin* colormap = view.lightTable();
  if (colormap == nullptr) {
    loaded = loadDefaultColormap(app.platform, app.gameFiles);
    colormap = loaded.get();
  }
  if (colormap == nullptr || colormap->width != 256 || colormap->height < kLightTableRows) return;

  RgbImage image(plan.width, plan.height);
  const std::vector<std::uint8_t> table = buildLightTableRgb(*colormap, skin->palette);
  const double amount = app.blendAmount;
  bool drawn = false;
  try {
    drawn = view.renderTrueColour(
        image, table.data(), app.lightExponent, plan.smoothingExponent,
        [&app](int started, int total) { showProgress(app, started, total); });
  } catch (...) {
    app.blendAmount = amount;
    app.platform.sendRefresh(0, kRefreshGradientBox);
    throw;
  }
  app.blendAmount = amount;
  app.platform.sendRefresh(0, kRefreshGradientBox);
  if (!drawn) {
    app.platform.showStatusText("");
    return;
  }
  const std::string target = trueColourSnapshotPath(plan.path);
  const std::uint8_t format = skinFormatOfPath(target);
  const Bytes file = format == kFormatPng   ? encodeRgbPng(topDown(image))
                     : format == kFormatTga ? encodeRgbTga(topDown(image))
                                            : encodeBmp24(image);
  if (!saveFileOrWarn(app.platform, target, file)) {
    app.platform.showStatusText("");
    app.platform.messageBox(kSnapshotErrorMessage, MessageButtons::Ok);
    return;
  }
  app.platform.showStatusText(kSnapshotWrittenText + target);
}

}  // namespace

void takeSnapshot(MainFrame& frame) {
  App& app = frame.app;
  Platform& platform = app.platform;
  ModelView* view = frame.modelView();
  if (view == nullptr) return;
  SnapshotPlan plan;
  plan.values.width = view->viewWidth();
  plan.values.height = view->viewHeight();
  if (!platform.snapshotsDialog(plan.values)) return;
  plan.smoothingExponent = smoothingExponentFor(plan.values.sharpness);
  if (plan.values.customSize) {
    if (!snapshotSizeAllowed(plan.values.width, plan.values.height)) {
      platform.messageBox(kSnapshotSizeMessage, MessageButtons::Ok);
      return;
    }
    plan.width = plan.values.width;
    plan.height = plan.values.height;
  } else {
    plan.width = view->viewWidth();
    plan.height = view->viewHeight();
  }
  if (plan.width <= 0 || plan.height <= 0) return;  // the view has no picture yet

  FileDialogRequest request{true, kSnapshotFilter, "*.bmp", app.saveFolder};
  std::optional<FileDialogResult> chosen = platform.fileDialog(request);
  if (!chosen) return;
  rememberFolder(app, app.saveFolder, settings::kSaveDir, chosen->path);
  plan.path = chosen->path;
  plan.filterIndex = chosen->filterIndex;
  if (lacksExtension(plan.path))
    plan.path += plan.filterIndex == kSnapshotPcxFilter   ? ".pcx"
                 : plan.filterIndex == kSnapshotPngFilter ? ".png"
                                                          : ".bmp";
  // A true-colour picture is a BMP or PNG, so another name becomes NAME.bmp:
  // a file of that name, which the user did not choose, is replaced only
  // when they agree.
  const std::string target = trueColourSnapshotPath(plan.path);
  if (plan.values.smoothing && target != plan.path && fileSize(target) >= 0 &&
      platform.messageBox(target + kReplaceQuestion, MessageButtons::YesNo) != MessageAnswer::Yes)
    return;

  try {
    if (plan.values.smoothing)
      writeTrueColour(app, *view, plan);
    else
      writeEightBit(app, *view, plan);
  } catch (const std::bad_alloc&) {
    platform.showStatusText("");
    platform.messageBox(kSnapshotErrorMessage, MessageButtons::Ok);
  }
}

}  // namespace pelt
