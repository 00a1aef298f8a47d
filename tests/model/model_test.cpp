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

// Unit normals from the frame; a triangle without a direction keeps its old
// one: collinear corners, a cross product that overflows or underflows.
TEST(ModelNormals, UnitNormalsAndDegenerateTrianglesKeepTheirs) {
  const std::array<float, 3> kept{0.6f, 0.8f, 0.0f}, up{0, 0, 1};
  const float big = 1e30f, huge = 3e38f, tiny = 1e-30f;
  const std::pair<std::vector<Vec3>, std::array<float, 3>> cases[] = {
      {{{0, 0, 0}, {2, 0, 0}, {0, 3, 0}}, up},
      {{{0, 0, 0}, {2, 0, 0}, {4, 0, 0}}, kept},
      {{{-big, 0, 0}, {big, 0, 0}, {0, big, 0}}, kept},
      {{{-huge, 0, 0}, {huge, 0, 0}, {0, huge, 0}}, kept},
      {{{-tiny, 0, 0}, {tiny, 0, 0}, {0, tiny, 0}}, kept}};
  for (const auto& [corners, expected] : cases) {
    Model m;
    m.vertexCount = 3;
    m.triangleCount = 1;
    m.frames.push_back({"f", corners});
    m.triangles[0].vertexIndex = {0, 1, 2};
    m.triangles[0].normal = kept;
    computeFaceNormals(m);
    EXPECT_EQ(m.triangles[0].normal, expected) << corners[1].x;
  }
}

}  // namespace
}  // namespace pelt
