#include "model/model.h"

#include <gtest/gtest.h>

namespace pelt {
namespace {

// Two triangles; corners are given as st values, all indices distinct.
Model twoTriangles(std::array<StCoord, 6> corners) {
  Model m;
  m.triangleCount = 2;
  m.vertexCount = 4;
  m.stCount = 7;
  for (int i = 0; i < 6; ++i) m.stCoords[static_cast<size_t>(i)] = corners[static_cast<size_t>(i)];
  m.stCoords[6] = {50, 50};  // unused
  m.triangles[0].stIndex = {0, 1, 2};
  m.triangles[1].stIndex = {3, 4, 5};
  m.triangles[0].vertexIndex = {0, 1, 2};
  m.triangles[1].vertexIndex = {1, 3, 2};
  return m;
}

TEST(ModelMapping, RebuildCompactsInFirstUseOrder) {
  Model m = twoTriangles({StCoord{5, 5}, {1, 1}, {2, 2}, {2, 2}, {9, 9}, {5, 5}});
  rebuildStTable(m);
  EXPECT_EQ(m.stCount, 4);
  EXPECT_EQ(m.stCoords[0], (StCoord{5, 5}));
  EXPECT_EQ(m.stCoords[3], (StCoord{9, 9}));
  EXPECT_EQ(m.triangles[1].stIndex, (std::array<std::int16_t, 3>{2, 3, 0}));
  for (int i = 0; i < 2; ++i)
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(m.triangles[static_cast<size_t>(i)].cornerSt[static_cast<size_t>(k)],
                m.stCoords[static_cast<size_t>(m.triangles[static_cast<size_t>(i)].stIndex[static_cast<size_t>(k)])]);
}

TEST(ModelMapping, RevertRestoresTheStoredMapping) {
  Model m = twoTriangles({StCoord{0, 0}, {1, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 1}});
  storeMapping(m);
  EXPECT_EQ(m.storedStCount, 4);
  std::vector<StCoord> stored(m.stCoords.begin(), m.stCoords.begin() + 4);
  // Drag one corner away, as a mapping tool would.
  m.stCoords[4] = {30, 30};
  m.triangles[1].stIndex[1] = 4;
  m.stCount = 5;
  rebuildStTable(m);
  EXPECT_EQ(m.triangles[1].cornerSt[1], (StCoord{30, 30}));
  revertMapping(m);
  EXPECT_EQ(m.stCount, 4);
  EXPECT_EQ(std::vector<StCoord>(m.stCoords.begin(), m.stCoords.begin() + 4), stored);
  EXPECT_EQ(m.triangles[1].cornerSt[1], (StCoord{1, 1}));
}

TEST(ModelNormals, UnitNormalsAndDegenerateTrianglesKeepTheirs) {
  Model m;
  m.vertexCount = 4;
  m.triangleCount = 2;
  m.frames.push_back({"f", {{0, 0, 0}, {2, 0, 0}, {0, 3, 0}, {4, 0, 0}}});
  m.triangles[0].vertexIndex = {0, 1, 2};
  m.triangles[1].vertexIndex = {0, 1, 3};  // collinear
  m.triangles[1].normal = {0.6f, 0.8f, 0.0f};
  computeFaceNormals(m);
  EXPECT_EQ(m.triangles[0].normal, (std::array<float, 3>{0, 0, 1}));
  EXPECT_EQ(m.triangles[1].normal, (std::array<float, 3>{0.6f, 0.8f, 0.0f}));
  // Corners so far apart that the cross product overflows, or so close that
  // it underflows, give no direction either.
  for (float scale : {1e30f, 3e38f, 1e-30f}) {
    Model far;
    far.vertexCount = 3;
    far.triangleCount = 1;
    far.frames.push_back({"f", {{-scale, 0, 0}, {scale, 0, 0}, {0, scale, 0}}});
    far.triangles[0].normal = {0.0f, 1.0f, 0.0f};
    computeFaceNormals(far);
    EXPECT_EQ(far.triangles[0].normal, (std::array<float, 3>{0, 1, 0})) << scale;
  }
  // No frame: nothing changes.
  Model empty;
  empty.triangleCount = 1;
  computeFaceNormals(empty);
  EXPECT_EQ(empty.triangles[0].normal, (std::array<float, 3>{0, 0, 0}));
}

}  // namespace
}  // namespace pelt
