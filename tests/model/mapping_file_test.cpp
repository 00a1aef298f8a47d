// The mapping file's bytes and its refusals of files that do not fit.
#include "model/mapping_file.h"

#include <gtest/gtest.h>

namespace pelt {
namespace {

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
  Bytes longer = good;
  longer.push_back(0);
  struct Case {
    const char* what;
    Bytes bytes;
    const char* message;
  } cases[] = {
      {"magic", with(0, 'Q'), kNotPmapMessage},
      {"magic only", Bytes(good.begin(), good.begin() + 4), kNotPmapMessage},
      {"triangle count", with(4, 2), kPmapTriangleCountMessage},
      {"cut short", Bytes(good.begin(), good.end() - 1), kNotPmapMessage},
      {"bytes after the records", longer, kNotPmapMessage},
      {"st count above capacity", with(6, kMaxStCoords + 1), kNotPmapMessage},
      {"st index past the table", with(12 + 14, kMaxStCoords), kNotPmapMessage},
      {"negative st index", with(12 + 12, -1), kNotPmapMessage},
      {"vertex index past the frame", with(12 + 22, 3), kNotPmapMessage},
      {"zero width to rescale from", with(8, 0), kNotPmapMessage},
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
