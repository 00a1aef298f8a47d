#include "colorboxes/gradient_box.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/view_factory.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

using test::RecordedRefresh;
using test::ScriptedPlatform;

constexpr int kWidth = 24;
constexpr int kHeight = 100;  // gauge rows 0..72, 71 rows inside the bevel

class GradientBoxTest : public ::testing::Test {
 protected:
  GradientBoxTest() : app(platform) {
    box = makeGradientBox(app, [this] { ++swaps; });
    box->resize(kWidth, kHeight);
  }
  MouseEvent at(int x, int y, unsigned button, unsigned held) const {
    return {x, y, x, y, button, held};
  }
  void click(int x, int y, unsigned button) {
    box->mousePress(at(x, y, button, button));
    box->mouseRelease(at(x, y, button, kButtonNone));
  }
  Rgb8 gauge(int r) const { return box->pixels().at(kWidth / 2, kHeight - 28 - r); }

  ScriptedPlatform platform;
  App app;
  int swaps = 0;
  std::unique_ptr<GradientBox> box;
};

TEST_F(GradientBoxTest, GaugeRowsSetAmountAndExponent) {
  struct Case {
    int y;
    double amount, exponent;
  } cases[] = {
      {0, 1.0, 20.0}, {73, 0.0, 0.0}, {90, 0.0, 0.0}, {-5, 1.0, 20.0},
      {36, 1.0 - 36.0 / 73, (37.0 / 73) * (37.0 / 73) * 20},
  };
  // Drags carry the value past the gauge's ends, clamped.
  for (const Case& c : cases) {
    for (unsigned button : {kButtonLeft, kButtonRight}) {
      box->mousePress(at(5, 10, button, button));
      EXPECT_EQ(platform.pointerHidden, 1);
      box->mouseMove(at(5, c.y, kButtonNone, button));
      box->mouseRelease(at(5, c.y, button, kButtonNone));
      EXPECT_EQ(platform.pointerHidden, 0);
    }
    EXPECT_DOUBLE_EQ(app.blendAmount, c.amount) << c.y;
    EXPECT_DOUBLE_EQ(app.lightExponent, c.exponent) << c.y;
  }
}

TEST_F(GradientBoxTest, FilledRowsShowTheBrightnessCurve) {
  app.blendAmount = 0.5;  // 35 of 71 rows
  box->drawImage();
  const auto& curve = app.shading.shadeCurve;
  EXPECT_EQ(gauge(0), (Rgb8{curve[0], curve[0], curve[0]}));
  EXPECT_EQ(gauge(34), (Rgb8{curve[247], curve[247], curve[247]}));
  EXPECT_EQ(gauge(35), (Rgb8{0, 0, 0}));
  EXPECT_EQ(gauge(70), (Rgb8{0, 0, 0}));

  // Exponent 0 lights every entry fully: the filled gauge turns white.
  box->mousePress(at(5, 60, kButtonRight, kButtonRight));
  box->mouseMove(at(5, 500, kButtonNone, kButtonRight));
  box->mouseRelease(at(5, 500, kButtonRight, kButtonNone));
  EXPECT_DOUBLE_EQ(app.lightExponent, 0.0);
  for (int r = 0; r < 35; ++r) EXPECT_EQ(gauge(r), (Rgb8{255, 255, 255})) << r;
}

TEST_F(GradientBoxTest, LightingChangesRedrawShadedModesOnly) {
  for (int mode : {2, 3, 4, 7, 8, 0, 5}) {
    platform.refreshes.clear();
    app.renderMode = mode;
    box->mousePress(at(5, 10, kButtonRight, kButtonRight));
    box->mouseMove(at(5, 20, kButtonNone, kButtonRight));
    box->mouseRelease(at(5, 30, kButtonRight, kButtonNone));
    const bool shaded = mode != 0 && mode != 5;
    const std::vector<RecordedRefresh> expected =
        shaded ? std::vector<RecordedRefresh>{{1, 0x12, true}, {1, 0x12, true}, {0, 0x22, true}}
               : std::vector<RecordedRefresh>{};
    EXPECT_EQ(platform.refreshes, expected) << mode;
  }
}

TEST_F(GradientBoxTest, PresetsGripAndSwap) {
  const int presetRow = kHeight - 5;
  app.splitRatio = 0.4;
  click(kWidth - 2, presetRow, kButtonRight);  // B takes the ratio
  EXPECT_DOUBLE_EQ(box->presetB, 0.4);
  app.splitRatio = 0.6;
  click(1, presetRow, kButtonLeft);  // A applies its own
  EXPECT_DOUBLE_EQ(app.splitRatio, 0.25);
  // The release may land anywhere: the press chose the half.
  box->mousePress(at(kWidth - 2, presetRow, kButtonLeft, kButtonLeft));
  box->mouseRelease(at(1, 3, kButtonLeft, kButtonNone));
  EXPECT_DOUBLE_EQ(app.splitRatio, 0.4);
  EXPECT_EQ(platform.barAdjusts, (std::vector<int>{1, 1}));

  box->mousePress(at(5, kHeight - 20, kButtonLeft, kButtonLeft));
  EXPECT_EQ(platform.barAdjusts.back(), 0);
  EXPECT_EQ(box->dragState(), GradientDrag::Grip);
  box->captureLost();  // the main frame ends the split drag
  EXPECT_EQ(box->dragState(), GradientDrag::Idle);

  click(5, kHeight - 20, kButtonRight);
  EXPECT_EQ(swaps, 1);
  EXPECT_EQ(box->dragState(), GradientDrag::Idle);
}

TEST_F(GradientBoxTest, LostCaptureFinishesTheDrag) {
  app.blendAmount = 1.0;
  box->mousePress(at(5, 36, kButtonLeft, kButtonLeft));
  box->captureLost();
  EXPECT_EQ(box->dragState(), GradientDrag::Idle);
  EXPECT_EQ(platform.pointerHidden, 0);
  box->mouseRelease(at(5, 0, kButtonLeft, kButtonNone));  // no longer a drag
  EXPECT_DOUBLE_EQ(app.blendAmount, 1.0 - 36.0 / 73);
}

}  // namespace
}  // namespace pelt
