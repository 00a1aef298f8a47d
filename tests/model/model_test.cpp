// The model's own rules and its two file formats: MD2 and the mapping file.
#include "model/model.h"

#include <gtest/gtest.h>

#include "model/mapping_file.h"
#include "model/md2_format.h"
#include "model/mirror_lookup.h"
#include "support/fixtures.h"

namespace pelt {
namespace {

// Every corner has its own st index; the table comes back without duplicate
// or unused entries, in order of first use.
TEST(ModelMapping, RebuildCompactsInFirstUseOrder) {
  Model m;
  m.triangleCount = 2;
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
  // A triangle mapped onto a line weighs no skin point.
  EXPECT_FALSE(skinWeights(m, 1, 6.0, 6.0));
  m.stCoords[3] = {9, 2};
  EXPECT_EQ(skinWeights(m, 1, 2.0, 2.0), (std::array<double, 3>{1, 0, 0}));
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

// Every block survives a parse: the bytes re-encode identically.
TEST(Md2Format, EncodeAndParseRoundTrip) {
  Md2Data data = test::quadStripMd2(3, 64, 32, {"models/a/skin.pcx", "models\\a\\b.pcx"}, 4);
  data.version = 7;
  data.frames[2].name = "sixteen_chars_xx";  // fills the field without a NUL
  data.glCommands = {3, 0, 0, 1, 0};
  Bytes bytes = encodeMd2(data);
  Md2ParseResult parsed = parseMd2(bytes);
  ASSERT_TRUE(parsed.data) << parsed.message;
  EXPECT_EQ(encodeMd2(*parsed.data), bytes);
  // A model of exactly the most vertices is read.
  EXPECT_TRUE(parseMd2(encodeMd2(test::quadStripMd2(kMaxVertices / 2 - 1, 8, 8))).data);
}

Model oneTriangle() {
  Model m;
  m.triangleCount = 1;
  m.vertexCount = m.stCount = 3;
  m.skinWidth = 256;
  m.skinHeight = 128;
  m.stCoords[0] = {1, 2}, m.stCoords[1] = {-3, 4}, m.stCoords[2] = {300, 6};
  m.triangles[0].stIndex = {0, 1, 2};
  m.triangles[0].vertexIndex = {2, 0, 1};
  rebuildStTable(m);
  return m;
}

TEST(MappingFile, BytesFollowTheLayout) {
  const Bytes expected = {
      'P', 'M', 'A', 'P', 1,    0,    3, 0, 0,  1, 128, 0,   // header
      1,   0,   2,   0,   0xFD, 0xFF, 4, 0, 44, 1, 6,   0,   // corners
      0,   0,   1,   0,   2,    0,    2, 0, 0,  0, 1,   0};  // st, vertex indices
  EXPECT_EQ(encodeMappingFile(oneTriangle()), expected);
}

TEST(MappingFile, RescalesInSinglePrecisionTowardZero) {
  struct Case {
    int value, skin, file;
    std::optional<std::int16_t> expected;
  } cases[] = {{100, 512, 256, 200}, {7, 256, 256, 7}, {-3, 256, 512, -1},  {255, 100, 256, 99},
               {5, 64, 0, {}},       {3, 64, -2, {}},  {32767, 640, 1, {}}, {30000, 1, 2, 15000}};
  for (const Case& c : cases)
    EXPECT_EQ(rescaleMappingCoord(c.value, c.skin, c.file), c.expected) << c.value << "/" << c.file;
}

TEST(MappingFile, RefusesFilesThatDoNotFitTheModel) {
  const Model m = oneTriangle();
  const Bytes good = encodeMappingFile(m);
  auto with = [&](size_t offset, std::int16_t value) {
    Bytes b = good;
    b[offset] = static_cast<std::uint8_t>(value),
    b[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    return b;
  };
  struct Case {
    const char* what;
    Bytes bytes;
    const char* message;
  } cases[] = {
      {"magic", with(0, 'Q'), kNotPmapMessage},
      {"magic only", Bytes(good.begin(), good.begin() + 4), kNotPmapMessage},
      {"triangle count", with(4, 2), kPmapTriangleCountMessage},
      {"cut short", Bytes(good.begin(), good.end() - 1), kNotPmapMessage},
      {"st count above capacity", with(6, kMaxStCoords + 1), kNotPmapMessage},
      {"st index past the table", with(12 + 14, kMaxStCoords), kNotPmapMessage},
      {"negative st index", with(12 + 12, -1), kNotPmapMessage},
      {"vertex index past the frame", with(12 + 22, 3), kNotPmapMessage},
      {"rescale beyond 16 bits", with(8, 1), kNotPmapMessage},
  };
  for (const Case& c : cases) {
    MappingParseResult parsed = parseMappingFile(c.bytes, mappingTargetOf(m, true));
    EXPECT_FALSE(parsed.file) << c.what;
    EXPECT_EQ(parsed.message, c.message) << c.what;
  }
  // Import to Selected reads no index, so none can be out of range.
  EXPECT_TRUE(parseMappingFile(with(12 + 22, 3), mappingTargetOf(m, false)).file);
}

}  // namespace
}  // namespace pelt
