#include "model/model.h"

#include <gtest/gtest.h>

namespace pelt {
namespace {

// Every corner has its own st index; the table comes back without duplicate
// or unused entries, in order of first use.
TEST(ModelMapping, RebuildCompactsInFirstUseOrder) {
  Model m;
  m.triangleCount = 2;
  m.vertexCount = 4;
  m.stCount = 7;
  const StCoord corners[] = {{5, 5}, {1, 1}, {2, 2}, {2, 2}, {9, 9}, {5, 5}, {50, 50}};
  std::copy(std::begin(corners), std::end(corners), m.stCoords.begin());
  m.triangles[0].stIndex = {0, 1, 2};
  m.triangles[1].stIndex = {3, 4, 5};
  rebuildStTable(m);
  EXPECT_EQ(std::vector<StCoord>(m.stCoords.begin(), m.stCoords.begin() + m.stCount),
            (std::vector<StCoord>{{5, 5}, {1, 1}, {2, 2}, {9, 9}}));
  EXPECT_EQ(m.triangles[1].stIndex, (std::array<std::int16_t, 3>{2, 3, 0}));
  EXPECT_EQ(m.triangles[1].cornerSt, (std::array<StCoord, 3>{{{2, 2}, {9, 9}, {5, 5}}}));
}

TEST(ModelNormals, UnitNormalsAndDegenerateTrianglesKeepTheirs) {
  constexpr float big = 1e30f, huge = 3e38f, tiny = 1e-30f;
  struct Case {
    std::vector<Vec3> corners;  // none: the model has no frame
    std::array<float, 3> expected;
  } cases[] = {
      {{{0, 0, 0}, {2, 0, 0}, {0, 3, 0}}, {0, 0, 1}},
      {{{0, 0, 0}, {2, 0, 0}, {4, 0, 0}}, {0.6f, 0.8f, 0}},  // collinear
      // A cross product that overflows or underflows gives no direction either.
      {{{-big, 0, 0}, {big, 0, 0}, {0, big, 0}}, {0.6f, 0.8f, 0}},
      {{{-huge, 0, 0}, {huge, 0, 0}, {0, huge, 0}}, {0.6f, 0.8f, 0}},
      {{{-tiny, 0, 0}, {tiny, 0, 0}, {0, tiny, 0}}, {0.6f, 0.8f, 0}},
      {{}, {0.6f, 0.8f, 0}},
  };
  for (const Case& c : cases) {
    Model m;
    m.vertexCount = 3;
    m.triangleCount = 1;
    if (!c.corners.empty()) m.frames.push_back({"f", c.corners});
    m.triangles[0].vertexIndex = {0, 1, 2};
    m.triangles[0].normal = {0.6f, 0.8f, 0.0f};
    computeFaceNormals(m);
    EXPECT_EQ(m.triangles[0].normal, c.expected) << ::testing::PrintToString(c.corners);
  }
}

}  // namespace
}  // namespace pelt
