// Skin images and palettes in their files, and the paint rule.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/settings_keys.h"
#include "skins/byte_order.h"
#include "skins/colour_reduction.h"
#include "skins/paint_rule.h"
#include "skins/palette_file.h"
#include "skins/png_file.h"
#include "skins/skin_image.h"
#include "skins/tga_file.h"
#include "support/bmp_rle8.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

using test::patternSkin;
using test::ScriptedPlatform;
using test::TempDir;

// A hand-made PCX: header fields as given, then the stream, marker, palette.
Bytes makePcx(int xmin, int ymin, int xmax, int ymax, int bytesPerLine, const Bytes& stream) {
  Bytes out = {0x0A, 5, 1, 8};
  for (int v : {xmin, ymin, xmax, ymax, 0, 0}) putU16(out, static_cast<std::uint32_t>(v));
  out.resize(65, 0);
  out.push_back(1);
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

TEST(SkinImage, WritersLayOutTheBytesExactly) {
  Skin skin = patternSkin(4, 2);
  skin.pixels = {0x00, 0xBF, 0xC0, 0xFF, 1, 2, 3, 0xC1};
  Bytes pcx = encodeSkinPcx(skin);
  // The resolution fields hold the size.
  EXPECT_EQ(Bytes(pcx.begin(), pcx.begin() + 16),
            (Bytes{0x0A, 5, 1, 8, 0, 0, 0, 0, 3, 0, 1, 0, 4, 0, 2, 0}));
  EXPECT_EQ(Bytes(pcx.begin() + 65, pcx.begin() + 70), (Bytes{1, 4, 0, 2, 0}));
  EXPECT_EQ(Bytes(pcx.begin() + 128, pcx.end() - 768),
            (Bytes{0x00, 0xBF, 0xC1, 0xC0, 0xC1, 0xFF, 1, 2, 3, 0xC1, 0xC1, 0x0C}));
  EXPECT_TRUE(std::equal(skin.palette.begin(), skin.palette.end(), pcx.end() - 768));

  skin = patternSkin(8, 3);
  Bytes bmp = encodeSkinBmp(skin);
  ASSERT_EQ(bmp.size(), 8u * 3 + 1078);
  EXPECT_EQ(Bytes(bmp.begin(), bmp.begin() + 54),
            (Bytes{'B', 'M', 0x4E, 4, 0, 0, 0,   0, 0, 0, 0x36, 4, 0, 0, 40, 0, 0, 0,
                   8,   0,   0,    0, 3, 0, 0,   0, 1, 0, 8,    0, 0, 0, 0,  0, 0, 0,
                   0,   0,   100,  0, 0, 0, 100, 0, 0, 0, 0,    0, 0, 0, 0,  0, 0, 0}));
  // Colour entry 5 is blue, green, red, 0; the bottom image row comes first.
  EXPECT_EQ(Bytes(bmp.begin() + 74, bmp.begin() + 78),
            (Bytes{skin.palette[17], skin.palette[16], skin.palette[15], 0}));
  EXPECT_TRUE(std::equal(bmp.begin() + 1078, bmp.begin() + 1086, skin.pixels.begin() + 16));
}

// Hand-made files, as other tools write them, and damaged ones.
TEST(SkinImage, DecodesHandMadeFiles) {
  const Skin blank = patternSkin(4, 3);
  const Bytes bmp = encodeSkinBmp(blank);
  Bytes topDown(bmp.begin(), bmp.begin() + 1078);
  topDown[22] = 0xFD;
  topDown[23] = topDown[24] = topDown[25] = 0xFF;  // height -3: rows in display order
  topDown.insert(topDown.end(), blank.pixels.begin(), blank.pixels.end());
  Bytes bottomRowOnly(8, 0);
  bottomRowOnly.insert(bottomRowOnly.end(), blank.pixels.begin() + 8, blank.pixels.end());
  auto rle = [&](const Bytes& stream) { return test::bmpRle8File(blank, stream); };
  const Skin large = patternSkin(64, 32);
  const Bytes pcx = encodeSkinPcx(large);
  struct Case {
    const char* what;
    Bytes file;
    Bytes pixels;  // top row first
  };
  const Case cases[] = {
      {"PCX 3 x 2 off the origin, a pad byte a row, a run crossing rows",
       makePcx(10, 20, 12, 21, 4, {0xC3, 7, 0xC2, 9, 5, 6, 0xC1, 0xEE}),
       {7, 7, 7, 9, 5, 6}},
      {"PCX run of length 0 writes nothing, a run past the end is cut",
       makePcx(0, 0, 1, 0, 2, {0xC0, 1, 4, 0xC5, 3}),
       {4, 3}},
      {"PCX without the palette after its pixels", Bytes(pcx.begin(), pcx.end() - 769),
       large.pixels},
      {"BMP top-down", topDown, blank.pixels},
      {"BMP cut after the bottom row", Bytes(bmp.begin(), bmp.begin() + 1078 + 4), bottomRowOnly},
      // Compressed 8-bit BMPs, as image tools write them by default.
      {"RLE8 runs, literal group clipped at the row, end of line, end of bitmap",
       rle({2, 5, 0, 3, 1, 2, 3, 0, 0, 0, 4, 7, 0, 0, 1, 9, 0, 1, 3, 3}),
       {9, 0, 0, 0, 7, 7, 7, 7, 5, 5, 1, 2}},
      {"RLE8 run past the row end never wraps",
       rle({200, 6, 0, 0, 1, 8}),
       {0, 0, 0, 0, 8, 0, 0, 0, 6, 6, 6, 6}},
      {"RLE8 delta moves right and to the next rows",
       rle({1, 1, 0, 2, 2, 1, 1, 4}),
       {0, 0, 0, 0, 0, 0, 0, 4, 1, 0, 0, 0}},
      {"RLE8 data cut inside a literal group",
       rle({0, 6, 1, 2}),
       {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 0, 0}},
  };
  for (const Case& c : cases) {
    Skin skin = decode(c.file);
    EXPECT_EQ(skin.pixels, c.pixels) << c.what;
    EXPECT_EQ(skin.storedPixels, skin.pixels) << c.what;
  }
}

// A common image tool, when it is installed, reads our skins with identical
// colours, odd widths included.
TEST(SkinImageFiles, ImageMagickReadsOurSkins) {
  const std::string convert = "/usr/bin/convert";
  if (!std::filesystem::exists(convert)) GTEST_SKIP() << "ImageMagick not installed";
  TempDir dir;
  ScriptedPlatform platform;
  Skin skin = patternSkin(13, 9);
  ASSERT_TRUE(writeSkinPcx(platform, skin, dir.file("ours.pcx")));
  ASSERT_TRUE(writeSkinBmp(platform, skin, dir.file("ours.bmp")));
  ASSERT_TRUE(writeSkinInFormat(platform, skin, dir.file("ours.png"), kFormatPng));
  ASSERT_TRUE(writeSkinInFormat(platform, skin, dir.file("ours.tga"), kFormatTga));
  for (const char* name : {"ours.pcx", "ours.bmp", "ours.png", "ours.tga"}) {
    const std::string args = dir.file(name) + " -depth 8 rgb:" + dir.file("out.rgb");
    ASSERT_EQ(std::system((convert + " " + args + " 2>/dev/null").c_str()), 0) << name;
    Bytes rgb = readWholeFile(dir.file("out.rgb")).bytes;
    ASSERT_EQ(rgb.size(), skin.pixels.size() * 3) << name;
    for (size_t i = 0; i < rgb.size(); ++i)
      ASSERT_EQ(rgb[i], skin.palette[skin.pixels[i / 3] * 3 + i % 3]) << name << " " << i;
  }
}

TEST(PaletteFile, ReadsActPcxBmpPngAndTgaPalettes) {
  const Skin skin = patternSkin(4, 4);
  // 768 bytes is an ACT whatever it holds, even a PCX signature.
  Bytes act(768, 9);
  act[0] = 0x0A, act[1] = 0x05;
  Palette fromAct, fromBmp16 = skin.palette;
  std::copy(act.begin(), act.end(), fromAct.begin());
  // Sixteen colours used: entries from 16 on keep their values.
  Bytes bmp16 = encodeSkinBmp(skin);
  bmp16[46] = 16;
  std::fill(fromBmp16.begin() + 16 * 3, fromBmp16.end(), 1);
  for (const auto& [bytes, expected] : {std::pair{act, fromAct},
                                        {encodeSkinPcx(skin), skin.palette},
                                        {bmp16, fromBmp16},
                                        {encodeSkinPng(skin), skin.palette},
                                        {encodeSkinTga(skin), skin.palette}}) {
    Palette p;
    p.fill(1);
    ASSERT_TRUE(decodePaletteFile(bytes, p));
    EXPECT_EQ(p, expected);
  }
  Palette untouched{};
  EXPECT_FALSE(decodePaletteFile(encodeRgbPng(pictureOfSkin(skin)), untouched));  // no palette
  // Refused: a BMP of another depth, one cut inside its colour table.
  Bytes deep = encodeSkinBmp(skin), cut(deep.begin(), deep.begin() + 1077);
  deep[28] = 24;
  for (const Bytes& bytes : {deep, cut}) EXPECT_FALSE(decodePaletteFile(bytes, fromAct));
}

// The palette path's file serves; unset, the game's colormap below the base
// folder does, where there is one; otherwise the grey ramp, and no light table.
TEST(PaletteFile, DefaultsComeFromThePalettePathOrTheGameOrTheGreyRamp) {
  TempDir dir;
  ScriptedPlatform platform;
  const Skin colormap = patternSkin(256, 64);
  const std::string own = dir.write("colormap.pcx", encodeSkinPcx(colormap));
  dir.write("pics/colormap.pcx", encodeSkinPcx(colormap));
  struct Case {
    std::string palettePath, baseDir;
    bool found;
  } cases[] = {{"", "", false},
               {own, "", true},
               {dir.file("gone.pcx"), "", false},
               {"", dir.file("bare"), false},
               {"", dir.path(), true}};
  std::string base;
  GameFileSystem files(base, platform);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.palettePath + "|" + c.baseDir);
    platform.writeString(settings::kPreferences, settings::kPalettePath, c.palettePath);
    base = c.baseDir;
    Palette p;
    p.fill(3);
    loadDefaultPalette(platform, files, p);
    EXPECT_EQ(p, c.found ? colormap.palette : greyRampPalette());
    auto table = loadDefaultColormap(platform, files);
    EXPECT_EQ(table ? table->pixels : Bytes{}, c.found ? colormap.pixels : Bytes{});
  }
  EXPECT_TRUE(platform.messages.empty());
}

TEST(BlendTable, HandComputedEntriesInBothModes) {
  // 0 black, 1 red, 2 green, 3 dark red, 4 grey, 5 dark grey, 6.. white.
  Palette palette;
  palette.fill(255);
  const std::uint8_t head[] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 128, 0, 0, 128, 128, 128, 64, 64, 64};
  std::copy(std::begin(head), std::end(head), palette.begin());
  struct Case {
    int mode;
    std::uint8_t paint;
    double amount;
    std::vector<std::pair<int, int>> entries;  // before -> after
  } cases[] = {
      // Nothing moves: each colour's nearest entry, the lower index on ties.
      {kBlendRgb, 1, 0.0, {{0, 0}, {3, 3}, {6, 6}, {7, 6}, {255, 6}}},
      {kBlendRgb, 1, 1.0, {{0, 1}, {2, 1}, {200, 1}}},
      // Black half way to red is (127.5, 0, 0): dark red. Dark red half way
      // is (191.5, 0, 0), as far from red as from dark red: red, the lower.
      {kBlendRgb, 1, 0.5, {{0, 3}, {1, 1}, {3, 1}}},
      // Red's hue at each pixel's brightness.
      {kBlendHueSaturation, 1, 1.0, {{0, 0}, {2, 1}, {4, 3}, {6, 1}}},
      // A grey paint colour keeps each pixel's brightness as grey.
      {kBlendHueSaturation, 4, 1.0, {{1, 6}, {3, 4}, {5, 5}}},
  };
  for (const Case& c : cases) {
    BlendTable table{};
    buildBlendTable(table, palette, c.paint, c.amount, c.mode);
    for (const auto& [before, after] : c.entries)
      EXPECT_EQ(table[static_cast<size_t>(before)], after)
          << "mode " << c.mode << " amount " << c.amount << " index " << before;
  }
}

// A texel is painted once per stroke; a protected colour and texels outside
// the skin stay.
TEST(PaintTexel, ProtectedColoursAndTheStrokeMaskHoldPixels) {
  std::vector<std::uint8_t> pixels = {1, 2, 3, 4};
  std::vector<std::uint8_t> mask(4, 0);
  BlendTable table = identityBlendTable();
  for (auto& entry : table) entry = static_cast<std::uint8_t>(entry + 10);
  ProtectedColors protectedColors{};
  protectedColors[2] = 1;
  for (auto [texel, painted] :
       {std::pair{0, true}, {0, false}, {1, false}, {-1, false}, {4, false}})
    EXPECT_EQ(paintTexel(pixels, mask, table, protectedColors, texel), painted) << texel;
  EXPECT_EQ(pixels, (std::vector<std::uint8_t>{11, 2, 3, 4}));
}

}  // namespace
}  // namespace pelt
