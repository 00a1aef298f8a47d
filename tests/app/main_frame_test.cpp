#include "app/main_frame.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/app.h"
#include "app/game_folder.h"
#include "app/model_loading.h"
#include "platform/paths.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

using test::ScriptedPlatform;
using test::TempDir;

struct RecordingHost : FrameHost {
  int layouts = 0;
  bool grabbed = false;
  int closes = 0;
  void layoutChanged() override { ++layouts; }
  void grabSplitPointer(bool grab) override { grabbed = grab; }
  void closeWindow() override { ++closes; }
};

// Records what the frame asks of a view.
struct RecordingView : CoreView {
  std::vector<std::pair<int, int>>* renders;
  int wheelTurns = 0;
  explicit RecordingView(std::vector<std::pair<int, int>>* log) : renders(log) {}
  void resize(int, int) override {}
  void render(int level, int flags) override { renders->push_back({level, flags}); }
  ViewImage image() const override { return {}; }
  void wheel(int delta) override { wheelTurns += delta; }
};

class StartUp : public ::testing::Test {
 protected:
  StartUp() : app(platform), frame(app, host) {}

  std::string writeModel(const std::string& name, int frames = 2) {
    return dir.write(name, encodeMd2(test::quadStripMd2(1, 64, 32, {}, frames)));
  }
  std::string writeSkin(const std::string& name, int w, int h) {
    return dir.write(name, encodeSkinPcx(test::patternSkin(w, h)));
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

  TempDir dir;
  ScriptedPlatform platform;
  App app;
  RecordingHost host;
  MainFrame frame;
};

TEST_F(StartUp, FreshSettingsAskForTheBaseFolderUntilItIsUsable) {
  std::string model = writeModel("tris.md2");
  platform.folderAnswers = {std::nullopt, dir.file("missing"), dir.path()};
  platform.answerFile(model);

  EXPECT_EQ(start({}), StartupResult::Ready);

  EXPECT_EQ(platform.folderTitles,
            std::vector<std::string>(3, "Please locate the 'baseq2' folder under Quake2"));
  EXPECT_EQ(platform.messageTexts(),
            (std::vector<std::string>{"You must specify a valid folder",
                                      "That folder is not valid,\nPlease choose another"}));
  EXPECT_EQ(app.baseFolder, dir.path());
  EXPECT_EQ(setting("Project", "BaseDir"), dir.path());
  EXPECT_EQ(setting("Project", "LoadDir"), dir.path());
  EXPECT_EQ(setting("Project", "SaveDir"), dir.path());
  // Nothing remembered: straight to the Open dialog.
  ASSERT_EQ(platform.fileRequests.size(), 1u);
  EXPECT_EQ(platform.fileRequests[0].startFolder, dir.path());
  EXPECT_TRUE(app.model.modelLoaded);
  EXPECT_EQ(setting("Project", "CurFile"), model);
  EXPECT_EQ(frame.introChoice(), IntroChoice::Play);
  EXPECT_FALSE(app.paletteOnTop);
  EXPECT_DOUBLE_EQ(app.splitRatio, 0.65);
  EXPECT_EQ(app.colorSlots, (std::array<std::uint8_t, 8>{248, 64, 128, 192, 15, 10, 5, 0}));
  EXPECT_EQ(platform.refreshes.back(), (test::RecordedRefresh{0, 0x2F, true}));
}

TEST_F(StartUp, ReadsLayoutColoursAndWorkFoldersFromSettings) {
  knownBaseFolder();
  std::string other = writeModel("sub/tris.md2");
  platform.settings["Project"]["LoadDir"] = dir.file("sub");
  platform.settings["Project"]["SaveDir"] = dir.file("gone");
  platform.settings["Project"]["CurFile"] = other;
  platform.settings["Preferences"]["Pal On Top"] = "1";
  platform.settings["Preferences"]["Splitter"] = "4000";
  platform.settings["Preferences"]["Skip Intro"] = "1";
  platform.settings["Colors"]["Color-7"] = "33";

  EXPECT_EQ(start({}), StartupResult::Ready);

  EXPECT_TRUE(platform.folderTitles.empty());
  EXPECT_TRUE(platform.fileRequests.empty());
  EXPECT_EQ(app.currentFile, other);
  EXPECT_EQ(app.loadFolder, dir.file("sub"));
  EXPECT_EQ(app.saveFolder, dir.path());  // unusable: falls back to the base folder
  EXPECT_EQ(setting("Project", "SaveDir"), dir.path());
  EXPECT_TRUE(app.paletteOnTop);
  EXPECT_DOUBLE_EQ(app.splitRatio, 0.4);
  EXPECT_EQ(app.colorSlots[7], 33);
  EXPECT_EQ(frame.introChoice(), IntroChoice::Skipped);
}

TEST_F(StartUp, CtrlHeldSkipsIntroCommandLineAndRememberedFile) {
  knownBaseFolder();
  std::string model = writeModel("tris.md2");
  platform.settings["Project"]["CurFile"] = model;
  platform.ctrlHeld = true;

  EXPECT_EQ(start({"-md2", model}), StartupResult::Quit);  // Open dialog cancelled

  EXPECT_EQ(frame.introChoice(), IntroChoice::Skipped);
  EXPECT_EQ(platform.fileRequests.size(), 1u);
  EXPECT_FALSE(app.model.modelLoaded);
}

TEST_F(StartUp, CommandLineOpensModelAndExternalSkins) {
  knownBaseFolder();
  std::string model = writeModel("models/m/tris.md2");
  std::string skin1 = writeSkin("models/m/red.pcx", 64, 32);
  std::string skin2 = writeSkin("models/m/blue.pcx", 64, 32);

  EXPECT_EQ(start({"-md2", model, skin1, skin2}), StartupResult::Ready);

  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(app.currentFile, model);
  EXPECT_EQ(setting("Project", "CurFile"), model);
  ASSERT_EQ(app.model.skins.size(), 2u);
  EXPECT_EQ(app.model.skins[0]->name, skin1);
  EXPECT_FALSE(app.model.skins[1]->isLinked());
  EXPECT_EQ(app.model.currentSkinIndex, 1);
}

TEST_F(StartUp, CommandLineStopsAtTheFirstFailure) {
  knownBaseFolder();
  std::string model = writeModel("tris.md2");
  std::string small = writeSkin("small.pcx", 32, 32);
  std::string good = writeSkin("good.pcx", 64, 32);

  EXPECT_EQ(start({"-md2", model, small, good}), StartupResult::Ready);
  EXPECT_EQ(platform.messageTexts(),
            std::vector<std::string>{"Error loading skin: Incorrect dimensions!"});
  EXPECT_TRUE(app.model.skins.empty());

  platform.messages.clear();
  App other(platform);
  RecordingHost otherHost;
  MainFrame second(other, otherHost);
  platform.settings["Project"]["CurFile"] = model;
  EXPECT_EQ(second.start(parseArguments({"pelt", "-md2", dir.file("none.md2"), good})),
            StartupResult::Ready);
  // No skin is tried after a failed model; start-up goes on with "CurFile".
  EXPECT_EQ(platform.messageTexts(),
            (std::vector<std::string>{kLoadErrorMessage,
                                      "There was an error loading from the command line!"}));
  EXPECT_TRUE(other.model.modelLoaded);
  EXPECT_EQ(other.currentFile, model);
  EXPECT_TRUE(other.model.skins.empty());
}

TEST_F(StartUp, UnreadableCommandLineSkinIsReported) {
  knownBaseFolder();
  std::string model = writeModel("tris.md2");
  EXPECT_EQ(start({"-md2", model, dir.file("nothing.pcx")}), StartupResult::Ready);
  EXPECT_EQ(platform.messageTexts(),
            std::vector<std::string>{"Error loading skin from the command line!"});
}

TEST_F(StartUp, Md2AtTheVeryEndFallsBackToRememberedFile) {
  knownBaseFolder();
  std::string model = writeModel("tris.md2");
  platform.settings["Project"]["CurFile"] = model;
  EXPECT_EQ(start({"-md2"}), StartupResult::Ready);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(app.currentFile, model);
}

TEST_F(StartUp, CommandLineModelBelowTheBaseFolderIsRememberedInFull) {
  knownBaseFolder();
  std::string model = writeModel("models/m/tris.md2");
  EXPECT_EQ(start({"-md2", "models/m/tris.md2"}), StartupResult::Ready);
  EXPECT_EQ(app.currentFile, model);
  EXPECT_EQ(setting("Project", "CurFile"), model);
}

TEST_F(StartUp, BaseOptionSkipsThePromptAndIsStored) {
  std::string model = writeModel("tris.md2");
  EXPECT_EQ(start({"-base", dir.path(), "-md2", model}), StartupResult::Ready);
  EXPECT_TRUE(platform.folderTitles.empty());
  EXPECT_EQ(app.baseFolder, dir.path());
  EXPECT_EQ(setting("Project", "BaseDir"), dir.path());
}

// A folder named by -base that is not there is reported, then the usual
// rules apply; remembered folders in the kernel's trees fall back too.
TEST_F(StartUp, UnusableBaseOptionAndSystemFoldersFallBack) {
  knownBaseFolder();
  platform.settings["Project"]["LoadDir"] = "/proc";
  platform.settings["Project"]["SaveDir"] = "/sys/kernel";
  std::string model = writeModel("tris.md2");
  EXPECT_EQ(start({"-base", dir.file("no-such-folder"), "-md2", model}), StartupResult::Ready);
  EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{"That folder is not valid"});
  EXPECT_TRUE(platform.folderTitles.empty());
  EXPECT_EQ(app.baseFolder, dir.path());
  EXPECT_EQ(setting("Project", "LoadDir"), dir.path());
  EXPECT_EQ(setting("Project", "SaveDir"), dir.path());
}

TEST_F(StartUp, ModelBelowAGameFolderSettlesTheBaseFolderForThisRunOnly) {
  struct Case {
    const char* label;
    const char* modelAt;
    bool storedBase;
    bool ctrl;
    const char* guessedBase;  // below root; nullptr: root, stored or from the prompt
  };
  const Case cases[] = {
      {"any case", "Quake2/BaseQ2/models/m/tris.md2", false, false, "Quake2/BaseQ2"},
      {"no game folder", "models/m/tris.md2", false, false, nullptr},
      {"stored folder wins", "q2/baseq2/models/tris.md2", true, false, nullptr},
      {"ctrl ignores the line", "q2/baseq2/models/tris.md2", false, true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir root;
    ScriptedPlatform platform;
    platform.settings["Preferences"]["DirScan_Prompt"] = "1";
    if (c.storedBase) platform.settings["Project"]["BaseDir"] = root.path();
    platform.ctrlHeld = c.ctrl;
    platform.folderAnswers = {root.path()};
    std::string model = root.write(c.modelAt, encodeMd2(test::quadStripMd2(1, 64, 32)));
    App app(platform);
    MainFrame frame(app, host);

    frame.start(parseArguments({"pelt", "-md2", model}));

    const bool guessed = c.guessedBase != nullptr;
    EXPECT_EQ(platform.folderTitles.size(), guessed || c.storedBase ? 0u : 1u);
    EXPECT_EQ(app.baseFolder, guessed ? joinPath(root.path(), c.guessedBase) : root.path());
    EXPECT_EQ(platform.readString("Project", "BaseDir", "missing"),
              guessed ? "missing" : root.path());
  }
  // The guessed folder is the one skin names are found below.
  TempDir root;
  root.write("BaseQ2/models/skin.pcx", encodeSkinPcx(test::patternSkin(64, 32)));
  std::string model = root.write("BaseQ2/models/tris.md2",
                                 encodeMd2(test::quadStripMd2(1, 64, 32, {"models/skin.pcx"})));
  EXPECT_EQ(start({"-md2", model}), StartupResult::Ready);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(app.model.skins.size(), 1u);
}

TEST(GameFolder, NearestFolderNamedBaseq2AboveTheFile) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"/g/quake2/baseq2/models/m/tris.md2", "/g/quake2/baseq2"},
      {"/g/BASEQ2/tris.md2", "/g/BASEQ2"},
      {"/g/baseq2/mod/BaseQ2/tris.md2", "/g/baseq2/mod/BaseQ2"},
      {"/g/baseq2/models/../tris.md2", "/g/baseq2"},
      {"/g/baseq2/../models/tris.md2", std::nullopt},
      {"/g/baseq2", std::nullopt},
      {"/g/baseq2x/tris.md2", std::nullopt},
      {"/g/xbaseq2/tris.md2", std::nullopt},
      {"/tris.md2", std::nullopt},
      {"tris.md2", std::nullopt},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(baseFolderAbove(path), expected) << path;

  // Tools fall back to the model's own folder.
  EXPECT_EQ(baseFolderFor("/g/baseq2/models/tris.md2"), "/g/baseq2");
  EXPECT_EQ(baseFolderFor("/g/models/./tris.md2"), "/g/models");
  EXPECT_EQ(baseFolderFor("tris.md2"), std::filesystem::current_path().string());
}

TEST_F(StartUp, OpenDialogQuitsOnFailure) {
  knownBaseFolder();
  platform.answerFile(dir.file("nothing.md2"));
  EXPECT_EQ(start({}), StartupResult::Quit);
}

TEST(CommandLine, SplitsTokensAfterTheOption) {
  EXPECT_TRUE(md2Tokens("pelt a b").empty());
  EXPECT_TRUE(md2Tokens("pelt -md2").empty());
  EXPECT_TRUE(md2Tokens("pelt -md2 ").empty());
  EXPECT_EQ(md2Tokens("pelt -md2 m.md2 s1.pcx  s2.pcx"),
            (std::vector<std::string>{"m.md2", "s1.pcx", "s2.pcx"}));
  EXPECT_EQ(md2Tokens("pelt -md2 \"/a b/m.md2\" x\"y z\""),
            (std::vector<std::string>{"\"/a b/m.md2\"", "x\"y z\""}));
  EXPECT_EQ(withoutQuotes("\"/a b/m.md2\""), "/a b/m.md2");
}

TEST(CommandLine, JoinsArgumentsAndTakesBaseOption) {
  CommandLine line = parseArguments({"pelt", "-base", "/g/baseq2", "-md2", "/x y/m.md2", "s"});
  EXPECT_EQ(line.baseFolder, "/g/baseq2");
  EXPECT_EQ(line.text, "pelt -md2 \"/x y/m.md2\" s");
  EXPECT_FALSE(parseArguments({"pelt", "-base"}).baseFolder);
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
  EXPECT_EQ(top.leftPane, (Rect{0, 82, 650, 700}));
  EXPECT_EQ(top.gradientStrip, (Rect{650, 82, 674, 700}));
  EXPECT_EQ(top.rightPane, (Rect{674, 82, 1024, 700}));

  // Truncation, not rounding: 999 * 0.5 = 499.5.
  EXPECT_EQ(computeFrameLayout(1023, 700, 50, 0.5, false).leftPane.right, 499);
}

TEST(FrameLayoutTest, SplitDragCollapsesNearTheEdges) {
  EXPECT_EQ(splitRatioForDrag(63, 1024), 0.0);
  EXPECT_EQ(splitRatioForDrag(64, 1024), 64 / 1024.0);
  EXPECT_EQ(splitRatioForDrag(960, 1024), 960 / 1024.0);
  EXPECT_EQ(splitRatioForDrag(961, 1024), 1.0);
  EXPECT_EQ(computeFrameLayout(1024, 700, 50, 0.0, false).leftPane.width(), 0);
  EXPECT_EQ(computeFrameLayout(1024, 700, 50, 1.0, false).leftPane.width(), 1000);
  EXPECT_EQ(clampOuterSize({300, 200}), (Size{516, 360}));
  EXPECT_EQ(clampOuterSize({800, 600}), (Size{800, 600}));
}

TEST(FrameLayoutTest, ListSpans) {
  auto spans = listPlacements(1024);
  EXPECT_EQ(spans[0].id, 130);
  EXPECT_STREQ(spans[0].statusText, "Current List of Strings");
  EXPECT_EQ(spans[0].right, 736);
  EXPECT_EQ(spans[1].left, 0);  // companions share the skin list's span
  EXPECT_EQ(spans[2].left, 736);
  EXPECT_EQ(spans[2].right, 832);
  EXPECT_EQ(spans[3].right, 1024);
  EXPECT_EQ(spans[4].right, 880);
  EXPECT_EQ(spans[5].left, 880);
}

class FrameRouting : public ::testing::Test {
 protected:
  FrameRouting() : app(platform), frame(app, host) {
    for (ViewId id :
         {ViewId::SkinView, ViewId::ModelView, ViewId::GradientBox, ViewId::PaletteBox}) {
      auto view = std::make_unique<RecordingView>(&renders[static_cast<size_t>(id)]);
      views[static_cast<size_t>(id)] = view.get();
      frame.setView(id, std::move(view));
    }
    frame.setClientSize(1024, 700, 50);
    for (auto& log : renders) log.clear();
  }

  ScriptedPlatform platform;
  App app;
  RecordingHost host;
  MainFrame frame;
  std::array<std::vector<std::pair<int, int>>, 4> renders;
  std::array<RecordingView*, 4> views{};
};

TEST_F(FrameRouting, RefreshRendersNamedViewsInOrder) {
  frame.refresh(3, 0x13);
  EXPECT_EQ(platform.repaints, (std::vector<ViewId>{ViewId::SkinView, ViewId::ModelView}));
  EXPECT_EQ(renders[0], (std::vector<std::pair<int, int>>{{3, 0x10}}));

  platform.repaints.clear();
  frame.refresh(0, 0x2F);
  EXPECT_EQ(platform.repaints, (std::vector<ViewId>{ViewId::SkinView, ViewId::GradientBox,
                                                    ViewId::ModelView, ViewId::PaletteBox}));
  EXPECT_EQ(renders[3].back(), (std::pair<int, int>{0, 0x20}));
}

TEST_F(FrameRouting, ResizeRendersOnceAndOnlyOnChange) {
  auto& skinRenders = renders[static_cast<size_t>(ViewId::SkinView)];
  frame.resizeView(ViewId::SkinView, 300, 200);
  EXPECT_EQ(skinRenders, (std::vector<std::pair<int, int>>{{0, 0}}));
  frame.resizeView(ViewId::SkinView, 300, 200);
  frame.relayout();
  EXPECT_EQ(skinRenders.size(), 1u);
  frame.resizeView(ViewId::SkinView, 301, 200);
  EXPECT_EQ(skinRenders.size(), 2u);
}

TEST_F(FrameRouting, WheelGoesToTheViewUnderThePointer) {
  EXPECT_EQ(frame.wheelTarget(10, 100), ViewId::SkinView);
  EXPECT_EQ(frame.wheelTarget(700, 100), ViewId::ModelView);
  EXPECT_EQ(frame.wheelTarget(500, 690), ViewId::PaletteBox);
  EXPECT_EQ(frame.wheelTarget(660, 100), std::nullopt);  // gradient strip
  EXPECT_EQ(frame.wheelTarget(10, 20), std::nullopt);    // list row

  frame.swapDisplays();
  EXPECT_EQ(frame.viewRect(ViewId::SkinView), frame.layout().rightPane);
  EXPECT_EQ(frame.wheelTarget(10, 100), ViewId::ModelView);
  frame.routeWheel(700, 100, -120);
  EXPECT_EQ(views[static_cast<size_t>(ViewId::SkinView)]->wheelTurns, -120);
}

TEST_F(FrameRouting, SplitDragMovesPanesAndEndsWithRedraw) {
  frame.barAdjust(0);
  EXPECT_TRUE(frame.splitDragging());
  EXPECT_TRUE(host.grabbed);
  EXPECT_EQ(platform.pointerHidden, 1);

  frame.splitDragMove(30);
  EXPECT_EQ(frame.layout().leftPane.width(), 0);
  frame.splitDragMove(1000);
  EXPECT_EQ(frame.layout().leftPane.width(), 1000);
  frame.splitDragMove(512);
  EXPECT_DOUBLE_EQ(app.splitRatio, 0.5);
  EXPECT_EQ(frame.layout().gradientStrip.left, 500);

  frame.splitDragRelease();
  EXPECT_FALSE(frame.splitDragging());
  EXPECT_FALSE(host.grabbed);
  EXPECT_EQ(platform.pointerHidden, 0);
  EXPECT_EQ(platform.repaints.size(), 4u);

  // Moves after the drag change nothing.
  frame.splitDragMove(100);
  EXPECT_DOUBLE_EQ(app.splitRatio, 0.5);
}

TEST_F(FrameRouting, CloseStoresLayoutAndColoursEvenWhenTheAnswerIsNo) {
  app.splitRatio = 0.123456;
  app.colorSlots[3] = 77;
  platform.messageAnswers = {MessageAnswer::No};
  EXPECT_FALSE(frame.closeRequest());
  EXPECT_EQ(platform.settings["Preferences"]["Splitter"], "1234");
  EXPECT_EQ(platform.settings["Colors"]["Color-3"], "77");
  EXPECT_EQ(platform.settings["Colors"]["Color-0"], "248");
  EXPECT_EQ(platform.messages.back().text,
            "All Unsaved data will be lost...\nAre you sure you want to quit?");
  EXPECT_EQ(platform.messages.back().buttons, MessageButtons::YesNo);

  platform.settings["Preferences"]["Quick Exit"] = "1";
  platform.messages.clear();
  EXPECT_TRUE(frame.closeRequest());
  EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace pelt
