#include "model/md2_format.h"

#include <gtest/gtest.h>

#include <bit>

#include "skins/byte_order.h"
#include "support/fixtures.h"

namespace pelt {
namespace {

// Every block survives a parse: the bytes re-encode identically.
TEST(Md2Format, EncodeAndParseRoundTrip) {
  Md2Data data = test::quadStripMd2(3, 64, 32, {"models/a/skin.pcx", "models\\a\\b.pcx"}, 4);
  data.version = 7;
  data.frames[2].name = "sixteen_chars_xx";  // fills the field without a NUL
  data.glCommands = {3, 0, 0, 1, 0};
  Bytes bytes = encodeMd2(data);
  Md2ParseResult parsed = parseMd2(bytes);
  ASSERT_TRUE(parsed.data) << parsed.message;
  EXPECT_EQ(parsed.data->version, 7);
  EXPECT_EQ(parsed.data->skinNames, data.skinNames);
  EXPECT_EQ(parsed.data->frames[2].name, "sixteen_chars_xx");
  EXPECT_EQ(encodeMd2(*parsed.data), bytes);
}

// Refusals are pinned by the malformed corpus, through the loader; these
// are the limits a file may reach and still be read.
TEST(Md2Format, AcceptsWhatTheFormatAllows) {
  Bytes good = encodeMd2(test::quadStripMd2(2, 64, 32, {"a.pcx"}, 3));
  auto with = [&](int offset, std::int32_t value) {
    Bytes b = good;
    for (int i = 0; i < 4; ++i) b[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return b;
  };
  // The version and the GL command block are not examined; seven stand-ins
  // of the largest skins fit the memory a load may take, eight do not.
  EXPECT_TRUE(parseMd2(with(4, 3)).data);
  EXPECT_TRUE(parseMd2(with(36, 100000)).data);
  auto largeSkins = [](int count) {
    return encodeMd2(test::quadStripMd2(1, 4096, 4096, std::vector<std::string>(count, "s")));
  };
  EXPECT_TRUE(parseMd2(largeSkins(7)).data);
  EXPECT_FALSE(parseMd2(largeSkins(8)).data);
  // Huge but finite frames decode to finite coordinates.
  const int secondFrame = readI32(&good[56]) + 40 + 4 * 6;
  Md2ParseResult huge = parseMd2(with(secondFrame, std::bit_cast<std::int32_t>(1e20f)));
  ASSERT_TRUE(huge.data);
  EXPECT_EQ(decodeFrame(huge.data->frames[1]).vertices[2].x, 10 * 1e20f - 8.0f);
}

}  // namespace
}  // namespace pelt
