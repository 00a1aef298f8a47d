#include "app/view_factory.h"

#include "app/app.h"
#include "app/tables.h"
#include "skinview/skin_view.h"
#include "view3d/model_view.h"

namespace pelt {

std::unique_ptr<SkinView> makeSkinView(App& app) {
  return std::make_unique<SkinView>(SkinViewInputs{
      app.platform, app.model, app.rasterizer, app.colorSlots, app.currentSlot,
      app.protectedColors, app.blendTable, app.interactionMode, app.cameraOverride,
      app.brushKind, app.showMeshWhilePainting, app.dragPixelsWithMapping, app.mapRectShown,
      [&app] { buildBlendTable(app); }});
}

std::unique_ptr<ModelView> makeModelView(App& app) {
  return std::make_unique<ModelView>(ModelViewInputs{
      app.platform, app.model, app.rasterizer, app.shading, app.colorSlots, app.renderMode,
      app.interactionMode, app.phongMaps.current, app.envMaps.current, {},
      ModelViewMouseInputs{&app.cameraOverride, &app.brushKind, &app.currentSlot, &app.blendTable,
                           &app.protectedColors, [&app] { buildBlendTable(app); }}});
}

}  // namespace pelt
