#include "colorboxes/gradient_box.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/view_factory.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

using test::RecordedRefresh;

constexpr int kWidth = 24;
constexpr int kHeight = 100;  // gauge rows 0..72, 71 rows inside the bevel

struct GradientBoxTest : ::testing::Test {
  GradientBoxTest() { box->resize(kWidth, kHeight); }
  void press(int x, int y, unsigned button) { box->mousePress({x, y, x, y, button, button}); }
  void release(int x, int y, unsigned button) {
    box->mouseRelease({x, y, x, y, button, kButtonNone});
  }
  // A gauge drag; the pointer hides while it lasts.
  void drag(unsigned button, int y) {
    press(5, 10, button);
    EXPECT_EQ(platform.pointerHidden, 1);
    box->mouseMove({5, y, 5, y, kButtonNone, button});
    release(5, y, button);
    EXPECT_EQ(platform.pointerHidden, 0);
  }

  test::ScriptedPlatform platform;
  App app{platform};
  int swaps = 0;
  std::unique_ptr<GradientBox> box = makeGradientBox(app, [this] { ++swaps; });
};

TEST_F(GradientBoxTest, GaugeRowsSetAmountAndExponentClampedPastTheEnds) {
  struct Case {
    int y;
    double amount, exponent;
  } cases[] = {
      {0, 1.0, 20.0},
      {73, 0.0, 0.0},
      {90, 0.0, 0.0},
      {-5, 1.0, 20.0},
      {36, 1.0 - 36.0 / 73, (37.0 / 73) * (37.0 / 73) * 20},
  };
  for (const Case& c : cases) {
    drag(kButtonLeft, c.y);
    drag(kButtonRight, c.y);
    EXPECT_DOUBLE_EQ(app.blendAmount, c.amount) << c.y;
    EXPECT_DOUBLE_EQ(app.lightExponent, c.exponent) << c.y;
  }
}

TEST_F(GradientBoxTest, LightingChangesRedrawShadedModesOnly) {
  for (int mode : {2, 3, 4, 7, 8, 0, 5}) {
    platform.refreshes.clear();
    app.renderMode = mode;
    drag(kButtonRight, 20);
    using Refreshes = std::vector<RecordedRefresh>;
    const Refreshes shaded{{1, 0x12, true}, {1, 0x12, true}, {0, 0x22, true}};
    EXPECT_EQ(platform.refreshes, mode != 0 && mode != 5 ? shaded : Refreshes{}) << mode;
  }
}

TEST_F(GradientBoxTest, PresetsGripAndSwap) {
  const int presetRow = kHeight - 5;
  app.splitRatio = 0.4;
  press(kWidth - 2, presetRow, kButtonRight);  // B takes the ratio
  release(kWidth - 2, presetRow, kButtonRight);
  EXPECT_DOUBLE_EQ(box->presetB, 0.4);
  press(1, presetRow, kButtonLeft);  // A applies its own
  release(1, presetRow, kButtonLeft);
  EXPECT_DOUBLE_EQ(app.splitRatio, 0.25);
  press(kWidth - 2, presetRow, kButtonLeft);
  release(1, 3, kButtonLeft);  // the press chose the half
  EXPECT_DOUBLE_EQ(app.splitRatio, 0.4);
  EXPECT_EQ(platform.barAdjusts, (std::vector<int>{1, 1}));

  press(5, kHeight - 20, kButtonLeft);
  EXPECT_EQ(platform.barAdjusts.back(), 0);
  EXPECT_EQ(box->dragState(), GradientDrag::Grip);
  box->captureLost();  // the main frame ends the split drag
  EXPECT_EQ(box->dragState(), GradientDrag::Idle);
  press(5, kHeight - 20, kButtonRight);
  release(5, kHeight - 20, kButtonRight);
  EXPECT_EQ(swaps, 1);
  EXPECT_EQ(box->dragState(), GradientDrag::Idle);
}

}  // namespace
}  // namespace pelt
