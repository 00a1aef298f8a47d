// Which render modes may be chosen, and the light table the lit ones need.

#include <algorithm>

#include "platform/platform.h"
#include "skins/palette_file.h"
#include "view3d/model_view.h"

namespace pelt {

namespace {

constexpr int kLightLevels = 64;
constexpr int kLightTableWidth = 256;

bool isLit(int mode) { return mode == kModeTexturedGouraud || mode == kModeTexturedPhong; }

// A table narrower than a palette or with fewer than 64 rows would send the
// lit fillers outside it.
std::unique_ptr<Skin> loadLightTable(Platform& platform, GameFileSystem& files) {
  std::unique_ptr<Skin> table = loadDefaultColormap(platform, files);
  if (!table || table->width != kLightTableWidth || table->height < kLightLevels) return nullptr;
  return table;
}

}  // namespace

bool ModelView::hasLightTable() const {
  return lightTable_ && lightTable_->pixels.size() >= static_cast<size_t>(kLightLevels * 256);
}

bool ModelView::checkRenderModeChange(int oldMode, int newMode) {
  Platform& platform = in_.platform;
  const bool haveSkin = in_.model.currentSkin() != nullptr;
  auto refuse = [&](const char* text) {
    platform.messageBox(text, MessageButtons::Ok);
    return false;
  };
  std::unique_ptr<Skin> table;
  if (newMode == kModeTextured && !haveSkin) return refuse(kNoSkinsForTextured);
  if (newMode == kModeTexturedPhong) {
    if (!haveSkin) return refuse(kNoSkinsForTexturedPhong);
    if (in_.phongMap == nullptr) return refuse(kNoPhongForTexturedPhong);
    table = loadLightTable(platform, in_.gameFiles);
    if (!table) return refuse(kNoColormapForTexturedPhong);
  }
  if (newMode == kModeTexturedGouraud) {
    if (!haveSkin) return refuse(kNoSkinsForTexturedGouraud);
    table = loadLightTable(platform, in_.gameFiles);
    if (!table) return refuse(kNoColormapForTexturedGouraud);
  }
  if (newMode == kModePhong && in_.phongMap == nullptr) return refuse(kNoPhongForPhong);
  if (newMode == kModeEnvironment && in_.envMap == nullptr) return refuse(kNoEnvForEnvironment);
  if (isLit(oldMode)) {
    lightTable_.reset();
    lightBuffer_ = {};
  }
  if (isLit(newMode)) {
    // The table read by the test above is the one kept.
    lightTable_ = std::move(table);
    lightBuffer_.assign(
        static_cast<size_t>(std::max(viewWidth_, 0)) * static_cast<size_t>(std::max(viewHeight_, 0)), 0);
  }
  return true;
}

}  // namespace pelt
