// The Skins menu, its operations on every skin and the map submenus, run
// through the command table as the menus and keys run them.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/commands/skins.h"
#include "app/commands/skins_effects.h"
#include "app/commands/skins_operations.h"
#include "app/commands/skins_palette.h"
#include "app/common_texts.h"
#include "app/frame_lists.h"
#include "frame_fixture.h"
#include "skins/paint_rule.h"
#include "view3d/shade_tables.h"

namespace pelt {
namespace {

using test::patternSkin;
using Messages = std::vector<std::string>;

// clang-format off
enum : int {
  kNew = 32785, kOpen = 32777, kClose = 32782, kDuplicate = 32842, kSave = 32783,
  kSaveAs = 32784, kLink = 32788, kUnlink = 32789, kMoveUp = 32793, kMoveDown = 32794,
  kStore = 32787, kRevert = 32786, kReload = 32795, kScan = 32776, kRePalette = 32804,
  kResetPalette = 32864, kPhongOpen = 32858, kPhongClose = 32859, kPhongScan = 32862,
  kEnvOpen = 32860, kEnvScan = 32863, kResize = 32799, kReplace = 32855, kInvPalette = 32851,
  kInvPixels = 32852, kInvBoth = 32853, kOutline = 32843, kFill = 32844, kShade = 32845,
  kLoadTo = 32847,
};
// clang-format on

class SkinCommands : public test::FrameTest {
 protected:
  std::vector<std::string> skinList() { return listContents(app, FrameList::Skins).entries; }
  std::string writeSkin(const std::string& name, int w, int h, int seed = 0) {
    return dir.write(name, encodeSkinPcx(patternSkin(w, h, seed)));
  }
  void open(const std::string& path) {
    platform.answerFile(path);
    run(kOpen);
  }
  void resize(int w, int h, bool enforce) {
    platform.resizeAnswers.push_back(ResizeSkinsValues{w, h, enforce});
    run(kResize);
  }
};

TEST_F(SkinCommands, LinkedSkinsStayInFront) {
  ASSERT_NO_FATAL_FAILURE(loadStrip());
  std::string other = writeSkin("work/other.pcx", 16, 8, 2);
  open(other);
  run(kMoveUp);  // above the linked skin: undone by the refresh
  EXPECT_EQ(skinList(), (Messages{"  models/m/skin.pcx", "* " + other}));
  chooseSkin(app, 0);
  run(kMoveDown);  // below the unlinked skin: undone too, the linked skin still current
  EXPECT_EQ(app.model.currentSkinIndex, 0);
  chooseSkin(app, 1);

  // Linking it below the base folder gives it a relative name; then it may move.
  platform.answerFile(app.baseFolder + "/models/m/other");
  run(kLink);
  run(kLink);  // linked already: no third file dialog
  EXPECT_EQ(platform.fileRequests.size(), 2u);
  run(kMoveUp);
  EXPECT_EQ(skinList(), (Messages{"  models/m/other.pcx", "  models/m/skin.pcx"}));
  run(kMoveDown);
  run(kUnlink);
  EXPECT_EQ(skinList()[1], "* " + app.baseFolder + "/models/m/other.pcx");

  open(writeSkin("work/big.pcx", 32, 8));
  EXPECT_EQ(platform.messageTexts(), Messages{kWrongDimensionsMessage});
  chooseSkin(app, 0);
  run(kClose);  // the first goes: the next
  EXPECT_EQ(skin().filePath, app.baseFolder + "/models/m/other.pcx");
}

TEST_F(SkinCommands, NewAndDuplicateSkins) {
  ASSERT_NO_FATAL_FAILURE(loadStrip());
  platform.messageAnswers = {MessageAnswer::Yes, MessageAnswer::Yes};
  app.currentSlot = 4;
  run(kNew);
  EXPECT_EQ(platform.messageTexts(), (Messages{kCheckerboardQuestion, kMeshOutlineQuestion}));
  // The mesh edges from (0,0) along t = 0 are drawn in the slot's colour; the
  // rest shows the 4 x 4 checkerboard.
  EXPECT_EQ((std::array{skin().pixel(3, 0), skin().pixel(1, 1), skin().pixel(5, 1)}),
            (std::array<std::uint8_t, 3>{app.colorSlots[4], 64, 192}));

  run(kDuplicate);
  EXPECT_EQ(skin().name, "dupskin");
  while (!app.model.skins.empty()) run(kClose);
  platform.messages.clear();
  run(kDuplicate);  // nothing to copy: a new skin, without the checkerboard
  EXPECT_EQ(platform.messageTexts(),
            (Messages{kNothingToDuplicateMessage, kCheckerboardQuestion, kMeshOutlineQuestion}));
  EXPECT_EQ(skin().pixels, std::vector<std::uint8_t>(16 * 8, app.colorSlots[7]));
}

TEST_F(SkinCommands, SaveAsNamesByTheBaseFolderAndAsksOutsideIt) {
  ASSERT_NO_FATAL_FAILURE(loadStrip());
  const std::string copy = app.baseFolder + "/models/m/copy", out = dir.file("out.pcx");
  const std::string missing = dir.file("missing/x.pcx");
  const Messages failed{kNotBelowBaseQuestion, "Error Saving: 2\n" + missing + ": No such file or directory",
                        kSaveSkinFailedMessage};
  struct Case {
    std::string file;
    int filter;
    MessageAnswer answer;
    std::string name;  // afterwards
    Messages said;
  } cases[] = {
      {copy, 2, MessageAnswer::No, "models/m/copy.bmp", {}},
      {out, 1, MessageAnswer::No, "models/m/copy.bmp", {kNotBelowBaseQuestion}},
      {out, 1, MessageAnswer::Yes, out, {kNotBelowBaseQuestion}},
      {missing, 1, MessageAnswer::Yes, out, failed},
  };
  for (const Case& c : cases) {
    platform.messages.clear();
    platform.answerFile(c.file, c.filter);
    platform.messageAnswers = {c.answer};
    run(kSaveAs);
    EXPECT_EQ(platform.messageTexts(), c.said) << c.file;
    EXPECT_EQ(skin().name, c.name);
  }
}

TEST_F(SkinCommands, StoreRevertAndReload) {
  ASSERT_NO_FATAL_FAILURE(loadStrip());
  Skin& s = skin();
  s.pixels[0] ^= 0xFF;
  run(kStore);
  s.pixels[1] ^= 0xFF;
  run(kRevert);
  EXPECT_EQ(s.pixels, s.storedPixels);
  EXPECT_NE(s.pixels[0], patternSkin(16, 8, 1).pixels[0]);

  // Reload takes the file's pixels but keeps the palette; a file of another
  // size or none at all is not taken.
  Skin onDisk = patternSkin(16, 8, 9);
  onDisk.palette.fill(1);
  dir.write("baseq2/models/m/skin.pcx", encodeSkinPcx(onDisk));
  Palette palette = s.palette;
  platform.messageAnswers = {MessageAnswer::No};  // discard the reverted pixels
  run(kReload);
  EXPECT_FALSE(s.modified());
  dir.write("baseq2/models/m/skin.pcx", encodeSkinPcx(patternSkin(16, 8, 5)));
  run(kReload);  // a file changed on disk, over an unmodified skin
  EXPECT_FALSE(s.modified());
  platform.messages.clear();
  EXPECT_EQ(s.palette, palette);
  writeSkin("baseq2/models/m/skin.pcx", 8, 8);
  run(kReload);
  std::filesystem::remove(dir.file("baseq2/models/m/skin.pcx"));
  run(kReload);
  EXPECT_EQ(platform.messageTexts(), (Messages{kReloadResizedMessage, kReloadFailedMessage}));
  EXPECT_EQ(s.storedPixels, patternSkin(16, 8, 5).pixels);
}

TEST_F(SkinCommands, ScanFolderAndRePalette) {
  ASSERT_NO_FATAL_FAILURE(loadStrip());
  for (const char* name : {"s/a.pcx", "s/b.PCX", "s/c.pcx"}) writeSkin(name, 16, 8);
  writeSkin("s/wrong.pcx", 4, 4);
  platform.folderAnswers = {dir.file("s"), dir.file("s/a.pcx")};  // then a file
  run(kScan);
  run(kScan);
  EXPECT_EQ(platform.messageTexts(), Messages{kFolderNotValidMessage});
  EXPECT_EQ(skinList().back(), "* " + dir.file("s/c.pcx"));  // not the wrong-sized one

  // A new palette keeps the indices.
  platform.messages.clear();
  const std::vector<std::uint8_t> pixels = skin().pixels;
  const Bytes act(768, 9);
  dir.write("pal/warm.act", act);
  platform.answerFile(dir.file("pal/warm"), 3);
  platform.answerFile(dir.file("pal/nothing.pcx"));
  run(kRePalette);
  EXPECT_TRUE(std::equal(act.begin(), act.end(), skin().palette.begin()));
  EXPECT_EQ(skin().pixels, pixels);
  run(kRePalette);
  EXPECT_EQ(platform.messageTexts(), Messages{kNoPaletteMessage});
}

TEST_F(SkinCommands, MapsOpenAndScan) {
  const Skin map = patternSkin(256, 256);
  dir.write("maps/wide.pcx", encodeSkinPcx(patternSkin(256, 128)));
  dir.write("maps/b.bmp", encodeSkinBmp(map));
  dir.write("maps/a.PCX", encodeSkinPcx(map));
  dir.write("maps/c.pcx", encodeSkinPcx(map));
  platform.answerFile(dir.file("maps/wide.pcx"), 2);
  platform.answerFile(dir.file("maps/c"), 2);  // the PCX filter appends ".pcx"
  run(kPhongOpen);
  run(kPhongOpen);
  EXPECT_EQ(platform.messageTexts(), Messages{"Error loading Phong Map: Incorrect dimensions!\n"
                                              "Phong maps must be 256x256, and 8bit Greyscale"});
  ASSERT_NE(app.phongMaps.current, nullptr);
  EXPECT_EQ(app.phongMaps.current->pixels[1], 7 >> 2);

  // A scan appends PCX files first and chooses nothing; each has its plane.
  platform.folderAnswers = {dir.file("maps")};
  run(kPhongScan);
  EXPECT_EQ(listContents(app, FrameList::PhongMaps).entries,
            (Messages{"c.pcx", "a.PCX", "c.pcx", "b.bmp"}));
  EXPECT_TRUE(hasLitPlane(*app.phongMaps.maps.back()));
}

TEST_F(SkinCommands, ResizeKeepsEverySecondTexelAndRescalesTheMapping) {
  ASSERT_NO_FATAL_FAILURE(loadStrip(256, 256));
  const Skin before = skin();
  Model& m = app.model;
  // Corners at 0 and 255 pin the rounding of the rescale.
  m.stCoords[1] = {255, 255};
  m.triangles[0].stIndex = {0, 1, 1};
  resize(128, 128, true);
  ASSERT_EQ(skin().pixels.size(), 128u * 128u);
  for (int y = 0; y < 128; y += 9)
    for (int x = 0; x < 128; x += 7) ASSERT_EQ(skin().pixel(x, y), before.pixel(2 * x, 2 * y));
  EXPECT_EQ(skin().storedPixels, skin().pixels);  // revert returns to the resized image
  EXPECT_EQ(m.triangles[0].cornerSt[1], (StCoord{127, 127}));
}

TEST_F(SkinCommands, ResizeRefusalsComeInOrder) {
  ASSERT_NO_FATAL_FAILURE(loadStrip());
  struct Case {
    int width, height;
    bool enforce;
    const char* message;  // null: accepted
  } cases[] = {
      {16, 8, true, kResizeSameSizeMessage},
      {0, 8, true, kResizeZeroMessage},
      {16, 0, false, kResizeZeroMessage},
      {130, 8, true, kResizeWidthMultipleMessage},
      {644, 8, true, kResizeTooLargeMessage},
      {4100, 8, false, kResizeBeyondLimitMessage},
      {130, 8, false, nullptr},
      {20, 600, false, nullptr},  // taller than the old 480-row table
  };
  for (const Case& c : cases) {
    platform.messages.clear();
    const size_t oldSize = skin().pixels.size();
    resize(c.width, c.height, c.enforce);
    EXPECT_EQ(platform.messageTexts(), c.message ? Messages{c.message} : Messages{}) << c.width;
    EXPECT_EQ(skin().pixels.size(), c.message ? oldSize : size_t(c.width * c.height));
  }

  // Nine skins of 4096 x 4096 pass the memory a model may load; four fit
  // it, but not the memory there is, which ends the command, not the program.
  for (int i = 0; i < 8; ++i) run(kDuplicate);
  platform.messages.clear();
  resize(4096, 4096, false);
  EXPECT_TRUE(platform.messages.at(0).warning);
  EXPECT_EQ(platform.messages[0].text.substr(0, 47), "Re-sizing the 9 skins to 4096x4096 would need 2");
  while (app.model.skins.size() > 4) run(kClose);
  const pid_t child = ::fork();
  if (child == 0) {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlimit limit{rlim_t(pages * ::sysconf(_SC_PAGESIZE) + (48 << 20)), RLIM_INFINITY};
    platform.messages.clear();
    const Bytes before = skin().pixels;
    ::setrlimit(RLIMIT_AS, &limit);
    resize(4096, 4096, false);
    const bool unchanged = app.model.skinWidth == 20 && skin().pixels == before;
    ::_exit(unchanged && platform.messageTexts() == Messages{kNotEnoughMemoryMessage} ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST_F(SkinCommands, ReplaceColorsSpreadsOneRangeOverAnotherAndInvertLooksTheSame) {
  ASSERT_NO_FATAL_FAILURE(loadStrip());
  const Skin before = skin();
  app.colorSlots = {0, 0, 10, 20, 100, 200, 0, 0};
  const std::pair<int, int> table[] = {{20, 200}, {10, 100}, {15, 150}, {9, 9}, {21, 21}};
  for (size_t i = 0; i < std::size(table); ++i)
    skin().pixels[i] = static_cast<std::uint8_t>(table[i].first);
  run(kReplace);
  for (size_t i = 0; i < std::size(table); ++i)
    EXPECT_EQ(skin().pixels[i], table[i].second) << table[i].first;
  EXPECT_EQ(skin().storedPixels, before.storedPixels);

  skin().pixels = before.pixels;
  auto looksAsBefore = [&] {
    for (size_t i = 0; i < before.pixels.size(); ++i)
      for (size_t c = 0; c < 3; ++c)
        if (skin().palette[skin().pixels[i] * 3u + c] != before.palette[before.pixels[i] * 3u + c])
          return false;
    return true;
  };
  run(kInvBoth);
  EXPECT_TRUE(looksAsBefore() && skin().pixels != before.pixels);
  run(kInvPalette);
  run(kInvPixels);  // each inverted twice
  EXPECT_EQ(skin().palette, before.palette);
}

// The F/X commands on a 16 x 8 skin whose first quad (s 0..8, t 0..16) is
// selected; it runs off the skin's bottom, and both of its edges count.
TEST_F(SkinCommands, EffectsWorkOnlyInsideTheSelectionAndTheSkin) {
  ASSERT_NO_FATAL_FAILURE(loadStrip());
  app.model.triangles[0].flags = app.model.triangles[1].flags = kTriangleSelected;
  const std::vector<std::uint8_t> original = skin().pixels;
  const std::vector<std::uint8_t> m = buildSelectionMask(app.model, app.rasterizer, 16, 8);
  for (size_t i = 0; i < m.size(); ++i) EXPECT_EQ(m[i] != 0, i % 16 <= 8) << i;

  app.blendAmount = 0.0;  // every pixel keeps its own nearest colour: no repeats in the palette
  for (int id : {kOutline, kFill, kShade}) run(id);
  EXPECT_EQ(skin().pixels, original);
  app.blendAmount = 1.0;
  app.colorSlots[static_cast<size_t>(app.currentSlot)] = 77;
  run(kOutline);
  EXPECT_EQ(skin().pixel(0, 0), 77);  // full strength: the paint colour
  EXPECT_EQ(skin().storedPixels, original);

  Skin image = patternSkin(16, 8, 40);
  dir.write("in/small.pcx", encodeSkinPcx(patternSkin(8, 8, 40)));
  platform.answerFile(dir.file("in/small"));  // no extension: the first filter's
  platform.answerFile(dir.write("in/image.pcx", encodeSkinPcx(image)));
  run(kLoadTo);
  EXPECT_EQ(platform.messageTexts(), Messages{"Error loading skin: Incorrect dimensions!"});
  run(kLoadTo);
  for (size_t i = 0; i < m.size(); ++i) {
    const size_t p = image.pixels[i];
    const Rgb want{double(image.palette[p * 3]), double(image.palette[p * 3 + 1]),
                   double(image.palette[p * 3 + 2])};
    EXPECT_EQ(skin().pixels[i], m[i] ? nearestPaletteIndex(skin().palette, want) : original[i]);
  }
}

}  // namespace
}  // namespace pelt
