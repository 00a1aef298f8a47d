#include "app/companion_commands.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/command_table.h"
#include "app/frame_lists.h"
#include "app/main_frame.h"
#include "app/model_loading.h"
#include "model/companion.h"
#include "platform/settings_keys.h"
#include "skins/byte_order.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"
#include "quiet_host.h"

namespace pelt {
namespace {

using test::ScriptedPlatform;
using test::TempDir;

constexpr int kOpen = 32809, kClose = 32810, kHide = 32811, kLoadSkin = 32813, kOffset = 32814;

class Companions : public ::testing::Test {
 protected:
  Companions() : app(platform), frame(app, host) { app.baseFolder = app.loadFolder = dir.path(); }
  // A companion of 16 x 8 skin and `frames` frames naming `skin` ("": none).
  std::string writeCompanion(const std::string& name, const std::string& skin, int frames = 2) {
    std::vector<std::string> skins;
    if (!skin.empty()) skins.push_back(skin);
    return dir.write(name, encodeMd2(test::quadStripMd2(2, 16, 8, skins, frames)));
  }
  void writeSkin(const std::string& name, int w, int h, int seed = 0) {
    dir.write(name, encodeSkinPcx(test::patternSkin(w, h, seed)));
  }
  Companion& open(const std::string& path) {
    platform.answerFile(path);
    runCommand(frame, kOpen);
    return *app.companions.items.back();
  }
  static bool isChecker(const Companion& c) {
    Skin expected;
    allocateSkin(expected, c.skinWidth, c.skinHeight);
    fillCheckerboard(expected, 64, 192);
    return c.skin.pixels == expected.pixels && c.skin.rowOffsets == expected.rowOffsets;
  }

  TempDir dir;
  ScriptedPlatform platform;
  App app;
  QuietHost host;
  MainFrame frame;
};

TEST_F(Companions, OpenFindsTheNamedSkinBelowTheBaseFolderInAnyCase) {
  writeSkin("Models/W/Skin.PCX", 16, 8, 3);
  const std::string path = writeCompanion("weapons/weapon.md2", "models\\w\\skin.pcx");
  platform.answerFile(dir.file("weapons/weapon"));  // ".md2" is added
  ASSERT_TRUE(runCommand(frame, kOpen));
  ASSERT_EQ(platform.fileRequests.size(), 1u);  // no skin dialog
  EXPECT_EQ(platform.fileRequests[0].filter, "Quake2 Model (*.md2)|*.md2|All Files (*.*)|*.*||");
  EXPECT_EQ(platform.fileRequests[0].initialName, "*.md2");
  EXPECT_EQ(platform.fileRequests[0].startFolder, dir.path());
  EXPECT_EQ(platform.readString(settings::kProject, settings::kLoadDir, ""), dir.file("weapons"));
  EXPECT_TRUE(platform.messages.empty());
  ASSERT_EQ(app.companions.items.size(), 1u);
  const Companion& c = *app.companions.items[0];
  EXPECT_EQ(c.name, path);
  EXPECT_EQ(c.skin.pixels, test::patternSkin(16, 8, 3).pixels);
  EXPECT_EQ(std::tuple(c.vertexCount, c.triangleCount, c.stCount, c.frameCount),
            std::tuple(6, 4, 8, 2));
  EXPECT_EQ(c.triangles[3].cornerSt[0], (StCoord{0, 0}));  // through the file's duplicate entry
  EXPECT_EQ(app.companions.currentIndex, 0);
  EXPECT_EQ(listContents(app, FrameList::Companions).entries,
            std::vector<std::string>{"  " + path});
  EXPECT_EQ(platform.refreshes.back(), (test::RecordedRefresh{0, 0x2F, true}));
}

TEST_F(Companions, OpenOffersTheSkinDialogWhenTheNamedSkinDoesNotServe) {
  writeSkin("small.pcx", 8, 8);
  writeSkin("fits.pcx", 16, 8, 9);
  // Missing and cancelled: the checkerboard; wrong size: the chosen skin.
  // What the dialog's answers do is the Load Skin test's.
  for (const char* named : {"gone.pcx", "small.pcx"}) {
    platform.fileRequests.clear();
    platform.answerFile(writeCompanion("c.md2", named));
    if (named == std::string("small.pcx")) platform.answerFile(dir.file("fits"));
    ASSERT_TRUE(runCommand(frame, kOpen));
    ASSERT_EQ(platform.fileRequests.size(), 2u) << named;
    EXPECT_EQ(platform.fileRequests[1].filter, "Mesh Skin (*.pcx)|*.pcx|All Files (*.*)|*.*||");
    EXPECT_EQ(isChecker(*app.companions.items.back()), named == std::string("gone.pcx"));
  }
  EXPECT_EQ(app.companions.items.back()->skin.pixels, test::patternSkin(16, 8, 9).pixels);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(app.companions.currentIndex, 1);
}

TEST_F(Companions, DamagedFilesAreRefusedAndTheListStaysAsItWas) {
  open(writeCompanion("good.md2", ""));
  Bytes idp3 = encodeMd2(test::quadStripMd2(2, 16, 8));
  idp3[3] = '3';
  Bytes cut = encodeMd2(test::quadStripMd2(2, 16, 8));
  cut.resize(cut.size() - 1);
  Bytes badIndex = encodeMd2(test::quadStripMd2(2, 16, 8));
  badIndex[readU32(&badIndex[52]) + 2] = 6;  // a vertex index past the six vertices
  Bytes badSt = encodeMd2(test::quadStripMd2(2, 16, 8));
  badSt[readU32(&badSt[52]) + 6] = 8;  // an st index past the eight entries
  Md2Data many = test::quadStripMd2(1, 16, 8);
  many.triangles.resize(kMaxTriangles + 1, many.triangles[0]);
  Bytes stOutside = encodeMd2(test::quadStripMd2(2, 16, 8));
  stOutside[49] = 0x7F;  // st block far past the end
  const std::pair<std::string, const char*> cases[] = {
      {dir.file("missing.md2"), "There was an error loading the specified file!"},
      {dir.write("idp3.md2", idp3), "This companion is not an MD2!"},
      {dir.write("idp.md2", {'I', 'D', 'P'}), "This companion is not an MD2!"},
      {dir.write("cut.md2", cut), kDamagedCompanionMessage},
      {dir.write("index.md2", badIndex), kDamagedCompanionMessage},
      {dir.write("st.md2", badSt), kDamagedCompanionMessage},
      {dir.write("many.md2", encodeMd2(many)), kDamagedCompanionMessage},
      {dir.write("outside.md2", stOutside), kDamagedCompanionMessage},
  };
  for (const auto& [path, message] : cases) {
    platform.messages.clear();
    platform.answerFile(path);
    runCommand(frame, kOpen);
    EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{message}) << path;
    EXPECT_EQ(app.companions.items.size(), 1u);
    EXPECT_EQ(app.companions.currentIndex, 0);
  }
}

TEST_F(Companions, CloseKeepsThePlaceOrMovesToTheNewLast) {
  for (const char* name : {"a.md2", "b.md2", "c.md2"}) open(writeCompanion(name, ""));
  chooseListEntry(app, FrameList::Companions, 0);
  EXPECT_EQ(platform.refreshes.back(), (test::RecordedRefresh{0, 0x2B, false}));
  chooseListEntry(app, FrameList::Companions, 1);
  auto names = [&] { return listContents(app, FrameList::Companions); };
  ASSERT_TRUE(runCommand(frame, kClose));
  EXPECT_EQ(names().entries,
            (std::vector<std::string>{"  " + dir.file("a.md2"), "  " + dir.file("c.md2")}));
  EXPECT_EQ(names().selected, 1);  // the former third
  ASSERT_TRUE(runCommand(frame, kClose));
  EXPECT_EQ(app.companions.currentIndex, 0);  // the last one went: the new last
  ASSERT_TRUE(runCommand(frame, kClose));
  EXPECT_EQ(app.companions.currentIndex, -1);
  for (int id : {kClose, kLoadSkin, kHide, kOffset}) {
    EXPECT_FALSE(isCommandEnabled(*findCommand(id), app)) << id;
    EXPECT_FALSE(runCommand(frame, id)) << id;
  }
  EXPECT_TRUE(isCommandEnabled(*findCommand(kOpen), app));
}

TEST_F(Companions, HideAndShowAlternateTheTextAndTheListMark) {
  const std::string path = writeCompanion("w.md2", "");
  open(path);
  const Command& hide = *findCommand(kHide);
  for (bool hidden : {true, false, true}) {
    ASSERT_TRUE(runCommand(frame, kHide));
    EXPECT_EQ(app.companions.current()->hidden, hidden);
    EXPECT_STREQ(commandText(hide, app), hidden ? "&Show\tH" : "&Hide\tH");
    EXPECT_EQ(listContents(app, FrameList::Companions).entries[0], (hidden ? "* " : "  ") + path);
    EXPECT_EQ(shownCompanionScenes(app).size(), hidden ? 0u : 1u);
  }
}

TEST_F(Companions, ShownOnlyWhileTheyHaveTheModelsFrame) {
  platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 1);
  ASSERT_TRUE(loadMd2(app, dir.write("m.md2", encodeMd2(test::quadStripMd2(1, 16, 8, {}, 41)))));
  Companion& c = open(writeCompanion("w.md2", "", 20));
  app.model.currentFrameIndex = 40;
  EXPECT_TRUE(shownCompanionScenes(app).empty());
  app.model.currentFrameIndex = 19;
  std::vector<CompanionScene> scenes = shownCompanionScenes(app);
  ASSERT_EQ(scenes.size(), 1u);
  EXPECT_EQ(scenes[0].vertices.data(), c.frames[19].vertices.data());
  EXPECT_EQ(scenes[0].triangles.size(), 4u);
  EXPECT_EQ(scenes[0].skin, &c.skin);
  // The fixture's frames lie in the plane z = frame number: normals along z.
  EXPECT_EQ(c.triangles[0].normal[2], -1.0f);
}

TEST_F(Companions, OffsetDialogStartsFromTheValuesAndXMovesAlongY) {
  open(writeCompanion("w.md2", ""));
  platform.offsetAnswers = {OffsetCompanionValues{10.0f, 2.0f, 3.0f}, std::nullopt};
  ASSERT_TRUE(runCommand(frame, kOffset));
  ASSERT_TRUE(runCommand(frame, kOffset));  // cancelled: nothing changes
  ASSERT_EQ(platform.offsetRequests.size(), 2u);
  EXPECT_EQ(platform.offsetRequests[1].x, 10.0f);
  EXPECT_EQ(platform.offsetRequests[1].z, 3.0f);
  const Companion& c = *app.companions.current();
  EXPECT_EQ(std::tuple(c.offsetX, c.offsetY, c.offsetZ), std::tuple(10.0f, 2.0f, 3.0f));
  EXPECT_EQ(shownCompanionScenes(app)[0].offset, (Vec3{3.0f, 10.0f, 2.0f}));
}

TEST_F(Companions, LoadSkinReplacesFallsBackOrKeeps) {
  writeSkin("fits.pcx", 16, 8, 4);
  writeSkin("wide.pcx", 32, 8);
  open(writeCompanion("w.md2", ""));  // dialog cancelled: checkerboard
  Companion& c = *app.companions.current();
  ASSERT_TRUE(isChecker(c));
  struct Case {
    std::optional<std::string> chosen;
    bool checker;
    std::vector<std::string> messages;
  };
  const Case cases[] = {{"fits", false, {}},
                        {std::nullopt, false, {}},  // cancel keeps the skin it has
                        {"wide.pcx", true, {kSkinDoesNotFitMessage}},
                        {"fits.pcx", false, {}},
                        {"nothing.pcx", true, {}}};
  for (const Case& k : cases) {
    platform.messages.clear();
    if (k.chosen) platform.answerFile(dir.file(*k.chosen));
    ASSERT_TRUE(runCommand(frame, kLoadSkin));
    EXPECT_EQ(isChecker(c), k.checker);
    if (!k.checker) {
      EXPECT_EQ(c.skin.pixels, test::patternSkin(16, 8, 4).pixels);
    }
    EXPECT_EQ(platform.messageTexts(), k.messages);
    EXPECT_EQ(platform.refreshes.back(), (test::RecordedRefresh{0, 2, true}));
  }
}

}  // namespace
}  // namespace pelt
