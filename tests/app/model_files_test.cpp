// Opening and saving models: what loading makes of a file, the bytes a save
// writes, and the questions and failures around both.
#include <filesystem>

#include "app/commands/file_save.h"
#include "app/commands/skins.h"
#include "app/skin_list.h"
#include "app/undo_steps.h"
#include "frame_fixture.h"
#include "model/gl_commands.h"
#include "model/md2_writer.h"
#include "platform/settings_keys.h"
#include "skins/byte_order.h"

namespace pelt {
namespace {

using test::patternSkin;
using Messages = std::vector<std::string>;

class ModelFiles : public test::FrameTest {
 protected:
  ModelFiles() { app.baseFolder = app.loadFolder = app.saveFolder = dir.path(); }
  void writeSkin(const std::string& name, int w, int h, int seed = 0) {
    dir.write(name, encodeSkinPcx(patternSkin(w, h, seed)));
  }
  void noScan() { platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 1); }
  // Loads the model as File/Open would and forgets the messages it gave; a
  // failed load is fatal (call under ASSERT_NO_FATAL_FAILURE).
  void open(const std::string& name, const Bytes& bytes) {
    noScan();
    app.currentFile = dir.write(name, bytes);
    ASSERT_TRUE(loadMd2(app, app.currentFile));
    platform.messages.clear();
  }
  Bytes written() const { return encodeModelMd2(app.model, app.rawModelImage).bytes; }
};

TEST_F(ModelFiles, LoadingReadsGeometryFramesAndSkinsInAnyCase) {
  writeSkin("models/m/skin.pcx", 64, 32);
  writeSkin("models/m/Other.PCX", 64, 32, 5);
  // A skin saved outside the base folder is named by its absolute path.
  const test::TempDir elsewhere;
  const std::string outside =
      elsewhere.write("outside.pcx", encodeSkinPcx(patternSkin(64, 32, 9)));
  std::string path = dir.write(
      "models/m/tris.md2", encodeMd2(test::quadStripMd2(
                               1, 64, 32, {"models/m/skin.pcx", "MODELS\\m\\other.pcx", outside}, 3)));
  ASSERT_TRUE(loadMd2(app, path));
  const Model& m = app.model;
  EXPECT_TRUE(platform.messages.empty());
  // Six entries in the file: one duplicate and one unused entry go.
  EXPECT_EQ(std::tuple(m.vertexCount, m.triangleCount, m.storedStCount), std::tuple(4, 2, 4));
  ASSERT_EQ(m.frames.size(), 3u);
  EXPECT_EQ(m.frames[2].vertices[3], (Vec3{-3.0f, 10.0f, 8.0f}));
  ASSERT_EQ(m.skins.size(), 3u);
  EXPECT_EQ(m.skins[1]->name, "MODELS/m/other.pcx");  // found in any case, stored with '/'
  EXPECT_EQ(m.skins[1]->pixels, patternSkin(64, 32, 5).pixels);
  EXPECT_EQ(m.skins[2]->name, outside);
  EXPECT_EQ(m.skins[2]->pixels, patternSkin(64, 32, 9).pixels);
}

// The stand-in's greys come from the palette, the missing file is named.
TEST_F(ModelFiles, MissingOrWrongSizedSkinsBecomeCheckerboards) {
  Bytes palette(768);  // sixteen greys, then reds
  for (size_t i = 0; i < 256; ++i) {
    palette[i * 3] = static_cast<std::uint8_t>(i < 16 ? i * 16 : i);
    palette[i * 3 + 1] = palette[i * 3 + 2] = static_cast<std::uint8_t>(i < 16 ? i * 16 : 0);
  }
  dir.write("pal.act", palette);
  platform.writeString(settings::kPreferences, settings::kPalettePath, dir.file("pal.act"));
  writeSkin("a.pcx", 16, 8);
  writeSkin("wrong.pcx", 8, 8);
  ASSERT_TRUE(loadMd2(app, dir.write("m.md2", encodeMd2(test::quadStripMd2(
                                                  1, 16, 8, {"a.pcx", "gone.pcx", "wrong.pcx"})))));
  EXPECT_EQ(platform.messageTexts(),
            (Messages{std::string(kMissingSkinMessage) + "\n" + dir.file("gone.pcx"),
                      kWrongSkinSizeMessage}));
  const Skin& temp = *app.model.skins.at(1);
  EXPECT_FALSE(temp.hasFile);
  EXPECT_TRUE(std::equal(palette.begin(), palette.end(), temp.palette.begin()));
  EXPECT_EQ((std::array{temp.pixel(0, 3), temp.pixel(4, 3), temp.pixel(0, 4), temp.pixel(12, 4)}),
            (std::array<std::uint8_t, 4>{4, 12, 12, 4}));
  EXPECT_EQ(app.model.skins[2]->pixels, temp.pixels);
}

TEST_F(ModelFiles, ModelsWithoutSkinNamesFollowTheScanPreference) {
  writeSkin("m/one.pcx", 16, 8);
  writeSkin("m/two.PCX", 16, 8);
  writeSkin("m/small.pcx", 8, 8);
  writeSkin("empty/x.bmp", 8, 8);
  const Bytes bare = encodeMd2(test::quadStripMd2(1, 16, 8));
  struct Case {
    int prompt;
    const char* at;
    size_t skins;
    Messages asked;
  } cases[] = {{1, "m/tris.md2", 0, {}},
               {2, "m/tris.md2", 2, {kNoInternalSkinsQuestion}},
               {0, "empty/tris.md2", 0, {kNoMatchingSkinsMessage}}};
  for (const Case& c : cases) {
    platform.messages.clear();
    platform.messageAnswers = {MessageAnswer::Yes};
    platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, c.prompt);
    ASSERT_TRUE(loadMd2(app, dir.write(c.at, bare)));
    EXPECT_EQ(platform.messageTexts(), c.asked) << c.prompt;
    EXPECT_EQ(app.model.skins.size(), c.skins) << c.prompt;
  }
}

TEST_F(ModelFiles, SavingWritesTheHeaderBlocksAndFramesOfTheLayout) {
  Md2Data data =
      test::quadStripMd2(2, 256, 256, {"models/m/a.pcx", "models/m/b.pcx", "models/m/c.pcx"}, 3);
  data.version = 7;
  Bytes raw = encodeMd2(data);
  const size_t rawFrames = readU32(&raw[56]);
  raw[rawFrames + 24 + 7] = 'X';  // bytes after a frame name's NUL travel too
  ASSERT_NO_FATAL_FAILURE(open("m.md2", raw));
  app.model.skins[1]->unlinked = kSkinUnlinked;

  const Bytes out = written();
  ASSERT_EQ(out.size(), 568u);
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + 8, raw.begin()));
  const std::pair<int, int> fields[] = {{8, 256},  {12, 256}, {16, 64},  {20, 2},   {24, 6},
                                        {28, 6},   {32, 4},   {36, 27},  {40, 3},   {44, 68},
                                        {48, 196}, {52, 220}, {56, 268}, {60, 460}, {64, 568}};
  for (auto [offset, value] : fields) EXPECT_EQ(readI32(&out[offset]), value) << offset;
  auto text = [&](size_t at) { return std::string(reinterpret_cast<const char*>(&out[at])); };
  EXPECT_EQ(text(68), "models/m/a.pcx");
  EXPECT_EQ(text(132), "models/m/c.pcx");
  const std::int16_t st[] = {0, 0, 0, 16, 8, 0, 8, 16, 16, 0, 16, 16};  // compacted, first use
  for (int i = 0; i < 12; ++i) EXPECT_EQ(readI16(&out[196 + 2 * i]), st[i]) << i;
  const std::int16_t lastTriangle[] = {3, 5, 4, 0, 5, 4};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(readI16(&out[220 + 36 + 2 * i]), lastTriangle[i]);
  EXPECT_TRUE(std::equal(out.begin() + 268, out.begin() + 460, raw.begin() + rawFrames));
  std::vector<std::int32_t> gl;
  buildGlCommands(app.model, gl);
  for (size_t i = 0; i < gl.size(); ++i) EXPECT_EQ(readI32(&out[460 + 4 * i]), gl[i]);

  for (auto& skin : app.model.skins) skin->unlinked = kSkinUnlinked;
  const Bytes bare = written();
  EXPECT_EQ(std::tuple(readI32(&bare[20]), readI32(&bare[48])), std::tuple(0, 68));
}

TEST_F(ModelFiles, LoadSaveLoadKeepsEverything) {
  Md2Data seamed = test::quadStripMd2(9, 64, 32, {"skin.pcx"}, 5);
  seamed.triangles[4].stIndex = {3, 3, 3};  // a degenerate corner triple
  noScan();
  for (const std::string& path :
       {dir.write("seamed.md2", encodeMd2(seamed)),
        dir.write("bare.md2", encodeMd2(test::quadStripMd2(1, 8, 8, {}, 0)))}) {
    ASSERT_TRUE(loadMd2(app, path)) << path;
    const std::string copy = dir.file("copy.md2");
    ASSERT_TRUE(saveMd2(app, copy)) << path;
    App other(platform);
    other.baseFolder = dir.path();
    ASSERT_TRUE(loadMd2(other, copy)) << path;
    // Everything the file holds came back: saving the copy gives the copy.
    EXPECT_EQ(encodeModelMd2(other.model, other.rawModelImage).bytes, other.rawModelImage) << path;
    for (size_t f = 0; f < app.model.frames.size(); ++f)
      EXPECT_EQ(app.model.frames[f].vertices, other.model.frames[f].vertices);
  }
}

TEST_F(ModelFiles, SaveAsAsksOutsideTheBaseFolderThenSaveWritesTheOpenedFile) {
  ASSERT_NO_FATAL_FAILURE(open("models/tris.md2", encodeMd2(test::quadStripMd2(2, 16, 8))));
  const std::string opened = app.currentFile;
  test::TempDir elsewhere;
  platform.answerFile(elsewhere.file("copy"));
  platform.answerFile(dir.file("models/other.md2"));  // below the base folder: nothing asked
  platform.answerFile(elsewhere.file("declined.md2"));
  platform.messageAnswers = {MessageAnswer::Yes};  // then No
  for (int i = 0; i < 3; ++i) run(32774);
  EXPECT_EQ(platform.messageTexts(), Messages(2, kNotBelowBaseQuestion));
  EXPECT_EQ(readWholeFile(elsewhere.file("copy.md2")).bytes, written());
  EXPECT_GE(fileSize(dir.file("models/other.md2")), 0);
  EXPECT_LT(fileSize(elsewhere.file("declined.md2")), 0);

  app.model.stCoords[0] = {5, 6};
  run(32773);
  EXPECT_EQ(readWholeFile(opened).bytes, written());
}

// The question comes before the Open dialog, only for a modified model.
TEST_F(ModelFiles, OpeningOverAModelAsksFirstAndOnlyWhenModified) {
  ASSERT_NO_FATAL_FAILURE(open("a.md2", encodeMd2(test::quadStripMd2(2, 16, 8))));
  const std::string first = app.currentFile;
  const std::string second = dir.write("b.md2", encodeMd2(test::quadStripMd2(3, 16, 8)));
  recordChange(app, kCaptureMapping, "Edit", [this] { app.model.stCoords[0] = {5, 6}; });
  const Bytes edited = written();
  platform.messageAnswers = {MessageAnswer::Cancel};
  run(32772);
  EXPECT_TRUE(platform.fileRequests.empty());
  platform.messageAnswers = {MessageAnswer::Yes};
  platform.answerFile(second);
  run(32772);
  EXPECT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(readWholeFile(first).bytes, edited);
  EXPECT_EQ(app.currentFile, second);
  platform.answerFile(first);
  run(32772);  // nothing modified: no question
  EXPECT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(app.currentFile, first);
}

TEST_F(ModelFiles, RefusedAndFailedSavesSayWhy) {
  ASSERT_NO_FATAL_FAILURE(open("m.md2", encodeMd2(test::quadStripMd2(40, 16, 8, {"a.pcx"}))));
  const std::string path = app.currentFile;
  app.model.skins[0]->name = std::string(64, 'n');  // 63 and the NUL fit
  EXPECT_FALSE(saveMd2(app, path));
  EXPECT_EQ(platform.messageTexts(), Messages{skinNameTooLongMessage(std::string(64, 'n'))});
  app.model.skins[0]->unlinked = kSkinUnlinked;  // an unlinked skin is not written

  // Through the commands the cause comes first, then the command's own message.
  const std::string missing[] = {dir.file("no/such/folder/x.md2"), dir.file("gone/m.md2")};
  const std::pair<int, const char*> commands[] = {
      {32774, "An error occured while attempting to save!"},
      {32773, "An error occured while trying to save =["}};
  for (auto [id, message] : commands) {
    platform.messages.clear();
    platform.answerFile(missing[0]);
    app.currentFile = missing[1];
    run(id);
    const std::string& path = missing[id == 32774 ? 0 : 1];
    EXPECT_EQ(platform.messageTexts(),
              (Messages{"Error Saving: 2\n" + path + ": No such file or directory", message}));
    EXPECT_TRUE(platform.messages[0].warning);
  }
}

}  // namespace
}  // namespace pelt
