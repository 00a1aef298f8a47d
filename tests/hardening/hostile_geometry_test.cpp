// Geometry at the edges of float range goes through every render mode at
// every redraw level; under the sanitizers no conversion may be undefined.

#include <gtest/gtest.h>

#include <limits>

#include "demo/demo_maps.h"
#include "demo/demo_palette.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "view3d/view_fixture.h"

namespace pelt::test {
namespace {

TEST(HostileGeometry, ExtremeCoordinatesRenderInEveryMode) {
  ViewFixture f;
  TempDir dir;
  const Palette palette = makeDemoPalette();
  f.platform.writeString(settings::kPreferences, settings::kPalettePath,
                         dir.write("colormap.pcx", encodeSkinPcx(makeColormapImage(palette))));
  Skin phong = makePhongMap(0), env = makeEnvironmentMap(0);
  for (auto& p : phong.pixels) p >>= 2;
  buildLitPlane(f.app.shading.shadeCurve, phong);
  f.app.phongMaps.current = &phong;
  f.app.envMaps.current = &env;
  f.addSkin(16, 16, true);
  const float big = 3e38f, huge = 1e20f, tiny = 1e-40f;
  f.addTriangle({Vec3{0, -big, -big}, Vec3{0, -big, big}, Vec3{0, big, big}},
                {StCoord{0, 15}, {0, 0}, {15, 0}});
  f.addTriangle({Vec3{-huge, 0, 0}, Vec3{huge, huge, 0}, Vec3{0, -huge, huge}});
  f.addTriangle({Vec3{tiny, 0, 0}, Vec3{0, tiny, 0}, Vec3{0, 0, tiny}});
  f.addTriangle({Vec3{99.5f, 1, 1}, Vec3{99.5f, -1, 1}, Vec3{99.5f, 0, -1}});  // at the eye
  f.addTriangle({Vec3{0, -20, -15}, Vec3{0, -20, 15}, Vec3{0, 20, 15}},
                {StCoord{-9, 99}, {300, -4}, {7, 7}});
  const float nan = std::numeric_limits<float>::quiet_NaN();
  f.app.model.triangles[1].normal = {nan, nan, nan};
  for (int interaction : {kInteractionMeshPaint, kInteractionMapping}) {
    f.app.interactionMode = interaction;
    for (int mode = kModeWireframe; mode <= kModeTexturedPhong; ++mode) {
      ASSERT_TRUE(f.view.checkRenderModeChange(f.app.renderMode, mode)) << mode;
      for (int level : {kRedrawFull, kRedrawQuick, kRedrawRetexture, kRedrawBackground})
        f.show(mode, level);
    }
  }
  // Something of the ordinary triangle is still drawn.
  f.show(kModeTextured);
  EXPECT_LT(f.count(f.app.colorSlots[7]), kViewWidth * kViewHeight);
}

}  // namespace
}  // namespace pelt::test
