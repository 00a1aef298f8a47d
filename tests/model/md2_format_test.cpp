#include "model/md2_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>

#include "skins/byte_order.h"
#include "support/fixtures.h"

namespace pelt {
namespace {

TEST(Md2Format, EncodeAndParseRoundTrip) {
  Md2Data data = test::quadStripMd2(3, 64, 32, {"models/a/skin.pcx", "models\\a\\b.pcx"}, 4);
  data.version = 7;
  data.frames[2].name = "sixteen_chars_xx";  // fills the field without a NUL
  data.glCommands = {3, 0, 0, 1, 0};
  Bytes bytes = encodeMd2(data);
  Md2ParseResult parsed = parseMd2(bytes);
  ASSERT_TRUE(parsed.data) << parsed.message;
  const Md2Data& back = *parsed.data;
  EXPECT_EQ(back.version, 7);
  EXPECT_EQ(back.skinNames, data.skinNames);
  EXPECT_EQ(back.st, data.st);
  ASSERT_EQ(back.triangles.size(), data.triangles.size());
  EXPECT_EQ(back.triangles[5].stIndex, data.triangles[5].stIndex);
  ASSERT_EQ(back.frames.size(), 4u);
  EXPECT_EQ(back.frames[2].name, "sixteen_chars_xx");
  EXPECT_EQ(back.frames[3].translate, data.frames[3].translate);
  EXPECT_EQ(back.frames[1].vertices[3].v, data.frames[1].vertices[3].v);
  EXPECT_EQ(back.glCommands, data.glCommands);
  EXPECT_EQ(encodeMd2(back), bytes);
}

TEST(Md2Format, HeaderLayout) {
  Md2Data data = test::quadStripMd2(1, 64, 32, {"a.pcx"}, 2);
  Bytes b = encodeMd2(data);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "IDP2");
  EXPECT_EQ(readI32(&b[4]), 8);
  EXPECT_EQ(readI32(&b[16]), 40 + 4 * 4);  // frame size
  EXPECT_EQ(readI32(&b[20]), 1);           // skins
  EXPECT_EQ(readI32(&b[24]), 4);           // vertices
  EXPECT_EQ(readI32(&b[28]), 6);           // st
  EXPECT_EQ(readI32(&b[32]), 2);           // triangles
  EXPECT_EQ(readI32(&b[40]), 2);           // frames
  EXPECT_EQ(readI32(&b[44]), 68);          // skin offset
  EXPECT_EQ(readI32(&b[48]), 68 + 64);     // st offset
  EXPECT_EQ(readI32(&b[64]), static_cast<int>(b.size()));
}

TEST(Md2Format, DecodesFramesWithScaleAndTranslate) {
  Md2Frame frame;
  frame.scale = {0.5f, 2.0f, 0.25f};
  frame.translate = {-1.0f, 3.0f, 10.0f};
  frame.vertices = {{{255, 0, 4}, 7}};
  ModelFrame decoded = decodeFrame(frame);
  EXPECT_EQ(decoded.vertices[0], (Vec3{126.5f, 3.0f, 11.0f}));
}

// Every way a file can lie about its contents is refused before anything is
// read from it.
TEST(Md2Format, RefusesDamagedFiles) {
  Bytes good = encodeMd2(test::quadStripMd2(2, 64, 32, {"a.pcx"}, 3));
  auto with = [&](int offset, std::int32_t value) {
    Bytes b = good;
    b[offset] = static_cast<std::uint8_t>(value);
    b[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    b[offset + 2] = static_cast<std::uint8_t>(value >> 16);
    b[offset + 3] = static_cast<std::uint8_t>(value >> 24);
    return b;
  };
  Bytes badVertexIndex = good;
  int triangleOffset = readI32(&good[52]);
  badVertexIndex[triangleOffset] = 200;
  Bytes badStIndex = good;
  badStIndex[triangleOffset + 7] = 0x80;  // negative
  // Scale and translate of the second frame, component k.
  const int secondFrame = readI32(&good[56]) + 40 + 4 * 6;
  auto frameFloat = [&](int field, float value) {
    return with(secondFrame + 4 * field, std::bit_cast<std::int32_t>(value));
  };
  struct Case {
    const char* label;
    Bytes bytes;
    const char* message;
  };
  const Case cases[] = {
      {"IDP3", [&] { Bytes b = good; b[3] = '3'; return b; }(), kNotMd2Message},
      {"short", Bytes(good.begin(), good.begin() + 3), kNotMd2Message},
      {"header only", Bytes(good.begin(), good.begin() + 40), kDamagedMd2Message},
      {"truncated frames", Bytes(good.begin(), good.end() - 1), kDamagedMd2Message},
      {"vertex count", with(24, kMaxVertices + 1), kDamagedMd2Message},
      {"triangle count", with(32, kMaxTriangles + 1), kDamagedMd2Message},
      {"st count", with(28, kMaxStCoords + 1), kDamagedMd2Message},
      {"negative skins", with(20, -1), kDamagedMd2Message},
      {"huge frame count", with(40, 0x7FFFFFFF), kDamagedMd2Message},
      {"st offset", with(48, static_cast<std::int32_t>(good.size())), kDamagedMd2Message},
      {"negative offset", with(52, -12), kDamagedMd2Message},
      {"skin width", with(8, 0), kDamagedMd2Message},
      // Eight names of missing 4096 x 4096 skins: two copies of each stand-in
      // would pass the memory a load may take.
      {"skin memory", [&] {
         Md2Data many = test::quadStripMd2(1, 4096, 4096, std::vector<std::string>(8, "s.pcx"));
         return encodeMd2(many);
       }(), kDamagedMd2Message},
      {"NaN scale", frameFloat(1, std::numeric_limits<float>::quiet_NaN()), kDamagedMd2Message},
      {"infinite translate", frameFloat(5, -std::numeric_limits<float>::infinity()),
       kDamagedMd2Message},
      {"scale overflowing at byte 255", frameFloat(2, 2e36f), kDamagedMd2Message},
      {"translate plus scale overflowing", [&] {
         Bytes b = frameFloat(0, 1e36f);
         const int at = secondFrame + 12;
         const auto bits = std::bit_cast<std::uint32_t>(1e38f);
         for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(bits >> (8 * i));
         return b;
       }(), kDamagedMd2Message},
      {"vertex index", badVertexIndex, kDamagedMd2Message},
      {"st index", badStIndex, kDamagedMd2Message},
  };
  for (const Case& c : cases) {
    Md2ParseResult r = parseMd2(c.bytes);
    EXPECT_FALSE(r.data) << c.label;
    EXPECT_EQ(r.message, c.message) << c.label;
  }
  // The version and the GL command block are not examined; seven stand-ins
  // of the largest skins fit, and so do huge but finite frames.
  EXPECT_TRUE(parseMd2(with(4, 3)).data);
  EXPECT_TRUE(parseMd2(with(36, 100000)).data);
  EXPECT_TRUE(parseMd2(encodeMd2(test::quadStripMd2(1, 4096, 4096, std::vector<std::string>(7, "s"))))
                  .data);
  EXPECT_TRUE(parseMd2(frameFloat(0, 1e20f)).data);
}

}  // namespace
}  // namespace pelt
