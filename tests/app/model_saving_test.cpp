#include "app/model_saving.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "app/app.h"
#include "app/command_table.h"
#include "app/main_frame.h"
#include "app/model_loading.h"
#include "demo/demo_folder.h"
#include "model/gl_commands.h"
#include "model/md2_writer.h"
#include "platform/settings_keys.h"
#include "skins/byte_order.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"
#include "quiet_host.h"

namespace pelt {
namespace {

using test::ScriptedPlatform;
using test::TempDir;

class ModelSaving : public ::testing::Test {
 protected:
  ModelSaving() : app(platform), frame(app, host) {
    app.baseFolder = dir.path();
    app.loadFolder = app.saveFolder = dir.path();
    platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 1);
  }
  // Loads the model as File/Open would and forgets the messages it gave.
  std::string open(const std::string& name, const Bytes& bytes) {
    std::string path = dir.write(name, bytes);
    EXPECT_TRUE(loadMd2(app, path));
    app.currentFile = path;
    platform.messages.clear();
    return path;
  }
  Bytes written() const { return encodeModelMd2(app.model, app.rawModelImage).bytes; }

  TempDir dir;
  ScriptedPlatform platform;
  App app;
  QuietHost host;
  MainFrame frame;
};

TEST_F(ModelSaving, WritesTheHeaderBlocksAndFramesOfTheLayout) {
  Md2Data data =
      test::quadStripMd2(2, 256, 256, {"models/m/a.pcx", "models/m/b.pcx", "models/m/c.pcx"}, 3);
  data.version = 7;
  Bytes raw = encodeMd2(data);
  const size_t rawFrames = readU32(&raw[56]);
  raw[rawFrames + 24 + 7] = 'X';  // bytes after a frame name's NUL travel too
  open("m.md2", raw);
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
  EXPECT_EQ(out[195], 0);
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

TEST_F(ModelSaving, SkinNamesThatDoNotFitAreRefusedBeforeWriting) {
  const std::string path = open("m.md2", encodeMd2(test::quadStripMd2(1, 16, 8, {"a.pcx"})));
  const Bytes before = readWholeFile(path).bytes;
  app.model.skins[0]->name = std::string(63, 'n');
  EXPECT_TRUE(encodeModelMd2(app.model, app.rawModelImage).ok());
  const std::string tooLong(64, 'n');
  app.model.skins[0]->name = tooLong;
  EXPECT_FALSE(saveMd2(app, path));
  EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{skinNameTooLongMessage(tooLong)});
  EXPECT_NE(platform.messages[0].text.find(tooLong), std::string::npos);
  EXPECT_EQ(readWholeFile(path).bytes, before);
  app.model.skins[0]->unlinked = kSkinUnlinked;  // an unlinked skin is not written
  EXPECT_TRUE(saveMd2(app, path));
}

TEST_F(ModelSaving, LoadSaveLoadKeepsEverything) {
  ASSERT_TRUE(writeDemoGameFolder(dir.file("demo"), nullptr));
  const std::string demo = dir.file("demo/baseq2/");
  Md2Data seamed = test::quadStripMd2(9, 64, 32, {"skin.pcx"}, 5);
  seamed.triangles[4].stIndex = {3, 3, 3};  // a degenerate corner triple
  const std::string models[] = {
      demo + kDemoModelPath, demo + kDemoWeaponPath, dir.write("seamed.md2", encodeMd2(seamed)),
      dir.write("bare.md2", encodeMd2(test::quadStripMd2(1, 8, 8, {}, 0)))};
  for (const std::string& path : models) {
    app.baseFolder = path.starts_with(demo) ? dir.file("demo/baseq2") : dir.path();
    ASSERT_TRUE(loadMd2(app, path)) << path;
    const std::string copy = dir.file("copy.md2");
    ASSERT_TRUE(saveMd2(app, copy)) << path;
    ScriptedPlatform otherPlatform;
    otherPlatform.settings = platform.settings;
    App other(otherPlatform);
    other.baseFolder = app.baseFolder;
    ASSERT_TRUE(loadMd2(other, copy)) << path;
    // Everything the file holds came back: saving the copy gives the copy.
    EXPECT_EQ(encodeModelMd2(other.model, other.rawModelImage).bytes, other.rawModelImage) << path;
    EXPECT_EQ(app.model.stCount, other.model.stCount);
    for (size_t f = 0; f < app.model.frames.size(); ++f)
      EXPECT_EQ(app.model.frames[f].vertices, other.model.frames[f].vertices);
  }
}

TEST_F(ModelSaving, SaveAsThenSaveWritesTheOpenedFile) {
  const std::string opened = open("models/tris.md2", encodeMd2(test::quadStripMd2(2, 16, 8)));
  TempDir elsewhere;
  platform.answerFile(elsewhere.file("copy"));
  platform.messageAnswers = {MessageAnswer::Yes};
  ASSERT_TRUE(runCommand(frame, 32774));
  ASSERT_EQ(platform.fileRequests.size(), 1u);
  const FileDialogRequest& request = platform.fileRequests[0];
  EXPECT_TRUE(request.save);
  EXPECT_EQ(request.filter, "Quake2 MD2 (*.md2)|*.md2|All Files (*.*)|*.*||");
  EXPECT_EQ(request.initialName, "*.md2");
  EXPECT_EQ(request.startFolder, dir.path());
  EXPECT_EQ(platform.messageTexts(),
            std::vector<std::string>{
                "You are not saving below your base folder,\nare you sure you want to continue??"});
  EXPECT_EQ(readWholeFile(elsewhere.file("copy.md2")).bytes, written());
  EXPECT_EQ(app.saveFolder, elsewhere.path());
  EXPECT_EQ(platform.readString(settings::kProject, settings::kSaveDir, ""), elsewhere.path());
  EXPECT_EQ(app.currentFile, opened);

  app.model.stCoords[0] = {5, 6};
  ASSERT_TRUE(runCommand(frame, 32773));
  EXPECT_EQ(readWholeFile(opened).bytes, written());
  EXPECT_NE(readWholeFile(elsewhere.file("copy.md2")).bytes, written());

  // Below the base folder nothing is asked; outside it, No writes nothing.
  platform.messages.clear();
  platform.answerFile(dir.file("models/other.md2"));
  platform.answerFile(elsewhere.file("declined.md2"));
  runCommand(frame, 32774);
  runCommand(frame, 32774);
  EXPECT_EQ(platform.messages.size(), 1u);
  EXPECT_GE(fileSize(dir.file("models/other.md2")), 0);
  EXPECT_LT(fileSize(elsewhere.file("declined.md2")), 0);
}

TEST_F(ModelSaving, FailuresNameTheCauseThenTheCommand) {
  open("m.md2", encodeMd2(test::quadStripMd2(1, 16, 8)));
  platform.answerFile(dir.file("no/such/folder/x.md2"));
  runCommand(frame, 32774);
  EXPECT_EQ(
      platform.messageTexts(),
      (std::vector<std::string>{"Error Saving: 2", "An error occured while attempting to save!"}));
  platform.messages.clear();
  app.currentFile = dir.file("gone/m.md2");
  runCommand(frame, 32773);
  EXPECT_EQ(
      platform.messageTexts(),
      (std::vector<std::string>{"Error Saving: 2", "An error occured while trying to save =["}));
}

TEST_F(ModelSaving, AnInterruptedSaveLeavesTheOldFileIntact) {
  const std::string path = open("m.md2", encodeMd2(test::quadStripMd2(40, 16, 8)));
  const Bytes before = readWholeFile(path).bytes;
  app.model.stCoords[0] = {1, 1};
  // The file-size limit cuts the write off part way, as a full disk would.
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 256;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = saveMd2(app, path);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(saved);
  EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{"Error Saving: 27"});
  EXPECT_EQ(readWholeFile(path).bytes, before);
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
    ++files;
  EXPECT_EQ(files, 1);  // no temporary file left behind
}

// Opening over a loaded model asks first: Cancel keeps it, No drops the
// edit, Yes saves it.
TEST_F(ModelSaving, OpeningOverALoadedModelAsksToSaveIt) {
  const std::string first = open("first.md2", encodeMd2(test::quadStripMd2(1, 16, 8)));
  const Bytes before = readWholeFile(first).bytes;
  const std::string second = dir.write("second.md2", encodeMd2(test::quadStripMd2(3, 16, 8)));
  app.model.stCoords[1] = {7, 7};
  const Bytes edited = written();
  for (MessageAnswer answer : {MessageAnswer::Cancel, MessageAnswer::No, MessageAnswer::Yes}) {
    if (answer == MessageAnswer::Yes) open("first.md2", before);
    app.model.stCoords[1] = {7, 7};
    platform.messages.clear();
    platform.answerFile(second);
    platform.messageAnswers = {answer};
    runCommand(frame, 32772);
    EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{kSaveMeshQuestion});
    EXPECT_EQ(platform.messages[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(app.model.triangleCount, answer == MessageAnswer::Cancel ? 2 : 6);
    EXPECT_EQ(readWholeFile(first).bytes, answer == MessageAnswer::Yes ? edited : before);
  }
}

}  // namespace
}  // namespace pelt
