#pragma once
// A 3D view over a hand-built model, seen with the initial camera: the eye
// on +x looking at the origin, so +y runs to the screen's right, +z up, and
// a point's view depth is 100 - x.

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "app/app.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"
#include "view3d/model_view.h"

namespace pelt::test {

inline constexpr int kViewWidth = 64;
inline constexpr int kViewHeight = 48;

class ViewFixture {
 public:
  ViewFixture()
      : view(ModelViewInputs{platform, app.model, app.rasterizer, app.shading, app.colorSlots,
                             app.renderMode, app.interactionMode, app.phongMaps.current,
                             app.envMaps.current, [this] { return companions; },
                             ModelViewMouseInputs{&app.cameraOverride, &app.brushKind,
                                                  &app.currentSlot, &app.blendTable,
                                                  &app.protectedColors, [this] { ++picks; }}}) {
    app.model.frames.push_back(ModelFrame{"frame1", {}});
    app.model.modelLoaded = true;
    app.colorSlots = {200, 1, 2, 3, 4, 5, 6, 9};
  }

  // Appends a triangle; its corners get the st values given.
  int addTriangle(std::array<Vec3, 3> corners, std::array<StCoord, 3> st = {}) {
    Model& m = app.model;
    ModelTriangle& tri = m.triangles[static_cast<size_t>(m.triangleCount)];
    for (size_t k = 0; k < 3; ++k) {
      m.frames[0].vertices.push_back(corners[k]);
      tri.vertexIndex[k] = static_cast<std::int16_t>(m.vertexCount++);
      m.stCoords[static_cast<size_t>(m.stCount)] = st[k];
      tri.stIndex[k] = static_cast<std::int16_t>(m.stCount++);
    }
    ++m.triangleCount;
    computeFaceNormals(m);
    return m.triangleCount - 1;
  }

  // The pattern skin of the fixtures, or one of colour 100 throughout.
  Skin& addSkin(int width, int height, bool pattern) {
    auto skin = std::make_unique<Skin>(patternSkin(width, height));
    if (!pattern) std::fill(skin->pixels.begin(), skin->pixels.end(), 100);
    buildRowOffsets(skin.get());
    app.model.skinWidth = width;
    app.model.skinHeight = height;
    app.model.skins.push_back(std::move(skin));
    app.model.currentSkinIndex = 0;
    return *app.model.skins.back();
  }

  void show(int mode, int level = kRedrawFull) {
    app.renderMode = mode;
    if (view.viewWidth() != kViewWidth) view.resize(kViewWidth, kViewHeight);
    view.render(level);
  }

  size_t at(int x, int row) const { return static_cast<size_t>(row * view.viewWidth() + x); }
  std::uint8_t pixel(int x, int row) const { return view.pixels()[at(x, row)]; }
  std::int32_t pick(int x, int row) const { return view.picks()[at(x, row)]; }
  int count(std::uint8_t value) const {
    return static_cast<int>(std::count(view.pixels().begin(), view.pixels().end(), value));
  }

  ScriptedPlatform platform;
  App app{platform};
  ModelView view;
  std::vector<CompanionScene> companions;
  int picks = 0;  // colour picks the view finished
};

// A square facing the eye at depth 100 - x, spanning y0..y1 and z0..z1, as
// two triangles that pass the back-face test.
inline void addFacingSquare(ViewFixture& f, float x, float y0, float y1, float z0, float z1,
                            std::array<StCoord, 4> st = {}) {
  f.addTriangle({Vec3{x, y0, z0}, Vec3{x, y0, z1}, Vec3{x, y1, z1}}, {st[0], st[1], st[2]});
  f.addTriangle({Vec3{x, y0, z0}, Vec3{x, y1, z1}, Vec3{x, y1, z0}}, {st[0], st[2], st[3]});
}

}  // namespace pelt::test
