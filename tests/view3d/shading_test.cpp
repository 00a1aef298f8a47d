// The brightness curve, lit plane and per-triangle shading.

#include "view3d/shading.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "view3d/shade_tables.h"

namespace pelt {
namespace {

using St = std::array<std::uint8_t, 2>;

TEST(ShadeTables, CurveAndLitPlane) {
  ShadeCurve curve{};
  buildShadeCurve(curve, 1.0);
  const std::set<int> lowered = {33, 37,  41,  45,  49,  53,  57,  61,  66,  74,  82,  90,
                                 98, 106, 114, 122, 132, 148, 164, 180, 196, 212, 228, 244};
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(curve[static_cast<size_t>(i)], lowered.count(i) ? i - 1 : i) << "entry " << i;

  // As the reader leaves it the stored copy holds raw texels, no plane.
  Skin phong;
  allocateSkin(phong, 256, 256);
  phong.storedPixels[5] = 255;
  EXPECT_FALSE(hasLitPlane(phong));
  phong.pixels[1] = 63;
  phong.pixels[2] = 33;
  buildLitPlane(curve, phong);
  EXPECT_EQ(phong.storedPixels[0], 63);
  EXPECT_EQ(phong.storedPixels[1], 63 - (252 >> 2));
  EXPECT_EQ(phong.storedPixels[2], 63 - (131 >> 2));
  EXPECT_TRUE(hasLitPlane(phong));
}

ModelTriangle triangleWith(std::array<float, 3> normal, std::array<std::int16_t, 3> vertices) {
  ModelTriangle tri;
  tri.normal = normal;
  tri.vertexIndex = vertices;
  return tri;
}

TEST(Shading, FlatGouraudAndMapShades) {
  ShadeTables tables;
  tables.lightDirection = {0, 0, 1};
  // Vertex 0 is shared by a lit and a perpendicular face; vertices 8 and 9 are unused.
  std::array<ModelTriangle, 3> tris = {triangleWith({0, 0, 1}, {0, 1, 2}),
                                       triangleWith({1, 0, 0}, {0, 3, 4}),
                                       triangleWith({0, 0, -1}, {5, 6, 7})};
  computeShading(ShadingKind::Flat, tris, 10, tables, false);
  EXPECT_EQ(tris[0].cornerShade[0], 254);
  EXPECT_EQ(tris[1].cornerShade[0], 127);
  EXPECT_EQ(tris[2].cornerShade[0], 0);

  computeShading(ShadingKind::Gouraud, tris, 10, tables, false);
  EXPECT_EQ(tris[0].cornerShade[0], tables.shadeCurve[190]);  // (2 + 1) / 2 * 127
  EXPECT_EQ(tris[1].cornerShade[1], tables.shadeCurve[127]);
  EXPECT_EQ(tris[1].cornerShade[0], tris[0].cornerShade[0]);

  tris[0].mapNormal = {1.0f, 0.0f};    // 256 wraps to 0, 128
  tris[1].mapNormal = {-1.0f, -0.5f};  // 0, 64
  computeShading(ShadingKind::Map, tris, 10, tables, false);
  EXPECT_EQ(tris[0].cornerMapSt[1], (St{0, 128}));
  EXPECT_EQ(tris[1].cornerMapSt[1], (St{0, 64}));
}

// Normals that are not unit vectors (NaN, huge) must still give shades and
// map coordinates in range rather than undefined conversions.
TEST(Shading, OutOfRangeNormalsClampInEveryKind) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  ShadeTables tables;
  tables.lightDirection = {0, 0, 1};
  for (ShadingKind kind : {ShadingKind::Flat, ShadingKind::Gouraud, ShadingKind::Map}) {
    for (bool companion : {false, true}) {
      std::array<ModelTriangle, 3> tris = {triangleWith({nan, nan, nan}, {0, 1, 2}),
                                           triangleWith({0, 0, 1e30f}, {3, 4, 5}),
                                           triangleWith({0, 0, -1e30f}, {6, 7, 8})};
      tris[0].mapNormal = {nan, nan};
      tris[1].mapNormal = {1e30f, -1e30f};
      computeShading(kind, tris, 9, tables, companion);
      if (kind == ShadingKind::Map) {
        EXPECT_EQ(tris[0].cornerMapSt[0], (St{0, 0}));
      } else {
        EXPECT_EQ(tris[0].cornerShade[0], 0);
        EXPECT_EQ(tris[1].cornerShade[0], 255);
        EXPECT_EQ(tris[2].cornerShade[0], 0);
      }
    }
  }
}

}  // namespace
}  // namespace pelt
