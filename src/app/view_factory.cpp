#include "app/view_factory.h"

#include "app/app.h"
#include "app/tables.h"
#include "skinview/skin_view.h"

namespace pelt {

std::unique_ptr<SkinView> makeSkinView(App& app) {
  return std::make_unique<SkinView>(SkinViewInputs{
      app.platform, app.model, app.rasterizer, app.colorSlots, app.currentSlot,
      app.protectedColors, app.blendTable, app.interactionMode, app.cameraOverride,
      app.brushKind, app.showMeshWhilePainting, app.dragPixelsWithMapping, app.mapRectShown,
      [&app] { buildBlendTable(app); }});
}

}  // namespace pelt
