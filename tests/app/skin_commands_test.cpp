// The Skins menu, Re-Palette and the map submenus, run through the command
// table as the menus and keys run them.
#include "app/skin_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/app.h"
#include "app/command_table.h"
#include "app/frame_lists.h"
#include "app/main_frame.h"
#include "app/map_commands.h"
#include "app/model_loading.h"
#include "app/palette_commands.h"
#include "app/skin_list.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"
#include "quiet_host.h"
#include "view3d/shade_tables.h"

namespace pelt {
namespace {

using test::patternSkin;
using test::ScriptedPlatform;
using test::TempDir;

enum : int {
  kNew = 32785, kOpen = 32777, kClose = 32782, kDuplicate = 32842, kSave = 32783,
  kSaveAs = 32784, kLink = 32788, kUnlink = 32789, kMoveUp = 32793, kMoveDown = 32794,
  kStore = 32787, kRevert = 32786, kReload = 32795, kScan = 32776, kRePalette = 32804,
  kResetPalette = 32864, kPhongOpen = 32858, kPhongClose = 32859, kPhongScan = 32862,
  kEnvOpen = 32860, kEnvScan = 32863,
};

class SkinCommands : public ::testing::Test {
 protected:
  SkinCommands() : app(platform), frame(app, host) {
    app.baseFolder = dir.file("baseq2");
    app.loadFolder = app.saveFolder = app.baseFolder;
    dir.write("baseq2/models/m/skin.pcx", encodeSkinPcx(patternSkin(16, 8, 1)));
    std::string model = dir.write("baseq2/models/m/tris.md2",
                                  encodeMd2(test::quadStripMd2(2, 16, 8, {"models/m/skin.pcx"})));
    EXPECT_TRUE(loadMd2(app, model));
    platform.messages.clear();
  }

  void run(int id) { ASSERT_TRUE(runCommand(frame, id)) << id; }
  std::vector<std::string> skinList() { return listContents(app, FrameList::Skins).entries; }
  Skin& current() { return *app.model.currentSkin(); }
  std::string writeSkinFile(const std::string& name, int w, int h, int seed) {
    return dir.write(name, encodeSkinPcx(patternSkin(w, h, seed)));
  }
  void openSkinFile(const std::string& path, int filter = 1) {
    platform.answerFile(path, filter);
    run(kOpen);
  }

  TempDir dir;
  ScriptedPlatform platform;
  App app;
  QuietHost host;
  MainFrame frame;
};

TEST_F(SkinCommands, LinkedSkinsStayInFront) {
  std::string other = writeSkinFile("work/other.pcx", 16, 8, 2);
  openSkinFile(other);
  EXPECT_EQ(skinList(), (std::vector<std::string>{"  models/m/skin.pcx", "* " + other}));
  EXPECT_EQ(app.model.currentSkinIndex, 1);
  EXPECT_EQ(platform.fileRequests.back().filter, kSkinFilter);

  // Moving the unlinked skin above the linked one is undone by the refresh.
  run(kMoveUp);
  EXPECT_EQ(skinList(), (std::vector<std::string>{"  models/m/skin.pcx", "* " + other}));
  EXPECT_EQ(app.model.currentSkinIndex, 1);

  // Linking it below the base folder gives it a relative name; then it may move.
  platform.answerFile(app.baseFolder + "/models/m/other");
  run(kLink);
  EXPECT_EQ(skinList(), (std::vector<std::string>{"  models/m/skin.pcx", "  models/m/other.pcx"}));
  EXPECT_TRUE(current().hasFile);
  EXPECT_EQ(current().filePath, app.baseFolder + "/models/m/other.pcx");
  run(kMoveUp);
  EXPECT_EQ(skinList()[0], "  models/m/other.pcx");
  run(kMoveDown);
  EXPECT_EQ(skinList()[1], "  models/m/other.pcx");

  run(kUnlink);
  EXPECT_EQ(skinList()[1], "* " + app.baseFolder + "/models/m/other.pcx");

  // Opening a skin of another size is refused.
  openSkinFile(writeSkinFile("work/big.pcx", 32, 8, 0));
  EXPECT_EQ(platform.messages.back().text, kWrongDimensionsMessage);
  EXPECT_EQ(app.model.skins.size(), 2u);
}

TEST_F(SkinCommands, ClosingMovesTheCurrentSkin) {
  openSkinFile(writeSkinFile("a.pcx", 16, 8, 3));
  openSkinFile(writeSkinFile("b.pcx", 16, 8, 4));
  ASSERT_EQ(app.model.currentSkinIndex, 2);
  run(kClose);
  EXPECT_EQ(app.model.currentSkinIndex, 1);
  EXPECT_EQ(current().filePath, dir.file("a.pcx"));
  chooseSkin(app, 0);
  run(kClose);
  run(kClose);
  EXPECT_EQ(app.model.currentSkinIndex, -1);
  EXPECT_TRUE(app.model.skins.empty());
  EXPECT_TRUE(platform.messages.empty());
  // Without a current skin the skin commands do nothing.
  for (int id : {kClose, kSave, kSaveAs, kLink, kUnlink, kMoveUp, kMoveDown, kStore, kRevert, kReload, kRePalette}) run(id);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(platform.fileRequests.size(), 2u);
}

TEST_F(SkinCommands, NewSkinAsksTwiceAndSavesThroughSaveAs) {
  platform.messageAnswers = {MessageAnswer::Yes, MessageAnswer::Yes};
  app.currentSlot = 4;
  run(kNew);
  EXPECT_EQ(platform.messageTexts(), (std::vector<std::string>{kCheckerboardQuestion, kMeshOutlineQuestion}));
  Skin& skin = current();
  EXPECT_EQ(skin.name, "newskin");
  EXPECT_FALSE(skin.isLinked());
  EXPECT_EQ(skin.palette, app.model.skins[0]->palette);
  // The mesh edges from (0,0) along t = 0 are drawn in the slot's colour; the
  // rest shows the 4 x 4 checkerboard.
  EXPECT_EQ(skin.pixel(3, 0), app.colorSlots[4]);
  EXPECT_EQ(skin.pixel(1, 1), 64);
  EXPECT_EQ(skin.pixel(5, 1), 192);
  EXPECT_EQ(skin.storedPixels, skin.pixels);

  platform.answerFile(dir.file("saved/newone"));
  std::filesystem::create_directories(dir.file("saved"));
  run(kSave);
  EXPECT_EQ(platform.fileRequests.back().save, true);
  EXPECT_EQ(skin.filePath, dir.file("saved/newone.pcx"));
  EXPECT_EQ(skin.name, dir.file("saved/newone.pcx"));
  EXPECT_TRUE(skin.hasFile);
  EXPECT_EQ(decodeSkinImage(readWholeFile(dir.file("saved/newone.pcx")).bytes).skin->pixels, skin.pixels);
  EXPECT_EQ(app.saveFolder, dir.file("saved"));

  // A new skin without the checkerboard takes the background slot.
  platform.messageAnswers = {MessageAnswer::No, MessageAnswer::No};
  run(kNew);
  EXPECT_EQ(current().pixels, std::vector<std::uint8_t>(16 * 8, app.colorSlots[7]));
}

TEST_F(SkinCommands, SaveAsOfALinkedSkinNamesItByTheBaseFolder) {
  platform.answerFile(app.baseFolder + "/models/m/copy", 2);
  run(kSaveAs);
  EXPECT_EQ(current().name, "models/m/copy.bmp");
  EXPECT_EQ(current().fileFormat, kFormatBmp);
  EXPECT_TRUE(platform.messages.empty());

  // Outside the base folder the user is asked; No writes nothing.
  platform.answerFile(dir.file("elsewhere.pcx"));
  run(kSaveAs);
  EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{kNotBelowBaseQuestion});
  EXPECT_EQ(fileSize(dir.file("elsewhere.pcx")), -1);
  EXPECT_EQ(current().name, "models/m/copy.bmp");

  platform.answerFile(dir.file("elsewhere.pcx"));
  platform.messageAnswers = {MessageAnswer::Yes};
  run(kSaveAs);
  EXPECT_EQ(current().name, dir.file("elsewhere.pcx"));
  EXPECT_TRUE(current().isLinked());

  // A failed write leaves the skin as it was.
  platform.answerFile(dir.file("missing/folder/x.pcx"));
  platform.messageAnswers = {MessageAnswer::Yes};
  run(kSaveAs);
  EXPECT_EQ(platform.messages.back().text, kSaveSkinFailedMessage);
  EXPECT_EQ(current().name, dir.file("elsewhere.pcx"));
}

TEST_F(SkinCommands, StoreRevertAndReload) {
  Skin& skin = current();
  std::vector<std::uint8_t> loaded = skin.pixels;
  skin.pixels[0] ^= 0xFF;
  run(kRevert);
  EXPECT_EQ(skin.pixels, loaded);
  EXPECT_EQ(platform.refreshes.back(), (test::RecordedRefresh{0, 0x2B, false}));

  skin.pixels[0] ^= 0xFF;
  run(kStore);
  skin.pixels[1] ^= 0xFF;
  run(kRevert);
  EXPECT_NE(skin.pixels, loaded);
  EXPECT_EQ(skin.pixels[1], loaded[1]);

  // Reload takes the file's pixels but keeps the palette.
  Skin onDisk = patternSkin(16, 8, 9);
  onDisk.palette.fill(1);
  dir.write("baseq2/models/m/skin.pcx", encodeSkinPcx(onDisk));
  Palette palette = skin.palette;
  run(kReload);
  EXPECT_EQ(skin.pixels, onDisk.pixels);
  EXPECT_EQ(skin.storedPixels, onDisk.pixels);
  EXPECT_EQ(skin.palette, palette);

  // A file that changed size is not taken over.
  writeSkinFile("baseq2/models/m/skin.pcx", 8, 8, 0);
  run(kReload);
  EXPECT_EQ(platform.messages.back().text, kReloadResizedMessage);
  EXPECT_EQ(skin.pixels, onDisk.pixels);
  std::filesystem::remove(dir.file("baseq2/models/m/skin.pcx"));
  run(kReload);
  EXPECT_EQ(platform.messages.back().text, kReloadFailedMessage);
}

TEST_F(SkinCommands, DuplicateCopiesOrMakesANewSkin) {
  current().pixels[5] = 77;
  run(kDuplicate);
  EXPECT_EQ(current().name, "dupskin");
  EXPECT_EQ(current().pixels[5], 77);
  EXPECT_EQ(current().storedPixels, app.model.skins[0]->storedPixels);
  EXPECT_FALSE(current().hasFile);
  while (!app.model.skins.empty()) run(kClose);
  run(kDuplicate);
  EXPECT_EQ(platform.messageTexts(),
            (std::vector<std::string>{kNothingToDuplicateMessage, kCheckerboardQuestion, kMeshOutlineQuestion}));
  EXPECT_EQ(current().palette, greyRampPalette());
}

TEST_F(SkinCommands, ScanFolderAddsRightSizedSkinsSilently) {
  for (const char* name : {"s/a.pcx", "s/b.PCX", "s/c.pcx"}) writeSkinFile(name, 16, 8, 0);
  writeSkinFile("s/wrong.pcx", 4, 4, 0);
  platform.folderAnswers = {dir.file("s")};
  run(kScan);
  EXPECT_EQ(platform.folderTitles, std::vector<std::string>{kBrowseFolderTitle});
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(app.model.skins.size(), 4u);
  EXPECT_EQ(app.model.currentSkinIndex, 0);
  EXPECT_EQ(skinList()[3], "* " + dir.file("s/c.pcx"));

  platform.folderAnswers = {std::nullopt};
  run(kScan);
  platform.folderAnswers = {dir.file("s/a.pcx")};
  run(kScan);
  EXPECT_EQ(platform.messageTexts(), (std::vector<std::string>{kFolderNotValidMessage, kFolderNotValidMessage}));
}

TEST_F(SkinCommands, RePaletteKeepsIndices) {
  std::vector<std::uint8_t> pixels = current().pixels;
  Bytes act(768);
  for (size_t i = 0; i < act.size(); ++i) act[i] = static_cast<std::uint8_t>(255 - i % 256);
  dir.write("pal/warm.act", act);
  platform.answerFile(dir.file("pal/warm"), 3);
  run(kRePalette);
  EXPECT_EQ(platform.fileRequests.back().filter, kPaletteFilter);
  EXPECT_TRUE(std::equal(act.begin(), act.end(), current().palette.begin()));
  EXPECT_EQ(current().pixels, pixels);

  platform.answerFile(dir.file("pal/nothing.pcx"));
  run(kRePalette);
  EXPECT_EQ(platform.messages.back().text, kNoPaletteMessage);

  run(kResetPalette);
  EXPECT_EQ(current().palette, greyRampPalette());
}

Skin mapImage(int w, int h) {
  Skin map = patternSkin(w, h);
  map.pixels[0] = 255;
  return map;
}

TEST_F(SkinCommands, MapsOpenCloseAndScan) {
  dir.write("maps/wide.pcx", encodeSkinPcx(mapImage(256, 128)));
  dir.write("maps/b.bmp", encodeSkinBmp(mapImage(256, 256)));
  dir.write("maps/a.PCX", encodeSkinPcx(mapImage(256, 256)));
  dir.write("maps/c.pcx", encodeSkinPcx(mapImage(256, 256)));

  platform.answerFile(dir.file("maps/wide.pcx"), 2);
  run(kPhongOpen);
  EXPECT_EQ(platform.messages.back().text,
            "Error loading Phong Map: Incorrect dimensions!\nPhong maps must be 256x256, and 8bit Greyscale");
  EXPECT_TRUE(app.phongMaps.maps.empty());

  platform.answerFile(dir.file("maps/c"), 2);  // the PCX filter appends ".pcx"
  run(kPhongOpen);
  ASSERT_EQ(app.phongMaps.maps.size(), 1u);
  EXPECT_EQ(app.phongMaps.current->name, "c.pcx");
  EXPECT_EQ(app.phongMaps.current->pixels[0], 63);
  EXPECT_EQ(app.phongMaps.current->pixels[1], 7 >> 2);
  EXPECT_TRUE(hasLitPlane(*app.phongMaps.current));

  // A scan appends PCX files first and chooses nothing.
  platform.folderAnswers = {dir.file("maps")};
  run(kPhongScan);
  EXPECT_EQ(listContents(app, FrameList::PhongMaps).entries,
            (std::vector<std::string>{"c.pcx", "a.PCX", "c.pcx", "b.bmp"}));
  EXPECT_EQ(app.phongMaps.currentIndex, 0);
  // Scanned maps are not current, yet each has its plane already.
  for (const auto& map : app.phongMaps.maps) EXPECT_TRUE(hasLitPlane(*map)) << map->name;

  chooseMap(app, MapKind::Phong, 3);
  run(kPhongClose);
  EXPECT_EQ(app.phongMaps.currentIndex, 2);
  EXPECT_EQ(app.phongMaps.current, app.phongMaps.maps[2].get());
  for (int i = 0; i < 3; ++i) run(kPhongClose);
  EXPECT_EQ(app.phongMaps.currentIndex, -1);
  EXPECT_EQ(app.phongMaps.current, nullptr);
  // Scanned again: listed, none shown as chosen until one is picked.
  platform.folderAnswers = {dir.file("maps")};
  run(kPhongScan);
  EXPECT_EQ(listContents(app, FrameList::PhongMaps).entries.size(), 3u);
  EXPECT_EQ(listContents(app, FrameList::PhongMaps).selected, -1);

  // Environment maps keep their texels and palette.
  platform.answerFile(dir.file("maps/b.bmp"), 1);
  run(kEnvOpen);
  ASSERT_NE(app.envMaps.current, nullptr);
  EXPECT_EQ(app.envMaps.current->pixels[0], 255);
  platform.messages.clear();
  platform.folderAnswers = {dir.file("s-empty")};
  std::filesystem::create_directories(dir.file("s-empty"));
  run(kEnvScan);
  EXPECT_EQ(platform.messageTexts(),
            std::vector<std::string>{"There were no valid Environment Maps at that location"});
}

TEST_F(SkinCommands, StartupScansTheMapFoldersAndChoosesTheFirst) {
  dir.write("phongs/p.pcx", encodeSkinPcx(mapImage(256, 256)));
  platform.writeString(settings::kPreferences, settings::kPhongPath, dir.file("phongs"));
  loadStartupMaps(app);
  ASSERT_NE(app.phongMaps.current, nullptr);
  EXPECT_EQ(app.phongMaps.current->name, "p.pcx");
  EXPECT_EQ(app.envMaps.current, nullptr);
}

TEST_F(SkinCommands, MappingStoreAndRevertThroughTheMenu) {
  Model& m = app.model;
  std::vector<StCoord> loaded(m.stCoords.begin(), m.stCoords.begin() + m.stCount);
  m.stCoords[1] = {5, 5};
  rebuildStTable(m);
  platform.refreshes.clear();
  run(32841);
  EXPECT_EQ(std::vector<StCoord>(m.stCoords.begin(), m.stCoords.begin() + m.stCount), loaded);
  EXPECT_EQ(platform.refreshes.back(), (test::RecordedRefresh{0, 0x2F, true}));

  m.stCoords[1] = {5, 5};
  rebuildStTable(m);
  run(32840);
  m.stCoords[1] = {6, 6};
  run(32841);
  EXPECT_EQ(m.stCoords[1], (StCoord{5, 5}));
}

}  // namespace
}  // namespace pelt
