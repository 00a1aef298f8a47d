#include "app/tables.h"

#include "app/app.h"
#include "view3d/model_view.h"

namespace pelt {

// Without a skin there is no palette to blend in; the table keeps its last
// state, which nothing can paint with anyway.
void buildBlendTable(App& app) {
  const Skin* skin = app.model.currentSkin();
  if (skin == nullptr) return;
  const auto slot = static_cast<size_t>(app.currentSlot);
  buildBlendTable(app.blendTable, skin->palette, app.colorSlots[slot], app.blendAmount,
                  app.blendMode);
  if (app.brush.soft)
    buildSoftBlendTables(app.softBlendTables, skin->palette, app.colorSlots[slot], app.blendAmount,
                         app.blendMode);
}

void rebuildShadeRamps(App& app) {
  const Skin* skin = app.model.currentSkin();
  buildShadeRamps(app.shading, skin ? &skin->palette : nullptr,
                  {app.colorSlots[1], app.colorSlots[2], app.colorSlots[3]});
}

void rebuildShadeCurve(App& app) {
  buildShadeCurve(app.shading.shadeCurve, app.lightExponent);
  MapList& phong = app.phongMaps;
  if (app.renderMode != kModeTexturedPhong || phong.current == nullptr) return;
  if (phong.currentIndex < 0 || phong.currentIndex >= static_cast<int>(phong.maps.size())) return;
  phong.current = phong.maps[static_cast<size_t>(phong.currentIndex)].get();
  buildLitPlane(app.shading.shadeCurve, *phong.current);
}

}  // namespace pelt
