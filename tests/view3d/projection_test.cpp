// Camera, projection, sizes and the visible list.

#include <gtest/gtest.h>

#include "view3d/view_fixture.h"

namespace pelt::test {
namespace {

TEST(ModelViewSize, WidthRoundsUpToFourAndEveryBufferFollows) {
  ViewFixture f;
  f.view.resize(301, 20);
  EXPECT_EQ(f.view.viewWidth(), 304);
  EXPECT_EQ(f.view.viewHeight(), 20);
  EXPECT_EQ(f.view.pixels().size(), 304u * 20u);
  EXPECT_EQ(f.view.depths().size(), 304u * 20u);
  EXPECT_EQ(f.view.picks().size(), 304u * 20u);
  EXPECT_EQ(f.view.image().width, 304);

  // The same size keeps the buffers.
  const std::uint8_t* before = f.view.pixels().data();
  f.view.resize(304, 20);
  EXPECT_EQ(f.view.pixels().data(), before);
}

TEST(ModelViewProjection, OriginIsTheCentreAtDepthZeroWhenNearest) {
  ViewFixture f;
  f.addTriangle({Vec3{0, 0, 0}, Vec3{-5, 0, 10}, Vec3{-5, 10, 0}});
  f.show(kModeWireframeSolid);
  ASSERT_EQ(f.view.visibleCount(), 1);
  const Point3f origin = f.view.viewVertices()[0];
  EXPECT_EQ(f.view.projectX(origin.x, origin.z), kViewWidth / 2);
  EXPECT_EQ(f.view.projectY(origin.y, origin.z), kViewHeight / 2);
  EXPECT_EQ(f.view.projectDepth(origin.z), 0);
  EXPECT_EQ(f.view.projectDepth(f.view.depthMax()), 1 << 30);
}

TEST(ModelViewProjection, OnlyClockwiseTrianglesAreVisible) {
  for (bool clockwise : {false, true}) {
    ViewFixture f;
    const Vec3 up{0, 0, 10}, right{0, 10, 0};
    f.addTriangle({Vec3{0, 0, 0}, clockwise ? up : right, clockwise ? right : up});
    f.show(kModeWireframeSolid);
    EXPECT_EQ(f.view.visibleCount(), clockwise ? 1 : 0);
    EXPECT_EQ(f.count(1) > 0, clockwise);
  }
}

TEST(ModelViewProjection, ACornerInsideTheNearPlaneIsDrawnOnlyAsWireframe) {
  ViewFixture f;
  f.addTriangle({Vec3{99.001f, 0, 0}, Vec3{0, 0, 20}, Vec3{0, 20, 0}});
  ASSERT_LT(f.view.viewWidth(), 0);
  f.show(kModeWireframeSolid);
  EXPECT_EQ(f.view.visibleCount(), 0);
  EXPECT_EQ(f.count(1), 0);
  EXPECT_LT(f.view.viewVertices()[0].z, 1.0f);
  EXPECT_GT(f.view.viewVertices()[0].z, 0.1f);

  f.show(kModeWireframe);
  EXPECT_GT(f.count(1), 0);
}

TEST(ModelViewProjection, TrianglesAllAtOneDepthStillRender) {
  ViewFixture f;
  addFacingSquare(f, 0, -20, 20, -15, 15);
  f.show(kModeWireframeSolid);
  ASSERT_EQ(f.view.visibleCount(), 2);
  EXPECT_EQ(f.view.depthMin(), f.view.depthMax());
  EXPECT_EQ(f.pick(kViewWidth / 2, kViewHeight / 2) >= 0, true);
  EXPECT_GT(f.count(1), 200);
}

TEST(ModelViewProjection, NothingToRenderBeforeASizeOrWithoutAFrame) {
  ViewFixture f;
  f.addTriangle({Vec3{0, 0, 0}, Vec3{0, 0, 10}, Vec3{0, 10, 0}});
  f.view.render(kRedrawFull);
  EXPECT_EQ(f.view.image().pixels, nullptr);

  f.app.model.frames.clear();
  f.show(kModeWireframeSolid);
  EXPECT_EQ(f.count(9), kViewWidth * kViewHeight);  // the background slot only
}

}  // namespace
}  // namespace pelt::test
