// Painting as the main window sees it: both views follow a stroke through
// the frame's refresh, a painted skin is marked in the skin list until it is
// saved, and nothing painted is thrown away without a question. Snapshots of
// the demo model: the dialog's size rule, both paths and the files they write.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "app/commands/options_maps.h"
#include "app/commands/options_snapshot.h"
#include "app/frame_lists.h"
#include "app/skin_list.h"
#include "app/unsaved_work.h"
#include "demo/demo_folder.h"
#include "frame_fixture.h"
#include "platform/settings_keys.h"
#include "skins/byte_order.h"
#include "skinview/skin_view.h"
#include "view3d/model_view.h"
#include "view3d/snapshot.h"

namespace pelt {
namespace {

MouseEvent at(int x, int y, unsigned button, unsigned held) {
  MouseEvent e;
  e.x = e.screenX = x;
  e.y = e.screenY = y;
  e.button = button;
  e.buttons = held;
  return e;
}

// The two-quad strip model with its 16 x 8 skin, seen from above.
class Painting : public test::FrameTest {
 protected:
  void SetUp() override {
    platform.frame = &frame;
    ASSERT_NO_FATAL_FAILURE(loadStrip());
    app.cameraOverride = false;
    app.brushKind = kBrushPencil;
    for (int i = 0; i < 256; ++i)
      app.blendTable[static_cast<size_t>(i)] = static_cast<std::uint8_t>(255 - i);
    frame.modelView()->eye = {-2, 5, 40};
    frame.modelView()->target = {-2, 5, 0};
    frame.resizeView(ViewId::ModelView, 64, 48);
    frame.skinView()->panS = 8;  // the whole skin, three times enlarged
    frame.skinView()->panT = 4;
    frame.resizeView(ViewId::SkinView, 64, 48);
  }
  void stroke(CoreView& view, std::vector<std::pair<int, int>> points) {
    view.mousePress(at(points[0].first, points[0].second, kButtonLeft, kButtonLeft));
    for (size_t i = 1; i < points.size(); ++i)
      view.mouseMove(at(points[i].first, points[i].second, kButtonNone, kButtonLeft));
    view.mouseRelease(at(points.back().first, points.back().second, kButtonLeft, kButtonNone));
  }
  std::string skinEntry() { return listContents(app, FrameList::Skins).entries.at(0); }
  // Every skin pixel either view shows is the skin's texel there.
  void expectViewsShowTheSkin() {
    const SkinView& s = *frame.skinView();
    for (size_t i = 0; i < s.texelMap.size(); ++i)
      if (s.texelMap[i] >= 0) {
        ASSERT_EQ(s.viewPixels[i], skin().pixels[static_cast<size_t>(s.texelMap[i])]) << i;
      }
    const ModelView& m = *frame.modelView();
    int shown = 0;
    for (size_t i = 0; i < m.picks().size(); ++i)
      if (m.picks()[i] >= 0) {
        ++shown;
        ASSERT_EQ(m.pixels()[i], skin().pixels[static_cast<size_t>(m.picks()[i])]) << i;
      }
    EXPECT_GT(shown, 100);
  }
};

TEST_F(Painting, BothViewsFollowStrokesFromEitherViewAndSavingWritesOnlyThePaintedPixels) {
  const std::vector<std::uint8_t> original = skin().pixels;
  stroke(*frame.skinView(), {{10, 20}, {50, 26}});
  EXPECT_NE(skin().pixels, original);
  expectViewsShowTheSkin();
  const std::vector<std::uint8_t> afterSkinView = skin().pixels;
  stroke(*frame.modelView(), {{5, 5}, {60, 40}});
  EXPECT_NE(skin().pixels, afterSkinView);
  expectViewsShowTheSkin();
  // The rubber band puts back what its earlier lines painted, in both views.
  app.brushKind = kBrushLine;
  stroke(*frame.modelView(), {{10, 10}, {60, 12}, {30, 45}, {12, 30}});
  expectViewsShowTheSkin();
  EXPECT_EQ(skinEntry(), "  models/m/skin.pcx *");

  run(32783);
  EXPECT_EQ(skinEntry(), "  models/m/skin.pcx");
  std::unique_ptr<Skin> saved = readSkinImage(platform, dir.file("baseq2/models/m/skin.pcx"));
  ASSERT_TRUE(saved);
  for (size_t i = 0; i < original.size(); ++i) {
    const bool painted = skin().pixels[i] != original[i];
    EXPECT_EQ(saved->pixels[i], painted ? 255 - original[i] : original[i]);
  }
  // Each stroke of either view that painted is one step; undone, the views
  // show each state again.
  const std::vector<std::uint8_t> painted = skin().pixels;
  ASSERT_EQ(app.history.undoCount(), 2u);  // the rubber band's last line missed the model
  for (const auto& state : {afterSkinView, original}) {
    run(33300);
    EXPECT_EQ(skin().pixels, state);
    frame.refresh(0, 0x2F);
    expectViewsShowTheSkin();
  }
  EXPECT_EQ(skinEntry(), "  models/m/skin.pcx *");  // the file has the strokes
  for (int i = 0; i < 2; ++i) run(33301);
  EXPECT_EQ(skin().pixels, painted);
  EXPECT_EQ(skinEntry(), "  models/m/skin.pcx");
}

// One question, before anything is lost; Cancel stops, Discard and Save go on.
TEST_F(Painting, UnsavedWorkIsAskedAboutOnce) {
  auto closeSkin = [this] { return runCommand(frame, 32782) && app.model.skins.empty(); };
  auto reload = [this] { return runCommand(frame, 32795) && !skin().modified(); };
  auto openModel = [this] {
    platform.answerFile(stripPath());
    runCommand(frame, 32772);
    return !platform.fileRequests.empty();
  };
  auto exit = [this] { return frame.closeRequest(); };
  const std::function<bool()> actions[] = {closeSkin, reload, openModel, exit};
  for (const auto& action : actions) {
    for (MessageAnswer answer : {MessageAnswer::Cancel, MessageAnswer::No, MessageAnswer::Yes}) {
      ASSERT_TRUE(loadMd2(app, stripPath()));
      app.currentFile = stripPath();
      frame.refresh(0, 0x2F);
      for (int i = 0; i < 256; ++i)  // every stroke changes what it touches
        app.blendTable[static_cast<size_t>(i)] = static_cast<std::uint8_t>(255 - i);
      stroke(*frame.skinView(), {{10, 20}, {50, 26}});
      ASSERT_EQ(windowTitle(app), "tris.md2[*] - Pelt");
      ASSERT_TRUE(hasUnsavedWork(app));
      platform.messages.clear();
      platform.fileRequests.clear();
      platform.messageAnswers = {answer};
      EXPECT_EQ(action(), answer != MessageAnswer::Cancel);
      ASSERT_EQ(platform.messages.size(), 1u);
      EXPECT_TRUE(platform.messages[0].text.starts_with(kUnsavedWorkQuestion));
      EXPECT_EQ(platform.messages[0].buttons, MessageButtons::SaveDiscardCancel);
      EXPECT_TRUE(answer != MessageAnswer::Yes ||
                  std::none_of(app.model.skins.begin(), app.model.skins.end(),
                               [](const auto& s) { return s->modified(); }));
    }
  }
  // Undone back to what was read, nothing is unsaved: the quit question
  // alone, and none with Quick Exit.
  ASSERT_TRUE(loadMd2(app, stripPath()));
  stroke(*frame.skinView(), {{10, 20}, {50, 26}});
  EXPECT_EQ(skinEntry(), "  models/m/skin.pcx *");
  run(33300);
  EXPECT_EQ(skinEntry(), "  models/m/skin.pcx");
  for (const char* quick : {"0", "1"}) {
    platform.messages.clear();
    platform.settings[settings::kPreferences][settings::kQuickExit] = quick;
    platform.messageAnswers = {MessageAnswer::Yes};
    EXPECT_TRUE(frame.closeRequest());
    EXPECT_EQ(platform.messageTexts(),
              *quick == '0' ? std::vector<std::string>{kQuitQuestion} : std::vector<std::string>{});
  }
}

using Messages = std::vector<std::string>;
constexpr int kSnapshot = 32857;

class Snapshot : public test::FrameTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(writeDemoGameFolder(dir.path(), nullptr));
    const std::string base = dir.file("baseq2");
    app.baseFolder = app.saveFolder = base;
    platform.settings[settings::kPreferences][settings::kPalettePath] =
        base + "/" + kDemoColormapPath;
    ASSERT_TRUE(loadMd2(app, base + "/" + kDemoModelPath));
    EXPECT_GT(scanMapFolder(app, MapKind::Phong, base + "/" + kDemoPhongFolder), 0);
    chooseMap(app, MapKind::Phong, 0);
    frame.resizeView(ViewId::ModelView, 403, 60);
    platform.refreshes.clear();
  }

  void snap(SnapshotValues values, const std::string& name, int filter = 1) {
    platform.snapshotAnswers.push_back(values);
    platform.answerFile(dir.file(name), filter);
    run(kSnapshot);
  }
  ModelView& view() { return *frame.modelView(); }
};

TEST_F(Snapshot, EightBitAtTheViewsSizeIsTheViewUpsideDown) {
  ASSERT_EQ(view().viewWidth(), 404);  // rounded up from 403
  snap({}, "shot");                    // no extension: the first filter's
  SkinDecodeResult shot = decodeSkinImage(readWholeFile(dir.file("shot.bmp")).bytes);
  ASSERT_TRUE(shot.skin);
  ASSERT_EQ(std::tuple(shot.skin->width, shot.skin->height), std::tuple(404, 60));
  EXPECT_EQ(shot.skin->palette, view().viewPalette());
  for (int row = 0; row < 60; ++row)
    for (int x = 0; x < 404; x += 3)
      ASSERT_EQ(shot.skin->pixel(x, 59 - row), view().pixels()[static_cast<size_t>(row * 404 + x)]);
}

TEST_F(Snapshot, CustomSizeRendersApartAndGivesTheViewBack) {
  const std::vector<std::uint8_t> before(view().pixels().begin(), view().pixels().end());
  for (auto [width, height, accepted] :
       {std::tuple{16, 2048, true}, {2048, 16, true}, {15, 16, false}, {16, 2049, false}}) {
    const std::string name = std::to_string(width) + "x" + std::to_string(height) + ".pcx";
    platform.messages.clear();
    platform.fileAnswers.clear();  // a refused size never opens the file dialog
    snap({true, width, height, false, false, 0}, name, 2);
    EXPECT_EQ(platform.messageTexts(), accepted ? Messages{} : Messages{kSnapshotSizeMessage});
    SkinDecodeResult shot = decodeSkinImage(readWholeFile(dir.file(name)).bytes);
    EXPECT_EQ(shot.skin ? std::pair(shot.skin->width, shot.skin->height) : std::pair(0, 0),
              accepted ? std::pair(width, height) : std::pair(0, 0));
  }
  EXPECT_TRUE(std::equal(before.begin(), before.end(), view().pixels().begin()));
}

// The PNG filter: an indexed PNG of the 8-bit picture, an RGB one of the
// true-colour picture, each the same as the BMP of the same settings.
TEST_F(Snapshot, PngFilterWritesTheSamePicturesAsPng) {
  const SnapshotValues trueColour{true, 18, 16, true, true, 0};
  for (const SnapshotValues& values : {SnapshotValues{}, trueColour}) {
    snap(values, "a.bmp");
    snap(values, "b", 4);
    SkinDecodeResult bmp = decodeSkinImage(readWholeFile(dir.file("a.bmp")).bytes);
    SkinDecodeResult png = decodeSkinImage(readWholeFile(dir.file("b.png")).bytes);
    ASSERT_EQ(bool(png.skin), !values.trueColor);
    if (png.skin) {
      EXPECT_EQ(png.skin->pixels, bmp.skin->pixels);
      EXPECT_EQ(png.skin->palette, bmp.skin->palette);
    } else {
      ASSERT_TRUE(png.picture && bmp.picture);
      EXPECT_EQ(png.picture->rgb, bmp.picture->rgb);
    }
  }
}

TEST_F(Snapshot, TrueColourWritesAPaddedBmpUnderItsOwnExtension) {
  app.blendAmount = 0.3;
  snap({true, 18, 16, true, true, 0}, "colour.pcx", 2);
  EXPECT_FALSE(std::filesystem::exists(dir.file("colour.pcx")));
  const Bytes b = readWholeFile(dir.file("colour.bmp")).bytes;
  ASSERT_EQ(b.size(), 54u + 56u * 16u);  // 18 pixels: 54 bytes and 2 of padding a row
  const std::vector<std::pair<size_t, std::uint32_t>> fields = {
      {2, 54 + 56 * 16}, {6, 0},  {10, 54},  {14, 40},  {18, 18}, {22, 16},
      {30, 0},           {34, 0}, {38, 100}, {42, 100}, {46, 0},  {50, 0}};
  for (const auto& [at, value] : fields) EXPECT_EQ(readU32(&b[at]), value) << at;
  EXPECT_EQ(readU32(&b[26]), 1u | 24u << 16);  // one plane, 24 bits
  for (size_t row = 0; row < 16; ++row) EXPECT_EQ(b[54 + row * 56 + 54] | b[54 + row * 56 + 55], 0);
  // Something was drawn, and the gauge is back where it was.
  EXPECT_TRUE(std::any_of(b.begin() + 54, b.end(), [](std::uint8_t v) { return v != 0; }));
  EXPECT_DOUBLE_EQ(app.blendAmount, 0.3);
  EXPECT_EQ(platform.statusText, "Snapshot written to " + dir.file("colour.bmp"));

  // Replacing "colour.bmp", which the user did not name, is asked first.
  const std::string question = dir.file("colour.bmp") + " already exists.\nDo you want to replace it?";
  for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
    platform.messages.clear();
    platform.messageAnswers = {answer};
    snap({true, 20, 16, true, true, 0}, "colour.pcx", 2);
    EXPECT_EQ(platform.messageTexts(), Messages{question});
    EXPECT_EQ(fileSize(dir.file("colour.bmp")), 54 + (answer == MessageAnswer::Yes ? 60 : 56) * 16);
  }

  // Into a folder that does not exist: the error, and no file.
  platform.messages.clear();
  snap({true, 32, 32, true, true, 5000}, "missing/colour.bmp");
  EXPECT_EQ(platform.messageTexts(),
            (Messages{"Error Saving: 2\n" + dir.file("missing/colour.bmp") +
                          ": No such file or directory",
                      kSnapshotErrorMessage}));

  // ImageMagick agrees, where it is installed.
  if (std::system("command -v identify >/dev/null 2>&1") == 0) {
    const std::string command =
        "identify -format '%w %h %z' " + dir.file("colour.bmp") + " > " + dir.file("id.txt");
    ASSERT_EQ(std::system(command.c_str()), 0);
    FileReadResult id = readWholeFile(dir.file("id.txt"));
    EXPECT_EQ(std::string(id.bytes.begin(), id.bytes.end()), "20 16 8");
  }
}

TEST(SnapshotRules, SmoothingNameAndLightTable) {
  EXPECT_DOUBLE_EQ(smoothingExponentFor(0), 1.0);
  EXPECT_DOUBLE_EQ(smoothingExponentFor(9999), 13.49875);

  // Column 3 holds entry 5 for rows 0..9, then 7: a ten-step ramp, then flat.
  Skin colormap;
  allocateSkin(colormap, 256, 64);
  for (size_t row = 0; row < 64; ++row) colormap.pixels[row * 256 + 3] = row < 10 ? 5 : 7;
  Palette palette{};
  std::copy_n(std::array<std::uint8_t, 3>{100, 200, 55}.begin(), 3, &palette[21]);
  const std::vector<std::uint8_t> table = buildLightTableRgb(colormap, palette);
  const std::array<int, 4> expected[] = {
      {0, 0, 0, 0}, {1, 10, 20, 5}, {9, 90, 180, 49}, {10, 100, 200, 55}, {63, 100, 200, 55}};
  for (const auto& [row, r, g, b] : expected) {
    const size_t at = (static_cast<size_t>(row) * 256 + 3) * 3;
    EXPECT_EQ((std::array<int, 3>{table[at], table[at + 1], table[at + 2]}), (std::array{r, g, b}));
  }
}

}  // namespace
}  // namespace pelt
