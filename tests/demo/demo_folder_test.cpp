#include "demo/demo_folder.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/model_loading.h"
#include "platform/paths.h"
#include "platform/settings_keys.h"
#include "skins/palette_file.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "support/model_invariants.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

// The folder serves what the program needs of a game: both models load whole
// with every skin they name, the palette and light table are usable, and each
// map folder holds three 256 x 256 maps.
TEST(DemoFolder, ServesTheModelsPaletteLightTableAndMaps) {
  test::TempDir dir;
  std::string error;
  ASSERT_TRUE(writeDemoGameFolder(dir.path(), &error)) << error;
  const std::string base = joinPath(dir.path(), "baseq2");
  for (const char* model : {kDemoModelPath, kDemoWeaponPath}) {
    test::ScriptedPlatform platform;
    App app(platform);
    app.baseFolder = base;
    ASSERT_TRUE(loadMd2(app, joinPath(base, model))) << model;
    EXPECT_TRUE(platform.messages.empty()) << model;
    EXPECT_EQ(test::modelFault(app.model, true), "") << model;
    for (const auto& skin : app.model.skins) EXPECT_TRUE(skin->hasFile) << skin->name;
  }
  Palette palette{};
  EXPECT_TRUE(readPaletteFile(joinPath(base, kDemoPalettePath), palette));
  test::ScriptedPlatform platform;
  platform.writeString(settings::kPreferences, settings::kPalettePath,
                       joinPath(base, kDemoColormapPath));
  std::unique_ptr<Skin> colormap = loadDefaultColormap(platform);
  ASSERT_TRUE(colormap);
  EXPECT_EQ(colormap->width, 256);
  EXPECT_GE(colormap->height, 64);
  for (const char* folder : {kDemoPhongFolder, kDemoEnvironmentFolder}) {
    const std::vector<std::string> maps = listFilesWithExtension(joinPath(base, folder), ".pcx");
    EXPECT_EQ(maps.size(), 3u) << folder;
    for (const std::string& name : maps) {
      std::unique_ptr<Skin> map = readSkinImage(platform, joinPath(joinPath(base, folder), name));
      ASSERT_TRUE(map) << name;
      EXPECT_TRUE(map->width == 256 && map->height == 256) << name;
    }
  }
}

TEST(DemoFolder, ReportsAFolderThatCannotBeCreated) {
  test::TempDir dir;
  std::string blocker = dir.write("plain-file", {1, 2, 3});
  std::string error;
  EXPECT_FALSE(writeDemoGameFolder(blocker, &error));
  EXPECT_NE(error.find("plain-file"), std::string::npos) << error;
  EXPECT_FALSE(writeDemoGameFolder(blocker, nullptr));
}

}  // namespace
}  // namespace pelt
