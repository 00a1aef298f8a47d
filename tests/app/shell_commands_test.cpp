#include <gtest/gtest.h>

#include "app/app.h"
#include "app/command_table.h"
#include "app/frame_lists.h"
#include "app/main_frame.h"
#include "app/preferences.h"
#include "demo/demo_folder.h"
#include "platform/file_filter.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

using test::ScriptedPlatform;
using test::TempDir;

struct CountingHost : FrameHost {
  int layouts = 0;
  void layoutChanged() override { ++layouts; }
  void grabSplitPointer(bool) override {}
  void closeWindow() override {}
};

class ShellCommands : public ::testing::Test {
 protected:
  ShellCommands() : app(platform), frame(app, host) {
    app.baseFolder = dir.path();
    app.loadFolder = dir.path();
    frame.setClientSize(800, 600, 40);
  }
  std::string& setting(const char* section, const char* key) {
    return platform.settings[section][key];
  }

  TempDir dir;
  ScriptedPlatform platform;
  App app;
  CountingHost host;
  MainFrame frame;
};

TEST_F(ShellCommands, PreferencesOkWritesSettingsAndMovesThePalette) {
  // Unset paths show the base folder's own, where the demo game keeps them.
  const PreferencesValues unset = readPreferences(platform, "/games/q2/baseq2");
  EXPECT_EQ(unset.palettePath, "/games/q2/baseq2/" + std::string(kDemoColormapPath));
  EXPECT_EQ(unset.phongPath, "/games/q2/baseq2/" + std::string(kDemoPhongFolder));
  EXPECT_EQ(unset.envPath, "/games/q2/baseq2/" + std::string(kDemoEnvironmentFolder));
  setting("Preferences", "Palette Path") = "/p/colormap.pcx";
  setting("Preferences", "Phong Path") = "/p/phongs";
  PreferencesValues chosen = readPreferences(platform, "/games/q2/baseq2");
  EXPECT_EQ(chosen.dirScanPrompt, 2);
  EXPECT_EQ(chosen.palettePath, "/p/colormap.pcx");
  EXPECT_EQ(chosen.phongPath, "/p/phongs");
  chosen.dirScanPrompt = 0;
  chosen.quickExit = true;
  chosen.paletteOnTop = true;
  chosen.palettePath = "/q/other.act";
  platform.preferencesAnswers.push_back(chosen);

  ASSERT_TRUE(runCommand(frame, 32829));
  EXPECT_EQ(setting("Preferences", "DirScan_Prompt"), "0");
  EXPECT_EQ(setting("Preferences", "Skip Intro"), "0");
  EXPECT_EQ(setting("Preferences", "Quick Exit"), "1");
  EXPECT_EQ(setting("Preferences", "Pal On Top"), "1");
  EXPECT_EQ(setting("Preferences", "Palette Path"), "/q/other.act");
  EXPECT_TRUE(app.paletteOnTop);
  EXPECT_EQ(frame.layout().paletteStrip, (Rect{0, 40, 800, 72}));
}

TEST_F(ShellCommands, PreferencesCancelKeepsOnlyTheChosenMapFolder) {
  platform.folderAnswers = {dir.path(), dir.file("missing")};
  EXPECT_EQ(choosePhongFolder(platform), dir.path());
  EXPECT_EQ(chooseEnvFolder(platform), std::nullopt);
  EXPECT_EQ(platform.folderTitles,
            (std::vector<std::string>{"Select the folder to be scanned for Phong Maps",
                                      "Select the folder to be scanned for Environment Maps"}));
  EXPECT_EQ(platform.messageTexts(),
            (std::vector<std::string>{"This setting will take affect the next time you run Pelt.",
                                      "That folder is not valid"}));

  platform.preferencesAnswers.push_back(std::nullopt);
  int layoutsBefore = host.layouts;
  runCommand(frame, 32829);
  EXPECT_EQ(setting("Preferences", "Phong Path"), dir.path());
  EXPECT_EQ(platform.settings["Preferences"].count("Env Path"), 0u);
  EXPECT_EQ(platform.settings["Preferences"].count("Pal On Top"), 0u);
  EXPECT_EQ(host.layouts, layoutsBefore);
}

TEST_F(ShellCommands, PaletteButtonAddsTheFiltersExtension) {
  setting("Project", "LoadDir") = "/start";
  platform.answerFile("/p/colormap", 2);
  platform.answerFile("/p/colors", 3);
  platform.answerFile("/p/light", 4);
  platform.answerFile("/p/named.bmp", 1);
  EXPECT_EQ(choosePalettePath(platform), "/p/colormap.bmp");
  EXPECT_EQ(choosePalettePath(platform), "/p/colors.act");
  EXPECT_EQ(choosePalettePath(platform), "/p/light.pcx");
  EXPECT_EQ(choosePalettePath(platform), "/p/named.bmp");
  EXPECT_EQ(choosePalettePath(platform), std::nullopt);
  EXPECT_EQ(platform.fileRequests[0].startFolder, "/start");
  EXPECT_EQ(platform.fileRequests[0].initialName, "*.pcx");
  EXPECT_EQ(parseFilterString(platform.fileRequests[0].filter).size(), 4u);
  // A palette choice is stored only by the dialog's OK.
  EXPECT_EQ(platform.settings["Preferences"].count("Palette Path"), 0u);
}

TEST_F(ShellCommands, BaseFolderIsStoredForTheNextStartOnly) {
  platform.folderAnswers = {std::nullopt, dir.file("missing"), dir.path()};
  app.baseFolder = "/old";
  runCommand(frame, 32771);
  runCommand(frame, 32771);
  EXPECT_EQ(platform.settings["Project"].count("BaseDir"), 0u);
  runCommand(frame, 32771);
  EXPECT_EQ(setting("Project", "BaseDir"), dir.path());
  EXPECT_EQ(app.baseFolder, "/old");
  EXPECT_EQ(platform.messageTexts(),
            (std::vector<std::string>{"That folder is not valid", "That folder is not valid",
                                      "You must restart Pelt before the change will take effect."}));
}

TEST_F(ShellCommands, FileCommandsThroughTheTable) {
  runCommand(frame, 32773);  // no model yet: nothing to save, nothing said
  EXPECT_TRUE(platform.messages.empty());

  std::string model = dir.write("tris.md2", encodeMd2(test::quadStripMd2(1, 64, 32, {}, 3)));
  setting("Preferences", "DirScan_Prompt") = "1";
  platform.answerFile(model);
  runCommand(frame, 32772);
  EXPECT_EQ(app.currentFile, model);
  ListContents frames = listContents(app, FrameList::Frames);
  EXPECT_EQ(frames.entries, (std::vector<std::string>{"frame0", "frame1", "frame2"}));

  runCommand(frame, 32775);
  EXPECT_TRUE(app.viewsSwapped);
}

TEST_F(ShellCommands, ListsShowSkinsFramesAndModes) {
  for (bool linked : {true, false}) {
    auto skin = std::make_unique<Skin>();
    skin->name = linked ? "models\\m\\skin.pcx" : "/abs/extra.pcx";
    skin->unlinked = linked ? 0 : kSkinUnlinked;
    app.model.skins.push_back(std::move(skin));
  }
  app.model.currentSkinIndex = 1;
  ListContents skins = listContents(app, FrameList::Skins);
  EXPECT_EQ(skins.entries,
            (std::vector<std::string>{"  models/m/skin.pcx", "* /abs/extra.pcx"}));
  EXPECT_EQ(skins.selected, 1);

  ListContents modes = listContents(app, FrameList::RenderModes);
  ASSERT_EQ(modes.entries.size(), 9u);
  EXPECT_EQ(modes.entries[5], "Textured");
  EXPECT_EQ(modes.entries[8], "Textured, P-Shaded");
  EXPECT_EQ(modes.selected, 5);

  app.model.frames.resize(3);
  chooseFrame(app, 2);
  EXPECT_EQ(app.model.currentFrameIndex, 2);
  EXPECT_EQ(platform.refreshes.back(), (test::RecordedRefresh{0, 0x22, false}));
  chooseFrame(app, 3);
  EXPECT_EQ(app.model.currentFrameIndex, 2);
}

TEST(FileFilterTest, ReadsLabelPatternPairs) {
  auto filters = parseFilterString("Quake2 Model (*.md2)|*.md2|All Files (*.*)|*.*||");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].label, "Quake2 Model (*.md2)");
  EXPECT_EQ(filters[1].pattern, "*.*");
  EXPECT_TRUE(parseFilterString("").empty());
}

}  // namespace
}  // namespace pelt
