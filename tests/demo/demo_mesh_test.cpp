#include "demo/demo_mesh.h"

#include <gtest/gtest.h>

namespace pelt {
namespace {

TEST(DemoMesh, StTableHoldsEachPairOnceInFirstUseOrder) {
  MeshBuilder mesh;
  int a = mesh.addVertex({0, 0, 0}), b = mesh.addVertex({1, 0, 0}), c = mesh.addVertex({0, 1, 0});
  mesh.addTriangle({a, b, c}, {StCoord{5, 5}, StCoord{9, 1}, StCoord{5, 5}});
  mesh.addTriangle({c, b, a}, {StCoord{2, 2}, StCoord{9, 1}, StCoord{5, 5}});
  std::vector<MeshBuilder> posed{mesh};
  std::vector<std::string> names{"one"};
  Md2Data md2 = assembleMd2(posed, names, 16, 16, {"a.pcx"});
  ASSERT_EQ(md2.st.size(), 3u);
  EXPECT_EQ(md2.st[0], (StCoord{5, 5}));
  EXPECT_EQ(md2.st[1], (StCoord{9, 1}));
  EXPECT_EQ(md2.st[2], (StCoord{2, 2}));
  EXPECT_EQ(md2.triangles[0].stIndex, (std::array<std::int16_t, 3>{0, 1, 0}));
  EXPECT_EQ(md2.triangles[1].stIndex, (std::array<std::int16_t, 3>{2, 1, 0}));
}

TEST(DemoMesh, FramesPackToWithinHalfAStepOfThePositions) {
  std::vector<MeshBuilder> posed(2);
  std::vector<Vec3> points = {{-3, 7, 100}, {12.5f, -40, 101}, {0, 0, 100.5f}, {4, 4, 100}};
  for (std::size_t f = 0; f < posed.size(); ++f)
    for (Vec3 p : points) posed[f].addVertex({p.x * (f + 1.0f), p.y, p.z});
  posed[0].addTriangle({0, 1, 2}, {});
  posed[1].addTriangle({0, 1, 2}, {});
  std::vector<std::string> names{"a", "b"};
  Md2Data md2 = assembleMd2(posed, names, 8, 8, {});
  for (std::size_t f = 0; f < 2; ++f) {
    ModelFrame frame = decodeFrame(md2.frames[f]);
    EXPECT_EQ(frame.name, names[f]);
    for (std::size_t i = 0; i < points.size(); ++i) {
      const Vec3& want = posed[f].vertices()[i];
      EXPECT_NEAR(frame.vertices[i].x, want.x, md2.frames[f].scale[0] * 0.5f + 1e-4f);
      EXPECT_NEAR(frame.vertices[i].y, want.y, md2.frames[f].scale[1] * 0.5f + 1e-4f);
      EXPECT_NEAR(frame.vertices[i].z, want.z, md2.frames[f].scale[2] * 0.5f + 1e-4f);
    }
  }
}

}  // namespace
}  // namespace pelt
