#include "app/commands/options_colors.h"

#include "app/app.h"
#include "app/refresh.h"
#include "app/tables.h"
#include "platform/platform.h"

namespace pelt {

namespace {

constexpr int kBackgroundSlot = 7;

bool isMeshSlot(int slot) { return slot >= 1 && slot <= 3; }

}  // namespace

void nudgeCurrentColor(App& app, int step) {
  const auto slot = static_cast<size_t>(app.currentSlot);
  app.colorSlots[slot] = static_cast<std::uint8_t>(app.colorSlots[slot] + step);
  buildBlendTable(app);
  if (isMeshSlot(app.currentSlot)) rebuildShadeRamps(app);
  app.platform.sendRefresh(0, kRefreshPaletteBox | 0x20);
  // Mesh and background colours show in both large views.
  if (isMeshSlot(app.currentSlot) || app.currentSlot == kBackgroundSlot)
    app.platform.postRefresh(0, kRefreshSkinView | kRefreshModelView | 0x20);
}

void setBlendMode(App& app, int mode) {
  if (app.blendMode == mode) return;
  app.blendMode = mode;
  buildBlendTable(app);
}

void toggleShowMeshWhilePainting(App& app) {
  app.showMeshWhilePainting = !app.showMeshWhilePainting;
  refreshListsAndViews(app);
}

void toggleDragPixelsWithMapping(App& app) {
  app.dragPixelsWithMapping = !app.dragPixelsWithMapping;
}

void toggleMapRectangle(App& app) {
  app.mapRectShown = app.mapRectShown != 0 ? 0 : 1;
  app.platform.postRefresh(0, kRefreshSkinView);
}

}  // namespace pelt
