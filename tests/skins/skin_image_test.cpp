#include "skins/skin_image.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "skins/byte_order.h"
#include "support/bmp_rle8.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

using test::patternSkin;
using test::ScriptedPlatform;
using test::TempDir;

// A hand-made PCX: header fields as given, then the stream, marker, palette.
Bytes makePcx(int xmin, int ymin, int xmax, int ymax, int bytesPerLine, const Bytes& stream,
              std::uint8_t bits = 8, std::uint8_t planes = 1, std::uint8_t version = 5) {
  Bytes out = {0x0A, version, 1, bits};
  for (int v : {xmin, ymin, xmax, ymax, 0, 0}) putU16(out, static_cast<std::uint32_t>(v));
  out.resize(65, 0);
  out.push_back(planes);
  putU16(out, static_cast<std::uint32_t>(bytesPerLine));
  out.resize(128, 0);
  out.insert(out.end(), stream.begin(), stream.end());
  out.push_back(0x0C);
  for (int i = 0; i < 768; ++i) out.push_back(static_cast<std::uint8_t>(i / 3));
  return out;
}

Skin decode(const Bytes& bytes) {
  SkinDecodeResult result = decodeSkinImage(bytes);
  EXPECT_TRUE(result.skin) << result.message;
  return result.skin ? *result.skin : Skin{};
}

TEST(SkinImagePcx, WriterLayoutIsExact) {
  Skin skin = patternSkin(4, 2);
  skin.pixels = {0x00, 0xBF, 0xC0, 0xFF, 1, 2, 3, 0xC1};
  Bytes pcx = encodeSkinPcx(skin);
  EXPECT_EQ(pcx[0], 0x0A);
  EXPECT_EQ(pcx[1], 5);
  EXPECT_EQ(pcx[2], 1);
  EXPECT_EQ(pcx[3], 8);
  EXPECT_EQ(readU16(&pcx[8]), 3);    // xmax
  EXPECT_EQ(readU16(&pcx[10]), 1);   // ymax
  EXPECT_EQ(readU16(&pcx[12]), 4);   // resolution fields hold the size
  EXPECT_EQ(readU16(&pcx[14]), 2);
  EXPECT_EQ(pcx[65], 1);
  EXPECT_EQ(readU16(&pcx[66]), 4);
  EXPECT_EQ(readU16(&pcx[68]), 2);
  Bytes stream(pcx.begin() + 128, pcx.end() - 769);
  EXPECT_EQ(stream, (Bytes{0x00, 0xBF, 0xC1, 0xC0, 0xC1, 0xFF, 1, 2, 3, 0xC1, 0xC1}));
  EXPECT_EQ(pcx[pcx.size() - 769], 0x0C);
  EXPECT_TRUE(std::equal(skin.palette.begin(), skin.palette.end(), pcx.end() - 768));
}

TEST(SkinImagePcx, RoundTripsPixelsPaletteAndSize) {
  for (int width : {1, 3, 4, 17, 256}) {
    Skin skin = patternSkin(width, 5, width);
    Skin back = decode(encodeSkinPcx(skin));
    EXPECT_EQ(back.width, width);
    EXPECT_EQ(back.height, 5);
    EXPECT_EQ(back.pixels, skin.pixels);
    EXPECT_EQ(back.storedPixels, skin.pixels);
    EXPECT_EQ(back.palette, skin.palette);
    EXPECT_EQ(back.fileFormat, kFormatPcx);
    ASSERT_EQ(back.rowOffsets.size(), 5u);
    EXPECT_EQ(back.rowOffsets[4], 4 * width);
  }
}

TEST(SkinImagePcx, DecodesRunsOriginsAndPaddedRows) {
  // 3 x 2 image, bytes per line 4 (one pad byte a row), a run crossing rows.
  Skin padded = decode(makePcx(10, 20, 12, 21, 4, {0xC3, 7, 0xC2, 9, 5, 6, 0xC1, 0xEE}));
  EXPECT_EQ(padded.width, 3);
  EXPECT_EQ(padded.height, 2);
  EXPECT_EQ(padded.pixels, (std::vector<std::uint8_t>{7, 7, 7, 9, 5, 6}));
  // A run of length 0 writes nothing; a run past the end is cut.
  Skin zeroRun = decode(makePcx(0, 0, 1, 0, 2, {0xC0, 1, 4, 0xC5, 3}));
  EXPECT_EQ(zeroRun.pixels, (std::vector<std::uint8_t>{4, 3}));
  EXPECT_EQ(zeroRun.palette[3 * 200], 200);
  // A short stream leaves the rest 0.
  Skin truncated = decode(makePcx(0, 0, 3, 1, 4, {9}));
  EXPECT_EQ(truncated.pixels, (std::vector<std::uint8_t>{9, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(SkinImageRefusals, GiveTheirMessages) {
  struct Case {
    const char* label;
    Bytes bytes;
    const char* message;
  };
  Bytes bmp24 = encodeSkinBmp(patternSkin(4, 4));
  bmp24[28] = 24;
  Bytes rle4 = encodeSkinBmp(patternSkin(4, 4));
  rle4[30] = 2;
  const Case cases[] = {
      {"gif", {'G', 'I', 'F', '8', '9', 'a'}, kNotValidSkinMessage},
      {"empty", {}, kNotValidSkinMessage},
      {"pcx version 3", makePcx(0, 0, 1, 1, 2, {1, 2, 3, 4}, 8, 1, 3), kNotValidSkinMessage},
      {"pcx 24-bit", makePcx(0, 0, 1, 1, 2, {1, 2, 3, 4}, 8, 3), kPcxNot8BitMessage},
      {"pcx 1-bit", makePcx(0, 0, 1, 1, 2, {1, 2, 3, 4}, 1, 1), kPcxNot8BitMessage},
      {"pcx inverted box", makePcx(5, 0, 1, 1, 2, {1}), kNotValidSkinMessage},
      {"pcx huge", makePcx(0, 0, 30000, 30000, 30001, {1}), kImageTooLargeMessage},
      {"pcx short header", {0x0A, 0x05, 1, 8}, kNotValidSkinMessage},
      {"bmp 24-bit", bmp24, kBmpNot8BitMessage},
      {"bmp compressed", rle4, kBmpCompressedMessage},
      {"bmp short", {'B', 'M', 0, 0}, kNotValidSkinMessage},
  };
  for (const Case& c : cases) {
    SkinDecodeResult result = decodeSkinImage(c.bytes);
    EXPECT_FALSE(result.skin) << c.label;
    EXPECT_EQ(result.message, c.message) << c.label;
  }
}

TEST(SkinImageBmp, WriterLayoutIsExactForMultiplesOfFour) {
  Skin skin = patternSkin(8, 3);
  Bytes bmp = encodeSkinBmp(skin);
  ASSERT_EQ(bmp.size(), 8u * 3 + 1078);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(readU32(&bmp[2]), 8u * 3 + 1078);
  EXPECT_EQ(readU32(&bmp[10]), 1078u);
  EXPECT_EQ(readU32(&bmp[14]), 40u);
  EXPECT_EQ(readI32(&bmp[18]), 8);
  EXPECT_EQ(readI32(&bmp[22]), 3);
  EXPECT_EQ(readU16(&bmp[28]), 8);
  EXPECT_EQ(readU32(&bmp[34]), 0u);
  EXPECT_EQ(readU32(&bmp[38]), 100u);
  EXPECT_EQ(readU32(&bmp[46]), 0u);
  // Colour entry 5 is blue, green, red, 0.
  EXPECT_EQ(bmp[54 + 20], skin.palette[17]);
  EXPECT_EQ(bmp[54 + 22], skin.palette[15]);
  EXPECT_EQ(bmp[54 + 23], 0);
  // The bottom image row comes first.
  EXPECT_TRUE(std::equal(bmp.begin() + 1078, bmp.begin() + 1086, skin.pixels.begin() + 16));
}

TEST(SkinImageBmp, RoundTripsOddWidthsWithPaddedRows) {
  for (int width : {1, 3, 5, 6, 255}) {
    Skin skin = patternSkin(width, 7, 3);
    Bytes bmp = encodeSkinBmp(skin);
    EXPECT_EQ(bmp.size(), 1078u + ((width + 3) / 4 * 4) * 7u);
    Skin back = decode(bmp);
    EXPECT_EQ(back.pixels, skin.pixels) << width;
    EXPECT_EQ(back.palette, skin.palette);
    EXPECT_EQ(back.fileFormat, kFormatBmp);
  }
}

TEST(SkinImageBmp, ReadsTopDownShortPalettesAndTruncatedFiles) {
  Skin skin = patternSkin(4, 3);
  Bytes bmp = encodeSkinBmp(skin);
  // Top-down: negative height, rows in display order.
  Bytes topDown(bmp.begin(), bmp.begin() + 1078);
  putU32(topDown, 0);
  topDown.resize(1078);
  Bytes header = topDown;
  header[22] = 0xFD;
  header[23] = header[24] = header[25] = 0xFF;  // -3
  header.insert(header.end(), skin.pixels.begin(), skin.pixels.end());
  EXPECT_EQ(decode(header).pixels, skin.pixels);

  // Sixteen colours: entries 16.. are not taken from the file.
  Bytes sixteen = bmp;
  sixteen[46] = 16;
  Skin s16 = decode(sixteen);
  EXPECT_EQ(s16.palette[15 * 3], skin.palette[15 * 3]);
  EXPECT_EQ(s16.palette[16 * 3 + 1], 0);

  // A file cut inside the pixels reads the rest as 0.
  Bytes cut(bmp.begin(), bmp.begin() + 1078 + 4);
  Skin partial = decode(cut);
  EXPECT_TRUE(std::equal(partial.pixels.begin() + 8, partial.pixels.end(), skin.pixels.begin() + 8));
  EXPECT_EQ(partial.pixels[0], 0);
}

// Compressed 8-bit BMPs as image tools write them by default.
TEST(SkinImageBmp, ReadsRle8RunsLiteralsAndMoves) {
  struct Case {
    const char* what;
    Bytes stream;
    std::array<std::uint8_t, 12> expected;  // 4 x 3, top row first
  };
  const Case cases[] = {
      {"runs, literal group clipped at the row, end of line, end of bitmap",
       {2, 5, 0, 3, 1, 2, 3, 0, 0, 0, 4, 7, 0, 0, 1, 9, 0, 1, 3, 3},
       {9, 0, 0, 0, 7, 7, 7, 7, 5, 5, 1, 2}},
      {"a run past the row end never wraps", {200, 6, 0, 0, 1, 8},
       {0, 0, 0, 0, 8, 0, 0, 0, 6, 6, 6, 6}},
      {"delta moves right and to the next rows", {1, 1, 0, 2, 2, 1, 1, 4},
       {0, 0, 0, 0, 0, 0, 0, 4, 1, 0, 0, 0}},
      {"moves past the image write nothing",
       {0, 2, 250, 0, 5, 5, 0, 0, 0, 2, 0, 9, 5, 5},
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"data cut inside a literal group", {0, 6, 1, 2}, {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 0, 0}},
      {"data cut inside a delta", {1, 3, 0, 2, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0}},
  };
  Skin blank = patternSkin(4, 3);
  for (const Case& c : cases) {
    Skin skin = decode(test::bmpRle8File(blank, c.stream));
    EXPECT_EQ(skin.pixels, Bytes(c.expected.begin(), c.expected.end())) << c.what;
    EXPECT_EQ(skin.palette, blank.palette) << c.what;
    EXPECT_EQ(skin.storedPixels, skin.pixels) << c.what;
  }
}

TEST(SkinImageFiles, ReadAndWriteThroughThePlatform) {
  TempDir dir;
  ScriptedPlatform platform;
  Skin skin = patternSkin(16, 8);
  ASSERT_TRUE(writeSkinBmp(platform, skin, dir.file("a.bmp")));
  EXPECT_EQ(skin.fileFormat, kFormatBmp);
  auto read = readSkinImage(platform, dir.file("a.bmp"));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->name, dir.file("a.bmp"));
  EXPECT_EQ(read->filePath, dir.file("a.bmp"));
  EXPECT_TRUE(read->hasFile);
  EXPECT_EQ(read->unlinked, 0u);

  // Missing file: nothing, no message. Bad file: the decoder's message.
  EXPECT_FALSE(readSkinImage(platform, dir.file("missing.pcx")));
  EXPECT_TRUE(platform.messages.empty());
  dir.write("bad.pcx", {1, 2, 3});
  EXPECT_FALSE(readSkinImage(platform, dir.file("bad.pcx")));
  EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{kNotValidSkinMessage});

  // A failed write names errno and keeps the old file and the skin's format.
  skin.fileFormat = kFormatBmp;
  EXPECT_FALSE(writeSkinPcx(platform, skin, dir.file("no/such/folder/x.pcx")));
  EXPECT_EQ(platform.messages.back().text, "Error Saving: 2");
  EXPECT_EQ(skin.fileFormat, kFormatBmp);
}

// Interchange with a common image tool, when it is installed.
class ImageMagickInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kConvert)) GTEST_SKIP() << "ImageMagick not installed";
  }
  static int run(const std::string& args) {
    return std::system((std::string(kConvert) + " " + args + " 2>/dev/null").c_str());
  }
  static constexpr const char* kConvert = "/usr/bin/convert";
  TempDir dir;
  ScriptedPlatform platform;
};

TEST_F(ImageMagickInterop, ToolReadsOurSkinsWithIdenticalPixels) {
  Skin skin = patternSkin(13, 9);
  for (int i = 0; i < 256; ++i) skin.palette[i * 3 + 2] = static_cast<std::uint8_t>(255 - i);
  ASSERT_TRUE(writeSkinPcx(platform, skin, dir.file("ours.pcx")));
  ASSERT_TRUE(writeSkinBmp(platform, skin, dir.file("ours.bmp")));
  for (const char* name : {"ours.pcx", "ours.bmp"}) {
    ASSERT_EQ(run(dir.file(name) + " -depth 8 rgb:" + dir.file("out.rgb")), 0) << name;
    FileReadResult rgb = readWholeFile(dir.file("out.rgb"));
    ASSERT_EQ(rgb.bytes.size(), skin.pixels.size() * 3) << name;
    for (size_t i = 0; i < skin.pixels.size(); ++i)
      for (int c = 0; c < 3; ++c)
        ASSERT_EQ(rgb.bytes[i * 3 + c], skin.palette[skin.pixels[i] * 3 + c]) << name << " " << i;
  }
}

TEST_F(ImageMagickInterop, WeReadTheToolsPalettedFiles) {
  // A picture with runs and forty colours: the tool writes real RLE runs,
  // padded rows and a short colour table.
  const int width = 21, height = 11;
  Bytes ppm;
  std::string header = "P6 " + std::to_string(width) + " " + std::to_string(height) + " 255\n";
  ppm.assign(header.begin(), header.end());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      int band = (x / 2 + y * 3) % 40;
      ppm.insert(ppm.end(), {static_cast<std::uint8_t>(band * 6), static_cast<std::uint8_t>(240 - band * 5),
                             static_cast<std::uint8_t>(band % 3 * 100)});
    }
  dir.write("in.ppm", ppm);
  for (const char* target : {"PCX:", "-compress none BMP3:", "BMP3:"}) {
    std::string out = dir.file(std::string("tool") + std::to_string(std::strlen(target)) +
                               (target[0] == 'P' ? ".pcx" : ".bmp"));
    ASSERT_EQ(run(dir.file("in.ppm") + " -type Palette " + target + out), 0);
    auto skin = readSkinImage(platform, out);
    ASSERT_TRUE(skin) << out;
    ASSERT_EQ(skin->width, width);
    ASSERT_EQ(skin->height, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* want = &ppm[header.size() + (static_cast<size_t>(y) * width + x) * 3];
        const std::uint8_t* got = &skin->palette[skin->pixel(x, y) * 3];
        ASSERT_EQ(Bytes(got, got + 3), Bytes(want, want + 3)) << out << " " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace pelt
