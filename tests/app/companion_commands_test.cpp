#include "app/companion_commands.h"

#include "app/frame_lists.h"
#include "frame_fixture.h"
#include "model/companion.h"
#include "platform/settings_keys.h"
#include "skins/byte_order.h"

namespace pelt {
namespace {

using Messages = std::vector<std::string>;
constexpr int kOpen = 32809, kClose = 32810, kHide = 32811, kLoadSkin = 32813, kOffset = 32814;

class Companions : public test::FrameTest {
 protected:
  Companions() { app.baseFolder = app.loadFolder = dir.path(); }
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
  Messages entries() { return listContents(app, FrameList::Companions).entries; }
};

TEST_F(Companions, OpenFindsTheNamedSkinBelowTheBaseFolderInAnyCase) {
  writeSkin("Models/W/Skin.PCX", 16, 8, 3);
  const std::string path = writeCompanion("weapons/weapon.md2", "models\\w\\skin.pcx");
  platform.answerFile(dir.file("weapons/weapon"));  // ".md2" is added
  run(kOpen);
  ASSERT_EQ(platform.fileRequests.size(), 1u);  // no skin dialog
  EXPECT_EQ(platform.readString(settings::kProject, settings::kLoadDir, ""), dir.file("weapons"));
  EXPECT_TRUE(platform.messages.empty());
  const Companion& c = *app.companions.items.at(0);
  EXPECT_EQ(c.skin.pixels, test::patternSkin(16, 8, 3).pixels);
  EXPECT_EQ(std::tuple(c.vertexCount, c.triangleCount, c.stCount, c.frameCount),
            std::tuple(6, 4, 8, 2));
  EXPECT_EQ(c.triangles[3].cornerSt[0], (StCoord{0, 0}));  // through the file's duplicate entry
  EXPECT_EQ(entries(), Messages{"  " + path});
  EXPECT_EQ(platform.refreshes.back(), (test::RecordedRefresh{0, 0x2F, true}));

  // A named skin of another size offers the skin dialog.
  writeSkin("small.pcx", 8, 8);
  EXPECT_TRUE(isChecker(open(writeCompanion("c.md2", "small.pcx"))));  // cancelled
  EXPECT_EQ(platform.fileRequests.at(2).filter, "Mesh Skin (*.pcx)|*.pcx|All Files (*.*)|*.*||");
}

TEST_F(Companions, DamagedFilesAreRefusedAndTheListStaysAsItWas) {
  open(writeCompanion("good.md2", ""));
  auto edited = [](auto edit) {
    Bytes b = encodeMd2(test::quadStripMd2(2, 16, 8));
    edit(b);
    return b;
  };
  Md2Data many = test::quadStripMd2(1, 16, 8);
  many.triangles.resize(kMaxTriangles + 1, many.triangles[0]);
  const std::pair<Bytes, const char*> cases[] = {
      {{}, "There was an error loading the specified file!"},  // no such file
      {edited([](Bytes& b) { b[3] = '3'; }), "This companion is not an MD2!"},
      {{'I', 'D', 'P'}, "This companion is not an MD2!"},
      {edited([](Bytes& b) { b.pop_back(); }), kDamagedCompanionMessage},
      // A vertex index past the six vertices, an st index past the eight entries.
      {edited([](Bytes& b) { b[readU32(&b[52]) + 2] = 6; }), kDamagedCompanionMessage},
      {edited([](Bytes& b) { b[readU32(&b[52]) + 6] = 8; }), kDamagedCompanionMessage},
      {encodeMd2(many), kDamagedCompanionMessage},
      {edited([](Bytes& b) { b[49] = 0x7F; }), kDamagedCompanionMessage},  // st block far out
  };
  for (const auto& [bytes, message] : cases) {
    platform.messages.clear();
    open(bytes.empty() ? dir.file("missing.md2") : dir.write("bad.md2", bytes));
    EXPECT_EQ(platform.messageTexts(), Messages{message}) << bytes.size();
    EXPECT_EQ(app.companions.items.size(), 1u);
    EXPECT_EQ(app.companions.currentIndex, 0);
  }
}

TEST_F(Companions, ShownWhileNotHiddenAndTheModelHasTheirFrame) {
  platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 1);
  ASSERT_TRUE(loadMd2(app, dir.write("m.md2", encodeMd2(test::quadStripMd2(1, 16, 8, {}, 41)))));
  const std::string path = writeCompanion("w.md2", "", 20);
  Companion& c = open(path);
  app.model.currentFrameIndex = 40;
  EXPECT_TRUE(shownCompanionScenes(app).empty());
  app.model.currentFrameIndex = 19;
  ASSERT_EQ(shownCompanionScenes(app).size(), 1u);
  EXPECT_EQ(shownCompanionScenes(app)[0].vertices.data(), c.frames[19].vertices.data());

  for (bool hidden : {true, false}) {
    run(kHide);
    EXPECT_STREQ(commandText(*findCommand(kHide), app), hidden ? "&Show\tH" : "&Hide\tH");
    EXPECT_EQ(entries()[0], (hidden ? "* " : "  ") + path);
    EXPECT_EQ(shownCompanionScenes(app).size(), hidden ? 0u : 1u);
  }

  // The offset dialog starts from the values; x moves along y.
  platform.offsetAnswers = {OffsetCompanionValues{10.0f, 2.0f, 3.0f}, std::nullopt};
  run(kOffset);
  run(kOffset);  // cancelled: nothing changes
  EXPECT_EQ(platform.offsetRequests.at(1).x, 10.0f);
  EXPECT_EQ(std::tuple(c.offsetX, c.offsetY, c.offsetZ), std::tuple(10.0f, 2.0f, 3.0f));
  EXPECT_EQ(shownCompanionScenes(app)[0].offset, (Vec3{3.0f, 10.0f, 2.0f}));
}

TEST_F(Companions, LoadSkinReplacesFallsBackOrKeeps) {
  writeSkin("fits.pcx", 16, 8, 4);
  writeSkin("wide.pcx", 32, 8);
  Companion& c = open(writeCompanion("w.md2", ""));  // dialog cancelled: checkerboard
  ASSERT_TRUE(isChecker(c));
  struct Case {
    std::optional<std::string> chosen;
    bool checker;
    Messages messages;
  } cases[] = {{"fits", false, {}},
               {std::nullopt, false, {}},  // cancel keeps the skin it has
               {"wide.pcx", true, {kSkinDoesNotFitMessage}},
               {"fits.pcx", false, {}},
               {"nothing.pcx", true, {}}};
  for (const Case& k : cases) {
    platform.messages.clear();
    if (k.chosen) platform.answerFile(dir.file(*k.chosen));
    run(kLoadSkin);
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
