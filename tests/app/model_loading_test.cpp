#include "app/model_loading.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/skin_list.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

using test::patternSkin;
using test::ScriptedPlatform;
using test::TempDir;

class ModelLoading : public ::testing::Test {
 protected:
  ModelLoading() : app(platform) { app.baseFolder = dir.path(); }

  std::string writeModel(const std::string& name, const Md2Data& data) {
    return dir.write(name, encodeMd2(data));
  }
  void writeSkin(const std::string& name, int w, int h, int seed = 0) {
    dir.write(name, encodeSkinPcx(patternSkin(w, h, seed)));
  }

  TempDir dir;
  ScriptedPlatform platform;
  App app;
};

TEST_F(ModelLoading, ReadsGeometryFramesAndSkins) {
  writeSkin("models/m/skin.pcx", 64, 32);
  writeSkin("models/m/Other.PCX", 64, 32, 5);
  std::string path = writeModel(
      "models/m/tris.md2",
      test::quadStripMd2(1, 64, 32, {"models/m/skin.pcx", "MODELS\\m\\other.pcx"}, 3));
  ASSERT_TRUE(loadMd2(app, path));
  const Model& m = app.model;
  EXPECT_TRUE(m.modelLoaded);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(m.vertexCount, 4);
  EXPECT_EQ(m.triangleCount, 2);
  // Six entries in the file: one duplicate and one unused entry go.
  EXPECT_EQ(m.stCount, 4);
  EXPECT_EQ(m.triangles[1].stIndex[0], 0);
  EXPECT_EQ(m.storedStCount, 4);
  EXPECT_EQ(m.triangles[1].storedStIndex, m.triangles[1].stIndex);
  ASSERT_EQ(m.frames.size(), 3u);
  EXPECT_EQ(m.frames[2].name, "frame2");
  EXPECT_EQ(m.frames[2].vertices[3], (Vec3{-3.0f, 10.0f, 8.0f}));
  EXPECT_EQ(m.currentFrameIndex, 0);
  EXPECT_EQ(m.triangles[0].normal[2], -1.0f);
  ASSERT_EQ(m.skins.size(), 2u);
  EXPECT_EQ(m.currentSkinIndex, 0);
  EXPECT_EQ(m.skins[0]->name, "models/m/skin.pcx");
  EXPECT_EQ(m.skins[1]->name, "MODELS/m/other.pcx");  // found in any case, stored with '/'
  EXPECT_EQ(m.skins[1]->filePath, dir.file("models/m/Other.PCX"));
  EXPECT_EQ(m.skins[1]->pixels, patternSkin(64, 32, 5).pixels);
  EXPECT_TRUE(m.skins[1]->isLinked());
  EXPECT_EQ(app.rawModelImage, readWholeFile(path).bytes);
}

TEST_F(ModelLoading, MissingOrWrongSizedSkinsBecomeCheckerboards) {
  dir.write("pal.act", Bytes(768, 7));
  platform.writeString(settings::kPreferences, settings::kPalettePath, dir.file("pal.act"));
  writeSkin("a.pcx", 16, 8);
  writeSkin("wrong.pcx", 8, 8);
  std::string path = writeModel("m.md2", test::quadStripMd2(1, 16, 8, {"a.pcx", "gone.pcx", "wrong.pcx"}));
  ASSERT_TRUE(loadMd2(app, path));
  EXPECT_EQ(platform.messageTexts(),
            (std::vector<std::string>{kMissingSkinMessage, kWrongSkinSizeMessage}));
  ASSERT_EQ(app.model.skins.size(), 3u);
  const Skin& temp = *app.model.skins[1];
  EXPECT_EQ(temp.name, "gone.pcx");
  EXPECT_EQ(temp.filePath, dir.file("gone.pcx"));
  EXPECT_FALSE(temp.hasFile);
  EXPECT_EQ(temp.palette[100], 7);
  EXPECT_EQ(temp.storedPixels, temp.pixels);
  const std::uint8_t expectedRows[2][16] = {
      {63, 63, 63, 63, 191, 191, 191, 191, 63, 63, 63, 63, 191, 191, 191, 191},
      {191, 191, 191, 191, 63, 63, 63, 63, 191, 191, 191, 191, 63, 63, 63, 63}};
  for (int x = 0; x < 16; ++x) {
    EXPECT_EQ(temp.pixel(x, 3), expectedRows[0][x]);
    EXPECT_EQ(temp.pixel(x, 4), expectedRows[1][x]);
  }
  EXPECT_EQ(app.model.skins[2]->pixels, temp.pixels);
}

TEST_F(ModelLoading, ModelsWithoutSkinNamesFollowTheScanPreference) {
  writeSkin("m/one.pcx", 16, 8);
  writeSkin("m/two.PCX", 16, 8);
  writeSkin("m/small.pcx", 8, 8);
  std::string path = writeModel("m/tris.md2", test::quadStripMd2(1, 16, 8));

  platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 1);
  ASSERT_TRUE(loadMd2(app, path));
  EXPECT_TRUE(app.model.skins.empty());
  EXPECT_EQ(app.model.currentSkinIndex, -1);
  EXPECT_TRUE(platform.messages.empty());

  platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 2);
  platform.messageAnswers = {MessageAnswer::Yes};
  ASSERT_TRUE(loadMd2(app, path));
  EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{kNoInternalSkinsQuestion});
  ASSERT_EQ(app.model.skins.size(), 2u);
  EXPECT_EQ(app.model.skins[0]->name, dir.file("m/one.pcx"));
  EXPECT_FALSE(app.model.skins[0]->isLinked());
  EXPECT_EQ(app.model.currentSkinIndex, 0);

  platform.messages.clear();
  platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 0);
  writeSkin("empty/x.bmp", 8, 8);
  ASSERT_TRUE(loadMd2(app, writeModel("empty/tris.md2", test::quadStripMd2(1, 16, 8))));
  EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{kNoMatchingSkinsMessage});
}

void expectSameModel(const Model& a, const Model& b) {
  EXPECT_EQ(a.vertexCount, b.vertexCount);
  EXPECT_EQ(a.triangleCount, b.triangleCount);
  EXPECT_EQ(a.stCount, b.stCount);
  EXPECT_EQ(a.stCoords, b.stCoords);
  EXPECT_EQ(a.storedStCoords, b.storedStCoords);
  for (int i = 0; i < a.triangleCount; ++i) {
    const ModelTriangle& x = a.triangles[static_cast<size_t>(i)];
    const ModelTriangle& y = b.triangles[static_cast<size_t>(i)];
    EXPECT_EQ(x.vertexIndex, y.vertexIndex);
    EXPECT_EQ(x.stIndex, y.stIndex);
    EXPECT_EQ(x.cornerSt, y.cornerSt);
    EXPECT_EQ(x.normal, y.normal);
    EXPECT_EQ(x.flags, y.flags);
  }
  ASSERT_EQ(a.frames.size(), b.frames.size());
  for (size_t f = 0; f < a.frames.size(); ++f) EXPECT_EQ(a.frames[f].vertices, b.frames[f].vertices);
  ASSERT_EQ(a.skins.size(), b.skins.size());
  for (size_t s = 0; s < a.skins.size(); ++s) {
    EXPECT_EQ(a.skins[s]->name, b.skins[s]->name);
    EXPECT_EQ(a.skins[s]->pixels, b.skins[s]->pixels);
    EXPECT_EQ(a.skins[s]->palette, b.skins[s]->palette);
  }
}

TEST_F(ModelLoading, LoadingTwiceGivesTheSameModel) {
  writeSkin("s.pcx", 16, 8);
  std::string path = writeModel("m.md2", test::quadStripMd2(6, 16, 8, {"s.pcx"}, 4));
  ASSERT_TRUE(loadMd2(app, path));
  app.model.triangles[3].flags = kTriangleSelected;
  ASSERT_TRUE(loadMd2(app, path));
  ScriptedPlatform otherPlatform;
  App other(otherPlatform);
  other.baseFolder = dir.path();
  ASSERT_TRUE(loadMd2(other, path));
  expectSameModel(app.model, other.model);
}

class OpenCommand : public ModelLoading {
 protected:
  void SetUp() override {
    platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 1);
    app.loadFolder = dir.path();
    modelPath = writeModel("models/x/tris.md2", test::quadStripMd2(1, 16, 8));
  }
  std::string modelPath;
};

TEST_F(OpenCommand, CompletesTheExtensionAndRemembersFolderAndFile) {
  platform.answerFile(dir.file("models/x/tris"));
  openModelCommand(app);
  ASSERT_EQ(platform.fileRequests.size(), 1u);
  EXPECT_EQ(platform.fileRequests[0].filter, "Quake2 Model (*.md2)|*.md2|All Files (*.*)|*.*||");
  EXPECT_EQ(platform.fileRequests[0].initialName, "*.md2");
  EXPECT_EQ(platform.fileRequests[0].startFolder, dir.path());
  EXPECT_TRUE(app.model.modelLoaded);
  EXPECT_EQ(app.currentFile, modelPath);
  EXPECT_EQ(platform.readString(settings::kProject, settings::kCurFile, ""), modelPath);
  EXPECT_EQ(app.loadFolder, dir.file("models/x"));
  EXPECT_EQ(platform.readString(settings::kProject, settings::kLoadDir, ""), dir.file("models/x"));
  EXPECT_EQ(platform.refreshes.back(), (test::RecordedRefresh{0, 0x2F, true}));
}

TEST_F(OpenCommand, FallsBackToTheBaseFolderAndReportsMissingFiles) {
  platform.answerFile("/no/such/folder/model.md2");
  openModelCommand(app);
  EXPECT_EQ(app.loadFolder, dir.path());
  EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{kLoadErrorMessage});
  EXPECT_FALSE(app.model.modelLoaded);
  EXPECT_EQ(platform.readString(settings::kProject, settings::kCurFile, "Unknown"), "Unknown");

  // Cancel still refreshes the views.
  platform.refreshes.clear();
  openModelCommand(app);
  EXPECT_EQ(platform.refreshes.size(), 1u);
}

}  // namespace
}  // namespace pelt
