#pragma once
// A 3D view over a hand-built model.

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "app/app.h"
#include "app/commands/skins_effects.h"
#include "app/undo_steps.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"
#include "view3d/model_view.h"

namespace pelt::test {

inline constexpr int kViewWidth = 64;
inline constexpr int kViewHeight = 48;

// A hand-built model seen with the initial camera: the eye on +x looking at
// the origin, so +y runs to the screen's right, +z up, and a point's view
// depth is 100 - x.
struct ViewFixture {
  ViewFixture()
      : view(ModelViewInputs{
            platform, app.model, app.rasterizer, app.shading, app.colorSlots, app.renderMode,
            app.interactionMode, app.phongMaps.current, app.envMaps.current, app.gameFiles,
            [this] { return companions; },
            ModelViewMouseInputs{
                &app.cameraOverride, &app.brushKind, &app.currentSlot, &app.blendTable,
                &app.protectedColors, [] {},
                BrushInputs{&app.brush, &app.mirrorPainting, &app.mirrorAxis, &app.softBlendTables,
                            [this] {
                              return buildSelectionMask(app.model, app.rasterizer,
                                                        app.model.skinWidth, app.model.skinHeight);
                            },
                            [this](const PaintStroke& stroke) { recordStroke(app, stroke); }}},
            &app.playback.blend}) {
    app.model.frames.push_back(ModelFrame{"frame1", {}});
    app.model.modelLoaded = true;
    app.colorSlots = {200, 1, 2, 3, 4, 5, 6, 9};
  }

  void addTriangle(std::array<Vec3, 3> corners, std::array<StCoord, 3> st = {}) {
    Model& m = app.model;
    ModelTriangle& tri = m.triangles[static_cast<size_t>(m.triangleCount++)];
    for (size_t k = 0; k < 3; ++k) {
      m.frames[0].vertices.push_back(corners[k]);
      tri.vertexIndex[k] = static_cast<std::int16_t>(m.vertexCount++);
      m.stCoords[static_cast<size_t>(m.stCount)] = st[k];
      tri.stIndex[k] = static_cast<std::int16_t>(m.stCount++);
    }
    computeFaceNormals(m);
  }
  // The fixtures' pattern skin, or one of colour 100 throughout.
  void addSkin(int width, int height, bool pattern) {
    auto skin = std::make_unique<Skin>(patternSkin(width, height));
    if (!pattern) std::fill(skin->pixels.begin(), skin->pixels.end(), 100);
    buildRowOffsets(skin.get());
    app.model.skinWidth = width;
    app.model.skinHeight = height;
    app.model.skins.push_back(std::move(skin));
    app.model.currentSkinIndex = 0;
  }
  // A 32 x 32 skin over a square facing the eye, as two clockwise triangles.
  void addSkinnedSquare() {
    addSkin(32, 32, true);
    const StCoord st[] = {{0, 31}, {0, 0}, {31, 0}, {31, 31}};
    addTriangle({Vec3{0, -20, -15}, Vec3{0, -20, 15}, Vec3{0, 20, 15}}, {st[0], st[1], st[2]});
    addTriangle({Vec3{0, -20, -15}, Vec3{0, 20, 15}, Vec3{0, 20, -15}}, {st[0], st[2], st[3]});
  }

  void show(int mode, int level = kRedrawFull) {
    app.renderMode = mode;
    if (view.viewWidth() != kViewWidth) view.resize(kViewWidth, kViewHeight);
    view.render(level);
  }
  int count(std::uint8_t value) const {
    return static_cast<int>(std::count(view.pixels().begin(), view.pixels().end(), value));
  }
  int picksOf(std::int32_t id) const {
    return static_cast<int>(std::count(view.picks().begin(), view.picks().end(), id));
  }
  void drag(std::initializer_list<WindowPoint> path, unsigned button = kButtonLeft) {
    auto p = path.begin();
    view.mousePress({p->x, p->y, p->x, p->y, button, button});
    for (++p; p != path.end(); ++p) view.mouseMove({p->x, p->y, p->x, p->y, kButtonNone, button});
    p = path.end() - 1;
    view.mouseRelease({p->x, p->y, p->x, p->y, button, kButtonNone});
  }

  ScriptedPlatform platform;
  App app{platform};
  ModelView view;
  std::vector<CompanionScene> companions;
};

}  // namespace pelt::test
