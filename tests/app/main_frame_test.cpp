// The main frame: start-up with its intro, the layout and its routing, the
// Preferences command and the about box.
#include "app/main_frame.h"

#include <filesystem>

#include "app/command_table.h"
#include "app/commands/file_preferences.h"
#include "app/intro/intro.h"
#include "app/intro/intro_music.h"
#include "demo/demo_folder.h"
#include "frame_fixture.h"
#include "platform/paths.h"
#include "skins/byte_order.h"

namespace pelt {
namespace {

using test::ScriptedPlatform;
using test::TempDir;
using Messages = std::vector<std::string>;

class StartUp : public test::FrameTest {
 protected:
  StartUp() { app.baseFolder = app.loadFolder = app.saveFolder = ""; }

  std::string writeModel(const std::string& name) {
    return dir.write(name, encodeMd2(test::quadStripMd2(1, 64, 32)));
  }
  void knownBaseFolder() { platform.settings["Project"]["BaseDir"] = dir.path(); }
  StartupResult start(std::vector<std::string> argv) {
    // Models without skin names would ask about a folder scan.
    platform.settings["Preferences"]["DirScan_Prompt"] = "1";
    argv.insert(argv.begin(), "/usr/bin/pelt");
    return frame.start(parseArguments(argv));
  }
  std::string setting(const char* section, const char* key) {
    return platform.readString(section, key, "missing");
  }
};

TEST_F(StartUp, FreshSettingsAskForTheBaseFolderUntilItIsUsable) {
  std::string model = writeModel("tris.md2");
  platform.folderAnswers = {dir.file("missing"), dir.path()};
  platform.answerFile(model);
  app.dataFolder = dir.file("no-maps-here");  // silently none

  EXPECT_EQ(start({}), StartupResult::Ready);

  EXPECT_EQ(platform.folderTitles, Messages(2, "Please locate the 'baseq2' folder under Quake2"));
  EXPECT_EQ(platform.messageTexts(), Messages{"That folder is not valid,\nPlease choose another"});
  // Nothing remembered: straight to the Open dialog.
  EXPECT_EQ(platform.fileRequests.at(0).startFolder, dir.path());
  EXPECT_EQ(frame.introChoice(), IntroChoice::Play);
  EXPECT_DOUBLE_EQ(app.splitRatio, 0.65);
  EXPECT_EQ(app.colorSlots, (std::array<std::uint8_t, 8>{248, 64, 128, 192, 15, 10, 5, 0}));
  EXPECT_EQ(platform.refreshes.back(), (test::RecordedRefresh{0, 0x2F, true}));
}

// A first start offers the demo game folder beside the program; Cancel in
// the folder browser means no base folder, and Cancel in the Open dialog an
// empty window, which draws.
TEST_F(StartUp, FirstStartOffersTheDemoAndCancelsLeaveAnEmptyWindow) {
  const std::string demo = dir.file("bin/demo/baseq2");
  std::filesystem::create_directories(demo);
  const std::string question = std::string(kUseDemoFolderQuestion) + demo;
  auto startIn = [&](MessageAnswer answer) {
    platform.messages.clear();
    platform.messageAnswers = {answer};
    CommandLine line = parseArguments({"pelt"});
    line.programFolder = dir.file("bin");
    return frame.start(line);
  };
  EXPECT_EQ(startIn(MessageAnswer::No), StartupResult::NoModel);
  EXPECT_EQ(platform.messageTexts(), (Messages{question, kNoBaseFolderMessage}));
  EXPECT_EQ(app.baseFolder, "");
  EXPECT_EQ(setting("Project", "BaseDir"), "missing");
  EXPECT_FALSE(app.model.modelLoaded);
  frame.refresh(0, 0xF);
  for (const Command& command : commandTable()) runCommand(frame, command.id);

  EXPECT_EQ(startIn(MessageAnswer::Yes), StartupResult::NoModel);
  EXPECT_EQ(platform.messageTexts(), Messages{question});
  EXPECT_EQ(app.baseFolder, demo);
  EXPECT_EQ(setting("Project", "BaseDir"), demo);
}

// --help and --version are answered without a window.
TEST(CommandLineTest, HelpAndVersionAreAnsweredOnTheTerminal) {
  EXPECT_EQ(terminalAnswer({"pelt", "--version"}), "Pelt 0.1\n");
  EXPECT_TRUE(terminalAnswer({"pelt", "-base", "x", "--help"})->starts_with("usage: pelt"));
  EXPECT_FALSE(terminalAnswer({"pelt", "-md2", "--help"}));  // a model of that name
  EXPECT_FALSE(terminalAnswer({"pelt"}));
}

TEST_F(StartUp, ReadsLayoutColoursAndWorkFoldersFromSettings) {
  std::string other = writeModel("sub/tris.md2");
  platform.settings = {
      {"Project",
       {{"BaseDir", dir.path()},
        {"LoadDir", dir.file("sub")},
        {"SaveDir", "/sys/kernel"},
        {"CurFile", other}}},
      {"Preferences", {{"Pal On Top", "1"}, {"Splitter", "4000"}, {"Skip Intro", "1"}}},
      {"Colors", {{"Color-7", "33"}}}};
  // "Phong Path" and "Env Path" never stored: the program's own maps, chosen.
  ASSERT_TRUE(writeMapFolders(dir.file("share"), nullptr));
  app.dataFolder = dir.file("share");

  // A folder named by -base that is not there is reported; the stored one serves.
  EXPECT_EQ(start({"-base", dir.file("none")}), StartupResult::Ready);

  EXPECT_EQ(platform.messageTexts(), Messages{"That folder is not valid"});
  EXPECT_EQ(app.baseFolder, dir.path());
  EXPECT_EQ(app.loadFolder, dir.file("sub"));
  EXPECT_EQ(setting("Project", "SaveDir"), dir.path());  // in the kernel's tree: the base folder
  EXPECT_TRUE(app.paletteOnTop);
  EXPECT_DOUBLE_EQ(app.splitRatio, 0.4);
  EXPECT_EQ(app.colorSlots[7], 33);
  EXPECT_EQ(frame.introChoice(), IntroChoice::Skipped);
  for (const MapList* maps : {&app.phongMaps, &app.envMaps})
    EXPECT_TRUE(maps->maps.size() == 3 && maps->current == maps->maps[0].get());
}

TEST_F(StartUp, CommandLineModelAndSkins) {
  knownBaseFolder();
  const std::string model = writeModel("models/m/tris.md2"), spaced = writeModel("a b/tris.md2");
  const std::string remembered = writeModel("old.md2");
  const std::string good = dir.write("models/m/red.pcx", encodeSkinPcx(test::patternSkin(64, 32)));
  const std::string small = dir.write("small.pcx", encodeSkinPcx(test::patternSkin(32, 32)));
  const std::string none = dir.file("none"),
                    bad = "There was an error loading from the command line!";
  struct Case {
    std::vector<std::string> args;
    std::string opened;
    size_t skins;
    Messages messages;
  } cases[] = {
      {{"-md2", model, good, good}, model, 2, {}},
      {{"-md2", "models/m/tris.md2"}, model, 0, {}},  // below the base folder, kept in full
      {{"-md2", spaced}, spaced, 0, {}},
      // The first failure stops the line.
      {{"-md2", model, small, good}, model, 0, {"Error loading skin: Incorrect dimensions!"}},
      {{"-md2", model, none}, model, 0, {"Error loading skin from the command line!"}},
      {{"-md2", none, good}, remembered, 0, {kLoadErrorMessage, bad}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    ScriptedPlatform fresh;
    fresh.settings = platform.settings;
    fresh.settings["Project"]["CurFile"] = remembered;
    fresh.settings["Preferences"]["DirScan_Prompt"] = "1";
    App other(fresh);
    MainFrame second(other, host);
    std::vector<std::string> argv = c.args;
    argv.insert(argv.begin(), "pelt");
    EXPECT_EQ(second.start(parseArguments(argv)), StartupResult::Ready);
    EXPECT_EQ(fresh.messageTexts(), c.messages);
    EXPECT_EQ(fresh.readString("Project", "CurFile", ""), c.opened);
    EXPECT_EQ(other.model.skins.size(), c.skins);
  }
}

TEST_F(StartUp, ModelBelowAGameFolderSettlesTheBaseFolderForThisRunOnly) {
  struct Case {
    const char* modelAt;
    bool storedBase, ctrl;
    const char* guessedBase;  // below root; nullptr: root, stored or from the prompt
  } cases[] = {
      {"Quake2/BaseQ2/models/m/tris.md2", false, false, "Quake2/BaseQ2"},
      {"q2/baseq2/models/tris.md2", true, false, nullptr},  // the stored folder wins
      {"q2/baseq2/models/tris.md2", false, true, nullptr},  // Ctrl ignores the line
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.modelAt);
    TempDir root;
    ScriptedPlatform platform;
    platform.settings["Preferences"]["DirScan_Prompt"] = "1";
    if (c.storedBase) platform.settings["Project"]["BaseDir"] = root.path();
    platform.ctrlHeld = c.ctrl;
    platform.folderAnswers = {root.path()};
    std::string model = root.write(c.modelAt, encodeMd2(test::quadStripMd2(1, 64, 32)));
    App app(platform);
    MainFrame(app, host).start(parseArguments({"pelt", "-md2", model}));
    const bool guessed = c.guessedBase != nullptr;
    EXPECT_EQ(platform.folderTitles.size(), guessed || c.storedBase ? 0u : 1u);
    EXPECT_EQ(app.baseFolder, guessed ? joinPath(root.path(), c.guessedBase) : root.path());
    EXPECT_EQ(platform.readString("Project", "BaseDir", "missing"),
              guessed ? "missing" : root.path());
  }
}

TEST(FrameLayoutTest, RectanglesFollowTheSplitAndPalettePlace) {
  // 1000 usable pixels at 0.65: the left pane is 650 wide.
  FrameLayout bottom = computeFrameLayout(1024, 700, 50, 0.65, false);
  EXPECT_EQ(bottom.leftPane, (Rect{0, 50, 650, 668}));
  EXPECT_EQ(bottom.gradientStrip, (Rect{650, 50, 674, 668}));
  EXPECT_EQ(bottom.rightPane, (Rect{674, 50, 1024, 668}));
  EXPECT_EQ(bottom.paletteStrip, (Rect{0, 668, 1024, 700}));
  FrameLayout top = computeFrameLayout(1024, 700, 50, 0.65, true);
  EXPECT_EQ(top.paletteStrip, (Rect{0, 50, 1024, 82}));
  // Truncation, not rounding: 999 * 0.5 = 499.5.
  EXPECT_EQ(computeFrameLayout(1023, 700, 50, 0.5, false).leftPane.right, 499);

  // The split collapses near the edges.
  EXPECT_EQ(splitRatioForDrag(63, 1024), 0.0);
  EXPECT_EQ(splitRatioForDrag(961, 1024), 1.0);
  EXPECT_EQ(splitRatioForDrag(960, 1024), 960.0 / 1024);
  EXPECT_EQ(clampOuterSize({300, 200}), (Size{516, 360}));
}

// Records what the frame asks of a view.
struct RecordingView : CoreView {
  std::vector<std::pair<int, int>>* renders;
  explicit RecordingView(std::vector<std::pair<int, int>>* log) : renders(log) {}
  void resize(int, int) override {}
  void render(int level, int flags) override { renders->push_back({level, flags}); }
  ViewImage image() const override { return {}; }
};

class FrameRouting : public test::FrameTest {
 protected:
  FrameRouting() {
    for (ViewId id :
         {ViewId::SkinView, ViewId::ModelView, ViewId::GradientBox, ViewId::PaletteBox}) {
      frame.setView(id, std::make_unique<RecordingView>(&renders[static_cast<size_t>(id)]));
    }
    frame.setClientSize(1024, 700, 50);
    for (auto& log : renders) log.clear();
  }

  std::array<std::vector<std::pair<int, int>>, 4> renders;
};

TEST_F(FrameRouting, RefreshAndResizeRenderNamedViewsInOrder) {
  frame.refresh(3, 0x13);
  EXPECT_EQ(platform.repaints, (std::vector<ViewId>{ViewId::SkinView, ViewId::ModelView}));
  EXPECT_EQ(renders[0], (std::vector<std::pair<int, int>>{{3, 0x10}}));
  platform.repaints.clear();
  frame.refresh(0, 0x2F);
  EXPECT_EQ(platform.repaints, (std::vector<ViewId>{ViewId::SkinView, ViewId::GradientBox,
                                                    ViewId::ModelView, ViewId::PaletteBox}));
  EXPECT_EQ(renders[3].back(), (std::pair<int, int>{0, 0x20}));

  // A resize renders once, and only on a change.
  renders[0].clear();
  frame.resizeView(ViewId::SkinView, 300, 200);
  frame.resizeView(ViewId::SkinView, 300, 200);
  frame.relayout();
  EXPECT_EQ(renders[0], (std::vector<std::pair<int, int>>{{0, 0}}));
}

TEST_F(FrameRouting, SplitDragMovesPanesAndCloseStoresTheLayout) {
  frame.barAdjust(0);
  EXPECT_TRUE(frame.splitDragging() && host.grabbed && platform.pointerHidden == 1);
  frame.splitDragMove(30);
  EXPECT_EQ(frame.layout().leftPane.width(), 0);
  frame.splitDragMove(512);
  EXPECT_DOUBLE_EQ(app.splitRatio, 0.5);
  EXPECT_EQ(frame.layout().gradientStrip.left, 500);

  frame.splitDragRelease();
  EXPECT_FALSE(frame.splitDragging() || host.grabbed || platform.pointerHidden);
  EXPECT_EQ(platform.repaints.size(), 4u);
  frame.splitDragMove(100);  // after the drag: nothing changes
  EXPECT_DOUBLE_EQ(app.splitRatio, 0.5);

  // Closing stores the layout and colours even when the answer is No.
  app.splitRatio = 0.123456;
  app.colorSlots[3] = 77;
  EXPECT_FALSE(frame.closeRequest());
  EXPECT_EQ(platform.settings["Preferences"]["Splitter"], "1234");
  EXPECT_EQ(platform.settings["Colors"]["Color-3"], "77");
  EXPECT_EQ(platform.messages.back().buttons, MessageButtons::YesNo);
}

TEST_F(FrameRouting, PreferencesOkWritesSettingsAndMovesThePalette) {
  // Unset paths show the game's colormap and the program's own maps.
  app.baseFolder = "/q2/baseq2";
  app.dataFolder = "/usr/share/pelt";
  const PreferencesValues unset = readPreferences(app);
  EXPECT_EQ((std::vector{unset.palettePath, unset.phongPath, unset.envPath}),
            (std::vector<std::string>{"/q2/baseq2/" + std::string(kDemoColormapPath),
                                      "/usr/share/pelt/phongs", "/usr/share/pelt/enviros"}));
  EXPECT_TRUE(unset.fitOnOpen && unset.interpolateFrames && unset.framesPerSecond == 10);
  platform.settings["Preferences"]["Phong Path"] = "/p/phongs";
  PreferencesValues chosen = readPreferences(app);
  chosen.dirScanPrompt = 0;
  chosen.quickExit = chosen.paletteOnTop = true;
  chosen.palettePath = "/q/other.act";
  chosen.fitOnOpen = chosen.interpolateFrames = false;
  chosen.framesPerSecond = 99;
  platform.preferencesAnswers = {chosen, std::nullopt};
  run(32829);
  const std::pair<std::string, std::string> stored[] = {{"DirScan_Prompt", "0"},
                                                        {"Skip Intro", "0"},
                                                        {"Quick Exit", "1"},
                                                        {"Pal On Top", "1"},
                                                        {"Palette Path", "/q/other.act"},
                                                        {"Phong Path", "/p/phongs"},
                                                        {"Fit On Open", "0"},
                                                        {"Frames Per Second", "60"},
                                                        {"Interpolate Frames", "0"}};
  for (const auto& [key, value] : stored) EXPECT_EQ(platform.settings["Preferences"][key], value);
  EXPECT_EQ(frame.layout().paletteStrip, (Rect{0, 50, 1024, 82}));

  platform.settings.clear();
  run(32829);  // cancelled: nothing stored
  EXPECT_TRUE(platform.settings["Preferences"].empty());
}

// A platform whose sleeps take longer, so a whole intro runs in few frames.
struct SlowClock : ScriptedPlatform {
  int step = 100;
  void sleepMilliseconds(int) override { clock += step; }
};

TEST(Intro, RunsUntilInputOrTheLastFrame) {
  struct Case {
    UtcDate date;
    int inputAtPoll;
    int frames;  // shown before the loop ends
    int clip;
  } cases[] = {
      {{6, 20}, 0, 593, kIntroClipMidsummer},  // 0, 100 .. 59200: the first past 59100 ends it
      {{6, 21}, 1, 1, kIntroClipEveryDay},     // a click during the first frame
      {{1, 1}, 7, 7, kIntroClipEveryDay},
  };
  Rasterizer r;
  for (const Case& c : cases) {
    SlowClock platform;
    platform.introWindowAvailable = true;
    platform.date = c.date;
    platform.inputAtPoll = c.inputAtPoll;
    EXPECT_EQ(runIntro(platform, r), c.frames);
    EXPECT_EQ(platform.soundsPlayed, std::vector<int>{c.clip});
  }
}

TEST(Intro, MusicClipsAreLoopingWaveFiles) {
  for (int clip : {kIntroClipMidsummer, kIntroClipEveryDay}) {
    const Bytes wave = introMusicWave(clip);
    ASSERT_GT(wave.size(), 44u);
    EXPECT_EQ(std::string(wave.begin() + 8, wave.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(readU32(&wave[24]), static_cast<std::uint32_t>(kMusicSampleRate));
    EXPECT_EQ(readU32(&wave[40]), wave.size() - 44);
  }
}

TEST_F(FrameRouting, AboutTableThroughTheCommand) {
  ASSERT_NO_FATAL_FAILURE(loadStrip());  // its quads cover the whole skin
  app.model.skins.back()->unlinked = kSkinUnlinked;
  run(57664);
  ASSERT_TRUE(platform.aboutShown);
  std::vector<std::array<std::string, 3>> rows;
  for (const auto& row : platform.aboutShown->rows)
    rows.push_back({row.label, row.current, row.limit});
  EXPECT_EQ(rows, (std::vector<std::array<std::string, 3>>{{"Vertices", "6", "2048"},
                                                           {"Mapping Verts", "6", "2048"},
                                                           {"Triangles", "4", "4096"},
                                                           {"Frames", "2", "512"},
                                                           {"Linked Skins", "0", "32"},
                                                           {"External Skins", "1", "Unlimited"},
                                                           {"Skin Width", "16", "640"},
                                                           {"Skin Height", "8", "480"},
                                                           {"Wasted Space", "0%", "Undecided"}}));
}

}  // namespace
}  // namespace pelt
