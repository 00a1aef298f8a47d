// The 3D view: projection, what each render mode leaves in the pixel and pick
// buffers, the mode refusals, the benchmark text and the mouse.

#include "view3d/model_view.h"

#include <gtest/gtest.h>

#include "app/frame_lists.h"
#include "app/main_frame.h"
#include "app/quiet_host.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "view3d/benchmark.h"
#include "view3d/view_fixture.h"

namespace pelt::test {
namespace {

// One companion triangle right of the square (or left, moved), with a skin of its own.
struct CompanionData {
  std::vector<Vec3> vertices{{0, 22, -10}, {0, 22, 10}, {0, 34, 10}};
  std::vector<ModelTriangle> triangles{ModelTriangle{0, {0, 1, 2}, {0, 1, 2}}};
  std::vector<StCoord> st{{0, 0}, {0, 7}, {7, 7}};
  Skin skin = patternSkin(8, 8);

  CompanionScene scene() {
    buildRowOffsets(&skin);
    return {vertices, triangles, st, &skin, {}};
  }
};

TEST(ModelViewProjection, CentreDepthRangeClockwiseFacesAndTheNearPlane) {
  ViewFixture f;
  f.addTriangle({Vec3{0, 0, 0}, Vec3{-5, 0, 10}, Vec3{-5, 10, 0}});
  f.show(kModeWireframeSolid);
  const Point3f origin = f.view.viewVertices()[0];
  EXPECT_EQ(f.view.projectX(origin.x, origin.z), kViewWidth / 2);
  EXPECT_EQ(f.view.projectY(origin.y, origin.z), kViewHeight / 2);
  EXPECT_EQ(f.view.projectDepth(origin.z), 0);
  EXPECT_EQ(f.view.projectDepth(f.view.depthMax()), 1 << 30);

  // Only clockwise triangles with every corner beyond the near plane are
  // filled; the wireframe shows them all.
  const Vec3 up{0, 0, 20}, right{0, 20, 0}, near{99.001f, 0, 0};
  struct Case {
    std::array<Vec3, 3> corners;
    bool filled;
  } cases[] = {
      {{Vec3{}, right, up}, false}, {{Vec3{}, up, right}, true}, {{near, up, right}, false}};
  for (const Case& c : cases) {
    ViewFixture g;
    g.addTriangle(c.corners);
    g.show(kModeWireframeSolid);
    EXPECT_EQ(g.view.visibleCount(), c.filled ? 1 : 0);
    EXPECT_EQ(g.count(1) > 0, c.filled);
    g.show(kModeWireframe);
    EXPECT_GT(g.count(1), 0);
  }
}

TEST(ModelViewModes, PicksHoldTexelsTrianglesOrCompanionIds) {
  ViewFixture f;
  f.addSkinnedSquare();
  CompanionData companion;
  f.companions.push_back(companion.scene());
  f.show(kModeTextured);
  const std::int32_t texel = f.pick(kViewWidth / 2, kViewHeight / 2);
  EXPECT_TRUE(texel >= 0 && texel < 32 * 32) << texel;
  EXPECT_TRUE(f.view.pickHoldsTexels());
  EXPECT_GT(f.picksOf(kPickCompanion), 10);

  f.app.interactionMode = kInteractionMapping;
  f.show(kModeTextured);
  EXPECT_EQ(f.pick(kViewWidth / 2, kViewHeight / 2) & ~1, 0);
  EXPECT_FALSE(f.view.pickHoldsTexels());
  EXPECT_GT(f.picksOf(kPickCompanion), 10);

  // A quick render while the camera moves keeps the texel offsets of the last full one.
  f.app.interactionMode = kInteractionMeshPaint;
  f.show(kModeTextured);
  f.show(kModeTextured, kRedrawQuick);
  EXPECT_EQ(f.pick(kViewWidth / 2, kViewHeight / 2), texel);
  EXPECT_TRUE(f.view.pickHoldsTexels());

  // Wire edges of each companion get their own id below -2.
  CompanionData second;
  second.vertices = {{0, -34, -10}, {0, -34, 10}, {0, -22, 10}};
  f.companions.push_back(second.scene());
  f.show(kModeWireframeSolid);
  EXPECT_GT(f.picksOf(kFirstCompanionLineId), 10);
  EXPECT_GT(f.picksOf(kFirstCompanionLineId - 1), 10);
  EXPECT_EQ(f.picksOf(kPickCompanion), 0);
}

TEST(ModelViewModes, LitTexturedRetextureKeepsTheLightLevel) {
  // A light table whose entry (row, index) is index + 3 * row.
  TempDir dir;
  ViewFixture f;
  Skin table;
  allocateSkin(table, 256, 64);
  for (size_t i = 0; i < table.pixels.size(); ++i)
    table.pixels[i] = static_cast<std::uint8_t>(i % 256 + 3 * (i / 256));
  writeSkinPcx(f.platform, table, dir.file("colormap.pcx"));
  f.platform.settings[settings::kPreferences][settings::kPalettePath] = dir.file("colormap.pcx");
  f.addSkinnedSquare();
  f.view.resize(kViewWidth, kViewHeight);
  ASSERT_TRUE(f.view.checkRenderModeChange(kModeTextured, kModeTexturedGouraud));
  f.show(kModeTexturedGouraud);

  Skin& skin = *f.app.model.skins[0];
  const size_t i = 24 * kViewWidth + 32;
  const auto texel = static_cast<size_t>(f.view.picks()[i]);
  const int level = f.view.lightLevels()[i];
  EXPECT_GT(level, 0);
  EXPECT_EQ(f.view.pixels()[i], static_cast<std::uint8_t>(skin.pixels[texel] + 3 * level));
  skin.pixels[texel] = 50;
  f.view.render(kRedrawRetexture);
  EXPECT_EQ(f.view.pixels()[i], 50 + 3 * level);
}

TEST(RenderModeList, RefusalsNameWhatIsMissingAndKeepTheOldMode) {
  struct Refusal {
    bool skin, phong;
    int mode;
    const char* message;
  } cases[] = {
      {false, false, kModeTextured, kNoSkinsForTextured},
      {false, true, kModeTexturedPhong, kNoSkinsForTexturedPhong},
      {true, false, kModeTexturedPhong, kNoPhongForTexturedPhong},
      {true, true, kModeTexturedPhong, kNoColormapForTexturedPhong},
      {false, false, kModeTexturedGouraud, kNoSkinsForTexturedGouraud},
      {true, false, kModeTexturedGouraud, kNoColormapForTexturedGouraud},
      {true, false, kModePhong, kNoPhongForPhong},
      {true, false, kModeEnvironment, kNoEnvForEnvironment},
  };
  for (const Refusal& c : cases) {
    ViewFixture f;
    QuietHost host;
    MainFrame frame(f.app, host);
    if (c.skin) f.addSkinnedSquare();
    Skin phong = patternSkin(256, 256);
    if (c.phong) f.app.phongMaps.current = &phong;
    f.app.renderMode = kModeWireframe;
    chooseRenderMode(frame, c.mode);
    EXPECT_EQ(f.app.renderMode, kModeWireframe) << c.message;
    EXPECT_EQ(f.platform.messageTexts(), std::vector<std::string>{c.message});
    EXPECT_EQ(f.platform.listRefills, 1);
    EXPECT_EQ(f.platform.refreshes, (std::vector<RecordedRefresh>{{0, 3, true}}));
  }
}

TEST(Benchmark, ReportsTheRateOrThatItWasTooFastToMeasure) {
  EXPECT_EQ(benchmarkText(100), "100 frames in 100 milliseconds = 1000.000000 fps");
  EXPECT_EQ(benchmarkText(0).find("inf"), std::string::npos);
}

TEST(ModelViewGestures, PressChoosesTheGestureAndReleasesEndIt) {
  struct Case {
    bool cameraOverride, shift, mapping;
    unsigned button;
    ViewGesture gesture, afterOwnRelease;
    bool hidesPointer;
  } cases[] = {
      {true, false, false, kButtonLeft, ViewGesture::Orbit, ViewGesture::WaitOther, true},
      {true, false, true, kButtonRight, ViewGesture::Look, ViewGesture::WaitOther, true},
      {true, true, false, kButtonLeft, ViewGesture::FieldOfView, ViewGesture::WaitOther, true},
      {true, true, true, kButtonRight, ViewGesture::Light, ViewGesture::WaitOther, true},
      {false, true, false, kButtonLeft, ViewGesture::Paint, ViewGesture::WaitOther, true},
      {false, false, false, kButtonRight, ViewGesture::PickColour, ViewGesture::WaitRelease, false},
      {false, false, true, kButtonLeft, ViewGesture::Select, ViewGesture::WaitRelease, false},
      {false, true, true, kButtonRight, ViewGesture::Deselect, ViewGesture::WaitRelease, false},
  };
  for (const Case& c : cases) {
    ViewFixture f;
    f.addSkinnedSquare();
    f.app.cameraOverride = c.cameraOverride;
    f.app.interactionMode = c.mapping ? kInteractionMapping : kInteractionMeshPaint;
    f.show(kModeTextured);
    const unsigned other = kButtonLeft + kButtonRight - c.button;
    const int hidden = c.hidesPointer ? 1 : 0;
    f.view.mousePress({30, 20, 30, 20, c.button, c.button, c.shift});
    EXPECT_EQ(f.view.gesture(), c.gesture);
    EXPECT_EQ(f.platform.pointerHidden, hidden);
    f.view.mousePress({30, 20, 30, 20, other, kButtonLeft | kButtonRight});  // starts nothing
    f.view.mouseRelease({30, 20, 30, 20, c.button, other});
    EXPECT_EQ(f.view.gesture(), c.afterOwnRelease);
    f.view.mouseRelease({30, 20, 30, 20, other, kButtonNone});
    EXPECT_EQ(f.view.gesture(), ViewGesture::Idle);
    EXPECT_EQ(f.platform.pointerHidden, 0);
  }
}

// Brushing a selection needs triangle ids in the pick buffer.
TEST(ModelViewGestures, EachModeSelectsOnlyIfItsPickBufferHoldsTriangles) {
  for (int mode :
       {kModeWireframeSolid, kModeTextured, kModeGouraud, kModeWireframe, kModeEnvironment}) {
    ViewFixture f;
    f.addSkinnedSquare();
    f.app.cameraOverride = false;
    f.app.interactionMode = kInteractionMapping;
    f.show(mode);
    auto flags = [&](int t) { return f.app.model.triangles[static_cast<size_t>(t)].flags; };
    f.drag({{20, 20}, {46, 34}});  // one point on each triangle
    const bool selects = mode != kModeWireframe && mode != kModeEnvironment;
    EXPECT_EQ(flags(0) & flags(1), selects ? kTriangleSelected : 0u) << mode;
    f.drag({{20, 20}, {46, 34}}, kButtonRight);
    EXPECT_EQ(flags(0) | flags(1), 0u) << mode;
  }
}

}  // namespace
}  // namespace pelt::test
