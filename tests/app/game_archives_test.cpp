// A model, its skins and the light table served from the game's archives,
// and saving them as loose files that never touch an archive.
#include "app/command_line.h"
#include "frame_fixture.h"
#include "model/md2_writer.h"
#include "platform/settings_keys.h"
#include "skins/palette_file.h"
#include "support/archive_writer.h"

namespace pelt {
namespace {

class GameArchives : public test::FrameTest {
 protected:
  std::string base() const { return app.baseFolder; }
};

// The model comes from pak0.pak, its skin from a pk3 beside it; File/Save
// and Skins/Save write loose files below the base folder, proposed under
// the archived names, and the archives' bytes stay as they were.
TEST_F(GameArchives, OpensFromOneArchiveWithSkinsFromAnotherAndSavesLooseFiles) {
  const Skin skin = test::patternSkin(16, 8, 3), colormap = test::patternSkin(256, 64, 9);
  const std::string pak = dir.write(
      "baseq2/pak0.pak",
      test::packBytes(
          {{"models/m/tris.md2", encodeMd2(test::quadStripMd2(2, 16, 8, {"models/m/skin.pcx"}))},
           {"pics/colormap.pcx", encodeSkinPcx(colormap)}}));
  const std::string pk3 =
      dir.write("baseq2/skins.pk3", test::zipBytes({{"Models/M/Skin.PCX", encodeSkinPcx(skin)}}));
  dir.write("baseq2/models/other.md2", encodeMd2(test::quadStripMd2(1, 8, 8)));
  const Bytes pakBefore = readWholeFile(pak).bytes, pk3Before = readWholeFile(pk3).bytes;

  platform.gameModelAnswers = {"models/m/tris.md2"};
  run(32880);
  EXPECT_EQ(platform.gameModelsOffered.size(), 2u);
  EXPECT_EQ(platform.gameModelsOffered[0].name + " " + platform.gameModelsOffered[0].source,
            "models/m/tris.md2 pak0.pak");
  EXPECT_TRUE(platform.messages.empty());
  ASSERT_TRUE(app.model.modelLoaded);
  EXPECT_EQ(app.modelSource, "pak0.pak");
  EXPECT_EQ(platform.settings["Project"]["CurFile"], base() + "/models/m/tris.md2");
  const Skin& loaded = *app.model.skins.at(0);
  EXPECT_EQ(loaded.pixels, skin.pixels);
  EXPECT_EQ(std::tuple(loaded.name, loaded.source, loaded.hasFile),
            std::tuple("models/m/skin.pcx", "skins.pk3", false));
  // "Palette Path" unset: the lit modes' light table is the archive's.
  EXPECT_EQ(loadDefaultColormap(platform, app.gameFiles)->pixels, colormap.pixels);

  const std::string model = base() + "/models/m/tris.md2";
  platform.answerFile(model);
  run(32773);
  EXPECT_EQ(platform.fileRequests.back().initialName, "models/m/tris.md2");
  EXPECT_EQ(platform.fileRequests.back().startFolder, base());
  EXPECT_EQ(readWholeFile(model).bytes, encodeModelMd2(app.model, app.rawModelImage).bytes);
  EXPECT_EQ(std::tuple(app.currentFile, app.modelSource), std::tuple(model, ""));

  const std::string skinFile = base() + "/models/m/skin.pcx";
  app.model.skins[0]->pixels[5] = 77;
  platform.answerFile(skinFile);
  run(32783);
  EXPECT_EQ(platform.fileRequests.back().initialName, "Models/M/Skin.PCX");
  EXPECT_EQ(decodeSkinImage(readWholeFile(skinFile).bytes).skin->pixel(5, 0), 77);
  EXPECT_TRUE(loaded.hasFile && loaded.source.empty());
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(readWholeFile(pak).bytes, pakBefore);
  EXPECT_EQ(readWholeFile(pk3).bytes, pk3Before);
  EXPECT_EQ(app.gameFiles.find("models/m/tris.md2")->source, "");  // the loose file wins now
}

// A first start in a game whose models are all archived: cancelling the
// file dialog offers them instead of quitting.
TEST_F(GameArchives, FirstStartOffersTheArchivedModels) {
  dir.write("baseq2/pak0.pak",
            test::packBytes({{"m/tris.md2", encodeMd2(test::quadStripMd2(1, 8, 8))}}));
  platform.settings["Project"]["BaseDir"] = base();
  platform.settings["Preferences"]["DirScan_Prompt"] = "1";
  platform.gameModelAnswers = {"m/tris.md2"};
  EXPECT_EQ(frame.start(parseArguments({"pelt"})), StartupResult::Ready);
  EXPECT_EQ(std::tuple(app.currentFile, app.modelSource),
            std::tuple(base() + "/m/tris.md2", "pak0.pak"));
}

}  // namespace
}  // namespace pelt
