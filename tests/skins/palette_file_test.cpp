#include "skins/palette_file.h"

#include <gtest/gtest.h>

#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

using test::patternSkin;

Palette filled(std::uint8_t value) {
  Palette p;
  p.fill(value);
  return p;
}

TEST(PaletteFile, ReadsActPcxAndBmpPalettes) {
  Skin skin = patternSkin(4, 4);
  // 768 bytes is an ACT whatever it holds, even a PCX signature.
  Bytes act(768, 9);
  act[0] = 0x0A;
  act[1] = 0x05;
  Palette p = filled(1);
  ASSERT_TRUE(decodePaletteFile(act, p));
  EXPECT_TRUE(std::equal(p.begin(), p.end(), act.begin()));

  p = filled(1);
  ASSERT_TRUE(decodePaletteFile(encodeSkinPcx(skin), p));
  EXPECT_EQ(p, skin.palette);

  p = filled(1);
  ASSERT_TRUE(decodePaletteFile(encodeSkinBmp(skin), p));
  EXPECT_EQ(p, skin.palette);

  // Sixteen colours used: entries from 16 on keep their values.
  Bytes bmp16 = encodeSkinBmp(skin);
  bmp16[46] = 16;
  p = filled(1);
  ASSERT_TRUE(decodePaletteFile(bmp16, p));
  EXPECT_EQ(p[15 * 3], skin.palette[15 * 3]);
  EXPECT_EQ(p[16 * 3], 1);
}

TEST(PaletteFile, DefaultsComeFromThePalettePathOrTheGreyRamp) {
  test::TempDir dir;
  test::ScriptedPlatform platform;
  Palette p = filled(3);
  loadDefaultPalette(platform, p);
  EXPECT_EQ(p, greyRampPalette());
  EXPECT_FALSE(loadDefaultColormap(platform));

  Skin colormap = patternSkin(256, 64);
  std::string path = dir.write("colormap.pcx", encodeSkinPcx(colormap));
  platform.writeString(settings::kPreferences, settings::kPalettePath, path);
  loadDefaultPalette(platform, p);
  EXPECT_EQ(p, colormap.palette);
  auto table = loadDefaultColormap(platform);
  ASSERT_TRUE(table);
  EXPECT_EQ(table->pixels, colormap.pixels);

  platform.writeString(settings::kPreferences, settings::kPalettePath, dir.file("gone.pcx"));
  loadDefaultPalette(platform, p);
  EXPECT_EQ(p, greyRampPalette());

  // Unset, the game's colormap below the base folder serves, where there is one.
  platform.writeString(settings::kPreferences, settings::kPalettePath, "");
  platform.writeString(settings::kProject, settings::kBaseDir, dir.path());
  EXPECT_FALSE(loadDefaultColormap(platform));
  dir.write("pics/colormap.pcx", encodeSkinPcx(colormap));
  loadDefaultPalette(platform, p);
  EXPECT_EQ(p, colormap.palette);
  ASSERT_TRUE(loadDefaultColormap(platform));
  EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace pelt
