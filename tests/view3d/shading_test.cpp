// The brightness curve, colour ramps, lit plane and per-triangle shading.

#include "view3d/shading.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "view3d/shade_tables.h"

namespace pelt {
namespace {

TEST(ShadeCurve, ExponentOneLowersExactlyTwentyFourEntriesAndTwoSquares) {
  ShadeCurve curve{};
  buildShadeCurve(curve, 1.0);
  const std::set<int> lowered = {33,  37,  41,  45,  49,  53,  57,  61,  66,  74,  82,  90,
                                 98,  106, 114, 122, 132, 148, 164, 180, 196, 212, 228, 244};
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(curve[static_cast<size_t>(i)], lowered.count(i) ? i - 1 : i) << "entry " << i;
  buildShadeCurve(curve, 2.0);
  EXPECT_EQ(curve[0], 0);
  EXPECT_EQ(curve[64], 16);
  EXPECT_EQ(curve[128], 64);
  EXPECT_EQ(curve[255], 255);
}

TEST(ShadeRamps, StartBlackAndKeepTheSlotHue) {
  ShadeTables tables;
  Palette palette{};
  palette[10 * 3 + 0] = 200;  // a red
  palette[10 * 3 + 1] = 40;
  palette[10 * 3 + 2] = 40;
  buildShadeRamps(tables, &palette, {10, 0, 255});
  for (const ShadeRamp& ramp : tables.shadeRamps) {
    EXPECT_EQ(ramp[0], 0);
    EXPECT_EQ(ramp[1], 0);
    EXPECT_EQ(ramp[2], 0);
  }
  const ShadeRamp& red = tables.shadeRamps[0];
  // Step 63 uses curve[252] = 252: value 252/256 of the colour's.
  EXPECT_EQ(red[63 * 3 + 0], 196);
  EXPECT_EQ(red[63 * 3 + 1], 39);
  EXPECT_EQ(red[63 * 3 + 2], 39);

  // Without a skin the slot index is its own grey.
  buildShadeRamps(tables, nullptr, {128, 0, 0});
  EXPECT_EQ(tables.shadeRamps[0][63 * 3], tables.shadeRamps[0][63 * 3 + 2]);
  EXPECT_EQ(tables.shadeRamps[0][63 * 3], 126);
}

TEST(LitPlane, BrightTexelsBecomeLowLevels) {
  ShadeCurve curve{};
  buildShadeCurve(curve, 1.0);
  Skin phong;
  allocateSkin(phong, 256, 256);
  // As the reader leaves it: the stored copy holds raw texels, no plane.
  phong.storedPixels[5] = 255;
  EXPECT_FALSE(hasLitPlane(phong));
  phong.pixels[0] = 0;
  phong.pixels[1] = 63;
  phong.pixels[2] = 33;
  buildLitPlane(curve, phong);
  EXPECT_EQ(phong.storedPixels[0], 63);
  EXPECT_EQ(phong.storedPixels[1], 63 - (252 >> 2));
  EXPECT_EQ(phong.storedPixels[2], 63 - (curve[132] >> 2));  // 131 >> 2
  EXPECT_TRUE(hasLitPlane(phong));
}

ModelTriangle triangleWith(std::array<float, 3> normal, std::array<std::int16_t, 3> vertices) {
  ModelTriangle tri;
  tri.normal = normal;
  tri.vertexIndex = vertices;
  return tri;
}

TEST(Shading, FlatShadeRunsFromZeroAwayFromTheLightTo254) {
  ShadeTables tables;
  tables.lightDirection = {0, 0, 1};
  std::array<ModelTriangle, 3> tris = {triangleWith({0, 0, 1}, {0, 1, 2}),
                                       triangleWith({0, 0, -1}, {0, 1, 2}),
                                       triangleWith({1, 0, 0}, {0, 1, 2})};
  computeShading(ShadingKind::Flat, tris, 3, tables, false);
  EXPECT_EQ(tris[0].cornerShade[0], 254);
  EXPECT_EQ(tris[1].cornerShade[0], 0);
  EXPECT_EQ(tris[2].cornerShade[0], 127);

  // A companion's flat shade goes through the curve.
  buildShadeCurve(tables.shadeCurve, 2.0);
  computeShading(ShadingKind::Flat, tris, 3, tables, true);
  EXPECT_EQ(tris[2].cornerShade[0], tables.shadeCurve[127]);
}

TEST(Shading, GouraudAveragesSharedVerticesAndSkipsUnusedOnes) {
  ShadeTables tables;
  tables.lightDirection = {0, 0, 1};
  // Vertex 0 is shared by a lit and a perpendicular face; vertices 5..9 are unused.
  std::array<ModelTriangle, 2> tris = {triangleWith({0, 0, 1}, {0, 1, 2}),
                                       triangleWith({1, 0, 0}, {0, 3, 4})};
  computeShading(ShadingKind::Gouraud, tris, 10, tables, false);
  EXPECT_EQ(tris[0].cornerShade[0], tables.shadeCurve[190]);  // (2 + 1) / 2 * 127
  EXPECT_EQ(tris[0].cornerShade[1], tables.shadeCurve[254]);
  EXPECT_EQ(tris[1].cornerShade[1], tables.shadeCurve[127]);
  EXPECT_EQ(tris[1].cornerShade[0], tris[0].cornerShade[0]);
}

TEST(Shading, MapCoordinatesAverageAndAFullNormalWrapsToZero) {
  ShadeTables tables;
  std::array<ModelTriangle, 2> tris = {triangleWith({}, {0, 1, 2}), triangleWith({}, {0, 3, 4})};
  tris[0].mapNormal = {1.0f, 0.0f};     // 256, 128
  tris[1].mapNormal = {-1.0f, -0.5f};   // 0, 64
  computeShading(ShadingKind::Map, tris, 5, tables, false);
  EXPECT_EQ(tris[0].cornerMapSt[1], (std::array<std::uint8_t, 2>{0, 128}));
  EXPECT_EQ(tris[1].cornerMapSt[1], (std::array<std::uint8_t, 2>{0, 64}));
  EXPECT_EQ(tris[0].cornerMapSt[0], (std::array<std::uint8_t, 2>{128, 96}));
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
        EXPECT_EQ(tris[0].cornerMapSt[0], (std::array<std::uint8_t, 2>{0, 0}));
      } else {
        EXPECT_EQ(tris[0].cornerShade[0], 0);
        EXPECT_EQ(tris[1].cornerShade[0], 255);
        EXPECT_EQ(tris[2].cornerShade[0], 0);
      }
    }
  }
}

TEST(Shading, AFaceTowardTheEyeSamplesTheEnvironmentMapCentre) {
  const ViewBasis basis = computeViewBasis({100, 0, 0}, {0, 0, 0});
  // Face normals of triangles drawn clockwise point away from the eye.
  std::array<ModelTriangle, 1> tris = {triangleWith({-1, 0, 0}, {0, 1, 2})};
  writeMapNormals(tris, environmentAngles(basis));
  computeShading(ShadingKind::Map, tris, 3, ShadeTables{}, false);
  EXPECT_EQ(tris[0].cornerMapSt[0], (std::array<std::uint8_t, 2>{128, 128}));
}

}  // namespace
}  // namespace pelt
