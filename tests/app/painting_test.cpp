// Painting as the main window sees it: both views follow a stroke through
// the frame's refresh, a painted skin is marked in the skin list until it is
// saved, and nothing painted is thrown away without a question.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/app.h"
#include "app/command_table.h"
#include "app/frame_lists.h"
#include "app/main_frame.h"
#include "app/model_loading.h"
#include "app/skin_list.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "skinview/skin_view.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"
#include "quiet_host.h"
#include "view3d/model_view.h"

namespace pelt {
namespace {

using test::ScriptedPlatform;

enum : int { kOpenModel = 32772, kCloseSkin = 32782, kSaveSkin = 32783 };

// Sends reach the frame, as in the window.
struct FramePlatform : ScriptedPlatform {
  MainFrame* frame = nullptr;
  void sendRefresh(int level, int mask) override {
    ScriptedPlatform::sendRefresh(level, mask);
    if (frame) frame->refresh(level, mask);
  }
};

MouseEvent press(int x, int y, unsigned button, unsigned held) {
  MouseEvent e;
  e.x = e.screenX = x;
  e.y = e.screenY = y;
  e.button = button;
  e.buttons = held;
  return e;
}

// The two-quad strip model with its 16 x 8 skin, seen from above.
class Painting : public ::testing::Test {
 protected:
  Painting() : app(platform), frame(app, host) {
    platform.frame = &frame;
    app.baseFolder = dir.file("baseq2");
    app.loadFolder = app.saveFolder = app.baseFolder;
    skinFile = dir.write("baseq2/models/m/skin.pcx", encodeSkinPcx(test::patternSkin(16, 8, 1)));
    modelFile = dir.write("baseq2/models/m/tris.md2",
                          encodeMd2(test::quadStripMd2(2, 16, 8, {"models/m/skin.pcx"})));
    EXPECT_TRUE(loadMd2(app, modelFile));
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
    platform.messages.clear();
  }
  Skin& skin() { return *app.model.currentSkin(); }
  void stroke(CoreView& view, int x0, int y0, int x1, int y1) {
    view.mousePress(press(x0, y0, kButtonLeft, kButtonLeft));
    view.mouseMove(press(x1, y1, kButtonNone, kButtonLeft));
    view.mouseRelease(press(x1, y1, kButtonLeft, kButtonNone));
  }
  std::string skinEntry() { return listContents(app, FrameList::Skins).entries.at(0); }
  // Every texel pixel of the skin view shows its skin texel.
  void expectSkinViewShowsTheSkin() {
    const SkinView& v = *frame.skinView();
    for (size_t i = 0; i < v.texelMap.size(); ++i) {
      if (v.texelMap[i] < 0) continue;
      ASSERT_EQ(v.viewPixels[i], skin().pixels[static_cast<size_t>(v.texelMap[i])]) << i;
    }
  }
  // Every model pixel of the 3D view shows its skin texel.
  void expectModelViewShowsTheSkin() {
    const ModelView& v = *frame.modelView();
    int shown = 0;
    for (size_t i = 0; i < v.picks().size(); ++i) {
      const std::int32_t p = v.picks()[i];
      if (p < 0) continue;
      ++shown;
      ASSERT_EQ(v.pixels()[i], skin().pixels[static_cast<size_t>(p)]) << i;
    }
    EXPECT_GT(shown, 100);
  }

  test::TempDir dir;
  FramePlatform platform;
  App app;
  QuietHost host;
  MainFrame frame;
  std::string skinFile, modelFile;
};

TEST_F(Painting, BothViewsFollowStrokesFromEitherViewAndSavingWritesOnlyThePaintedPixels) {
  const std::vector<std::uint8_t> original = skin().pixels;
  stroke(*frame.skinView(), 10, 20, 50, 26);
  ASSERT_GE(frame.skinView()->texelAt(10, 20), 0);
  EXPECT_NE(skin().pixels, original);
  expectSkinViewShowsTheSkin();
  expectModelViewShowsTheSkin();
  const std::vector<std::uint8_t> afterSkinView = skin().pixels;
  stroke(*frame.modelView(), 5, 5, 60, 40);
  EXPECT_NE(skin().pixels, afterSkinView);
  expectSkinViewShowsTheSkin();
  expectModelViewShowsTheSkin();
  // The rubber band puts back what its earlier lines painted, in both views.
  app.brushKind = kBrushLine;
  ModelView& mv = *frame.modelView();
  mv.mousePress(press(10, 10, kButtonLeft, kButtonLeft));
  for (auto [x, y] : {std::pair{60, 12}, {30, 45}, {12, 30}})
    mv.mouseMove(press(x, y, kButtonNone, kButtonLeft));
  mv.mouseRelease(press(12, 30, kButtonLeft, kButtonNone));
  expectSkinViewShowsTheSkin();
  expectModelViewShowsTheSkin();
  EXPECT_EQ(skinEntry(), "  models/m/skin.pcx *");

  ASSERT_TRUE(runCommand(frame, kSaveSkin));
  EXPECT_EQ(skinEntry(), "  models/m/skin.pcx");
  std::unique_ptr<Skin> saved = readSkinImage(platform, skinFile);
  ASSERT_TRUE(saved);
  for (size_t i = 0; i < original.size(); ++i) {
    const bool painted = skin().pixels[i] != original[i];
    EXPECT_EQ(saved->pixels[i],
              painted ? static_cast<std::uint8_t>(255 - original[i]) : original[i]);
  }
}

TEST_F(Painting, DiscardingPaintedSkinsAsksFirst) {
  const std::string discard = kDiscardPaintedSkinsQuestion;
  auto closeSkin = [this] {
    runCommand(frame, kCloseSkin);
    return app.model.skins.empty();
  };
  auto openModel = [this] {
    platform.answerFile(modelFile);
    runCommand(frame, kOpenModel);
    return !app.model.skins[0]->modified;
  };
  auto exit = [this] { return frame.closeRequest(); };
  struct Case {
    std::function<bool()> action;  // true when the painted skin went away
    bool quickExit;
    std::vector<std::string> asked;  // when the answer is Yes; No stops after `discard`
  } cases[] = {
      {closeSkin, false, {discard}},
      {openModel, false, {kSaveMeshQuestion, discard}},
      {exit, true, {discard}},
      {exit, false, {discard, kQuitQuestion}},
  };
  for (const Case& c : cases) {
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
      ASSERT_TRUE(loadMd2(app, modelFile));
      frame.resizeView(ViewId::SkinView, 64, 48);
      platform.settings[settings::kPreferences][settings::kQuickExit] = c.quickExit ? "1" : "0";
      stroke(*frame.skinView(), 10, 20, 50, 26);
      platform.messages.clear();
      // The mesh question is answered No (do not save), the quit question Yes.
      platform.messageAnswers = {answer, MessageAnswer::Yes};
      if (c.asked.front() != discard) platform.messageAnswers.push_front(MessageAnswer::No);
      EXPECT_EQ(c.action(), answer == MessageAnswer::Yes);
      std::vector<std::string> expected = c.asked;
      if (answer == MessageAnswer::No)
        expected.erase(std::find(expected.begin(), expected.end(), discard) + 1, expected.end());
      EXPECT_EQ(platform.messageTexts(), expected);
    }
  }
  // Nothing painted: no question at all.
  ASSERT_TRUE(loadMd2(app, modelFile));
  platform.messages.clear();
  runCommand(frame, kCloseSkin);
  EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace pelt
