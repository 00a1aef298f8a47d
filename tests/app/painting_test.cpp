// Painting as the main window sees it: both views follow a stroke through
// the frame's refresh, a painted skin is marked in the skin list until it is
// saved, and nothing painted is thrown away without a question.
#include <algorithm>
#include <functional>

#include "app/frame_lists.h"
#include "app/skin_list.h"
#include "frame_fixture.h"
#include "platform/settings_keys.h"
#include "skinview/skin_view.h"
#include "view3d/model_view.h"

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
  Painting() {
    platform.frame = &frame;
    modelFile = loadStrip();
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

  std::string modelFile;
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
}

TEST_F(Painting, DiscardingPaintedSkinsAsksFirst) {
  const std::string discard = kDiscardPaintedSkinsQuestion;
  auto closeSkin = [this] {
    runCommand(frame, 32782);
    return app.model.skins.empty();
  };
  auto openModel = [this] {
    platform.answerFile(modelFile);
    runCommand(frame, 32772);
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
      stroke(*frame.skinView(), {{10, 20}, {50, 26}});
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
  run(32782);
  EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace pelt
