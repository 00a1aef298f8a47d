// PNG and TGA skins beside PCX and BMP: round trips between every indexed
// format, files other programs wrote, and true colour brought to a palette.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/platform.h"
#include "skins/colour_reduction.h"
#include "skins/png_file.h"
#include "skins/skin_image.h"
#include "skins/tga_file.h"
#include "support/fixtures.h"

namespace pelt {
namespace {

using test::patternSkin;

constexpr SkinFormat kIndexedFormats[] = {kFormatPcx, kFormatBmp, kFormatPng, kFormatTga};

TEST(ImageFiles, EveryIndexedFormatToEveryOtherKeepsIndicesAndPalette) {
  for (auto [w, h] : {std::pair{1, 1}, {7, 3}, {33, 5}, {254, 2}, {640, 480}, {2048, 2048}}) {
    const Skin skin = patternSkin(w, h, w);
    for (SkinFormat from : kIndexedFormats) {
      SkinDecodeResult first = decodeSkinImage(encodeSkin(skin, from));
      ASSERT_TRUE(first.skin) << first.message;
      EXPECT_EQ(first.skin->fileFormat, from);
      for (SkinFormat to : kIndexedFormats) {
        SCOPED_TRACE(::testing::Message() << w << "x" << h << " " << int(from) << "->" << int(to));
        SkinDecodeResult back = decodeSkinImage(encodeSkin(*first.skin, to));
        ASSERT_TRUE(back.skin) << back.message;
        EXPECT_EQ(std::tuple(back.skin->width, back.skin->height, back.skin->fileFormat),
                  std::tuple(w, h, std::uint8_t(to)));
        EXPECT_TRUE(back.skin->pixels == skin.pixels && back.skin->storedPixels == skin.pixels);
        EXPECT_EQ(back.skin->palette, skin.palette);
        EXPECT_EQ(back.skin->rowOffsets.size(), size_t(h));
      }
    }
  }
}

TEST(ImageFiles, TrueColourWritersRoundTripTheirPictures) {
  TrueColourPicture picture = pictureOfSkin(patternSkin(9, 4));
  for (auto encode : {encodeRgbPng, encodeRgbTga}) {
    SkinDecodeResult back = decodeSkinImage(encode(picture));
    ASSERT_TRUE(back.picture);
    EXPECT_EQ(std::tuple(back.picture->width, back.picture->height, back.picture->rgb),
              std::tuple(9, 4, picture.rgb));
  }
}

// The pictures make_image_samples.sh draws.
Rgb8 expectedColour(const std::string& name, int colours, int x, int y) {
  auto byte = [](int v) { return static_cast<std::uint8_t>(v % 256); };
  if (colours > 0) {
    const int i = (x + 2 * y) % colours;
    return {byte(i * 37 + 11), byte(i * 91 + 7), byte(i * 53 + 200)};
  }
  if (name.find("rgb") != std::string::npos)
    return {byte(x * 19 + y * 3), byte(x * 5 + y * 23), byte(x * y * 7 + 40)};
  const std::uint8_t g = byte(x * 17 + y * 29);
  return {g, g, g};
}

// Made at set-up when PIL and ImageMagick are here, else the committed copies.
std::string sampleFolder(const std::string& scratch) {
  const std::string data = PELT_TEST_DATA_DIR;
  const std::string command = "sh " + data + "/make_image_samples.sh " + scratch + " 2>/dev/null";
  return std::system(command.c_str()) == 0 ? scratch : data + "/image_samples";
}

TEST(ImageFiles, FilesFromPilAndImageMagickReadExactly) {
  test::TempDir dir;
  const std::string folder = sampleFolder(dir.path());
  // Name, colours of an indexed picture (0: grey or RGB), indices as drawn.
  const std::tuple<const char*, int, bool> cases[] = {
      {"pil-p8.png", 256, true},
      {"pil-p4.png", 16, true},
      {"pil-p2.png", 4, true},
      {"pil-p1.png", 2, true},
      {"pil-l8.png", 0, true},
      {"pil-la8.png", 0, true},
      {"pil-l16.png", 0, true},
      {"pil-rgb8.png", 0, false},
      {"pil-rgba8.png", 0, false},
      {"pil-cm.tga", 256, true},
      {"pil-cm-rle.tga", 256, true},
      {"pil-grey.tga", 0, true},
      {"pil-grey-rle.tga", 0, true},
      {"pil-rgb24.tga", 0, false},
      {"pil-rgb24-rle.tga", 0, false},
      {"pil-rgba32.tga", 0, false},
      {"pil-rgba32-rle.tga", 0, false},
      {"im-p8.png", 16, false},
      {"im-p4.png", 16, false},
      {"im-p8-interlaced.png", 16, false},
      {"im-l16.png", 0, true},
      {"im-la16.png", 0, true},
      {"im-rgb16.png", 0, false},
      {"im-rgba16.png", 0, false},
      {"im-rgb8-interlaced.png", 0, false},
      {"im-rgb24.tga", 0, false},
      {"im-rgb24-rle.tga", 0, false},
      {"im-rgba32-rle.tga", 0, false},
      {"im-rgb24-top.tga", 0, false},
      {"im-grey-rle.tga", 0, true},
      {"pil-rgb24.bmp", 0, false},
      {"im-rgb24.bmp", 0, false},
      {"im-cm.tga", 16, false},
      {"im-cm-rle.tga", 16, false},
  };
  for (const auto& [name, colours, indexed] : cases) {
    SCOPED_TRACE(name);
    SkinDecodeResult got = decodeSkinImage(readWholeFile(folder + "/" + name).bytes);
    ASSERT_TRUE(got.skin || got.picture) << got.message;
    const int w = got.skin ? got.skin->width : got.picture->width;
    const int h = got.skin ? got.skin->height : got.picture->height;
    ASSERT_EQ(std::pair(w, h), std::pair(13, 7));
    EXPECT_EQ(got.skin != nullptr, indexed || colours > 0);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const size_t i = size_t(y) * 13 + size_t(x);
        const std::uint8_t* c =
            got.skin ? &got.skin->palette[got.skin->pixels[i] * 3u] : &got.picture->rgb[i * 3];
        ASSERT_EQ((Rgb8{c[0], c[1], c[2]}), expectedColour(name, colours, x, y)) << x << "," << y;
        if (indexed && colours > 0) {
          EXPECT_EQ(got.skin->pixels[i], (x + 2 * y) % colours);
        }
      }
  }
}

TEST(ColourReduction, NearestIsNearestColourForEveryPixelAndKeepsExcludedOut) {
  std::mt19937 random(7);
  Palette palette;
  for (auto& v : palette) v = static_cast<std::uint8_t>(random() % 6 * 51);  // many ties
  TrueColourPicture picture{64, 64, std::vector<std::uint8_t>(64 * 64 * 3), kFormatPng};
  for (auto& v : picture.rgb) v = static_cast<std::uint8_t>(random());
  ReduceOptions options;
  const std::vector<std::uint8_t> plain = reduceToPalette(picture, palette, options);
  const NearestColour nearest(palette);
  for (int k = 0; k < 128; ++k) options.excluded[static_cast<size_t>(k * 2)] = 1;
  const std::vector<std::uint8_t> odd = reduceToPalette(picture, palette, options);
  for (size_t i = 0; i < plain.size(); ++i) {
    const Rgb colour{double(picture.rgb[i * 3]), double(picture.rgb[i * 3 + 1]),
                     double(picture.rgb[i * 3 + 2])};
    ASSERT_EQ(plain[i], nearest(colour)) << i;
    ASSERT_EQ(odd[i] % 2, 1) << i;
    const Rgb8 got{palette[odd[i] * 3u], palette[odd[i] * 3u + 1], palette[odd[i] * 3u + 2]};
    int best = 1 << 30;
    for (int j = 1; j < 256; j += 2) {
      int d = 0;
      for (int c = 0; c < 3; ++c)
        d += (palette[j * 3u + c] - picture.rgb[i * 3 + c]) *
             (palette[j * 3u + c] - picture.rgb[i * 3 + c]);
      best = std::min(best, d);
    }
    const int dr = got.r - picture.rgb[i * 3], dg = got.g - picture.rgb[i * 3 + 1],
              db = got.b - picture.rgb[i * 3 + 2];
    ASSERT_EQ(dr * dr + dg * dg + db * db, best) << i;
  }
}

// Black and white, grey 64 everywhere: worked out by hand, sixteenths
// rounded half up; the second row runs right to left.
TEST(ColourReduction, DitheringSpreadsErrorsAlongSerpentineRows) {
  Palette palette{};
  for (size_t i = 3; i < 768; ++i) palette[i] = 255;
  TrueColourPicture picture{4, 2, std::vector<std::uint8_t>(24, 64), kFormatPng};
  ReduceOptions options;
  options.dither = true;
  EXPECT_EQ(reduceToPalette(picture, palette, options),
            (std::vector<std::uint8_t>{0, 0, 0, 0, 1, 0, 1, 0}));
  EXPECT_EQ(countColours(picture), 1);
}

}  // namespace
}  // namespace pelt
