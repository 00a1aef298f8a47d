#include "demo/demo_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "demo/demo_creature.h"
#include "demo/demo_creature_skin.h"
#include "demo/demo_maps.h"
#include "demo/demo_palette.h"
#include "demo/demo_weapon.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"

namespace pelt {
namespace {

class DemoFolder : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    std::string error;
    written_ = writeDemoGameFolder(dir_->path(), &error);
    error_ = error;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  static std::string base() { return joinPath(dir_->path(), "baseq2"); }
  static Bytes read(const std::string& relative) {
    return readWholeFile(joinPath(base(), relative)).bytes;
  }
  static std::unique_ptr<Skin> image(const std::string& relative) {
    SkinDecodeResult decoded = decodeSkinImage(read(relative));
    EXPECT_TRUE(decoded.skin) << relative << ": " << decoded.message;
    return std::move(decoded.skin);
  }
  static void expectSameImage(const std::string& relative, const Skin& built) {
    std::unique_ptr<Skin> read = image(relative);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->width, built.width) << relative;
    EXPECT_EQ(read->height, built.height) << relative;
    EXPECT_EQ(read->pixels, built.pixels) << relative;
    EXPECT_EQ(read->palette, built.palette) << relative;
  }

  static inline test::TempDir* dir_ = nullptr;
  static inline bool written_ = false;
  static inline std::string error_;
};

TEST_F(DemoFolder, PaletteAndLightTableAreInPics) {
  Palette palette = makeDemoPalette();
  expectSameImage(kDemoColormapPath, makeColormapImage(palette));
  Bytes act = read(kDemoPalettePath);
  ASSERT_EQ(act.size(), 768u);
  EXPECT_TRUE(std::equal(act.begin(), act.end(), palette.begin()));
}

TEST_F(DemoFolder, HoldsThreePhongAndThreeEnvironmentMaps) {
  EXPECT_EQ(listFilesWithExtension(joinPath(base(), kDemoPhongFolder), ".pcx").size(), 3u);
  EXPECT_EQ(listFilesWithExtension(joinPath(base(), kDemoEnvironmentFolder), ".pcx").size(), 3u);
  for (int kind = 0; kind < kDemoPhongMapCount; ++kind)
    expectSameImage(joinPath(kDemoPhongFolder, phongMapFileName(kind)), makePhongMap(kind));
  for (int kind = 0; kind < kDemoEnvironmentMapCount; ++kind)
    expectSameImage(joinPath(kDemoEnvironmentFolder, environmentMapFileName(kind)),
                    makeEnvironmentMap(kind));
}

TEST(DemoFolderFailure, ReportsAFolderThatCannotBeCreated) {
  test::TempDir dir;
  std::string blocker = dir.write("plain-file", {1, 2, 3});
  std::string error;
  EXPECT_FALSE(writeDemoGameFolder(blocker, &error));
  EXPECT_NE(error.find("plain-file"), std::string::npos) << error;
  EXPECT_FALSE(writeDemoGameFolder(blocker, nullptr));
}

}  // namespace
}  // namespace pelt
