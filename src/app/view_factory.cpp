#include "app/view_factory.h"

#include "app/app.h"
#include "app/commands/companion.h"
#include "app/commands/skins_effects.h"
#include "app/tables.h"
#include "app/undo_steps.h"
#include "colorboxes/gradient_box.h"
#include "colorboxes/palette_box.h"
#include "skinview/skin_view.h"
#include "view3d/model_view.h"

namespace pelt {

namespace {

BrushInputs brushInputs(App& app) {
  return {&app.brush, &app.mirrorPainting, &app.mirrorAxis, &app.softBlendTables, [&app] {
            const Skin* skin = app.model.currentSkin();
            if (skin == nullptr) return std::vector<std::uint8_t>{};
            return buildSelectionMask(app.model, app.rasterizer, skin->width, skin->height);
          },
          [&app](const PaintStroke& stroke) { recordStroke(app, stroke); }};
}

}  // namespace

std::unique_ptr<SkinView> makeSkinView(App& app) {
  return std::make_unique<SkinView>(
      SkinViewInputs{app.platform, app.model, app.rasterizer, app.colorSlots, app.currentSlot,
                     app.protectedColors, app.blendTable, app.interactionMode, app.cameraOverride,
                     app.brushKind, app.showMeshWhilePainting, app.dragPixelsWithMapping,
                     app.mapRectShown, [&app] { buildBlendTable(app); }, brushInputs(app),
                     MappingEditHooks{[&app] { beginMappingEdit(app); },
                                      [&app](const char* name) { endMappingEdit(app, name); }}});
}

std::unique_ptr<ModelView> makeModelView(App& app) {
  return std::make_unique<ModelView>(ModelViewInputs{
      app.platform, app.model, app.rasterizer, app.shading, app.colorSlots, app.renderMode,
      app.interactionMode, app.phongMaps.current, app.envMaps.current, app.gameFiles,
      [&app] { return shownCompanionScenes(app); },
      ModelViewMouseInputs{&app.cameraOverride, &app.brushKind, &app.currentSlot, &app.blendTable,
                           &app.protectedColors, [&app] { buildBlendTable(app); },
                           brushInputs(app)},
      &app.playback.blend});
}

std::unique_ptr<PaletteBox> makePaletteBox(App& app) {
  return std::make_unique<PaletteBox>(PaletteBoxInputs{
      app.platform, app.colorSlots, app.currentSlot, app.protectedColors,
      [&app]() -> const Palette* {
        const Skin* skin = app.model.currentSkin();
        return skin ? &skin->palette : nullptr;
      },
      [&app] { buildBlendTable(app); }, [&app] { rebuildShadeRamps(app); }});
}

std::unique_ptr<GradientBox> makeGradientBox(App& app, std::function<void()> swapDisplays) {
  return std::make_unique<GradientBox>(GradientBoxInputs{
      app.platform, app.blendAmount, app.lightExponent, app.splitRatio, app.shading.shadeCurve,
      app.renderMode, [&app] { buildBlendTable(app); },
      [&app] {
        rebuildShadeCurve(app);
        rebuildShadeRamps(app);
      },
      std::move(swapDisplays)});
}

}  // namespace pelt
