#include "colorboxes/gradient_box.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/view_factory.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

using Refreshes = std::vector<test::RecordedRefresh>;

constexpr int kWidth = 24;
constexpr int kHeight = 100;  // gauge rows 0..72, 71 rows inside the bevel

struct GradientBoxTest : ::testing::Test {
  GradientBoxTest() { box->resize(kWidth, kHeight); }
  void drag(unsigned button, int x0, int y0, int x1, int y1) {
    box->mousePress({x0, y0, x0, y0, button, button});
    box->mouseMove({x1, y1, x1, y1, kButtonNone, button});
    box->mouseRelease({x1, y1, x1, y1, button, kButtonNone});
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
    drag(kButtonLeft, 5, 10, 5, c.y);
    drag(kButtonRight, 5, 10, 5, c.y);
    EXPECT_DOUBLE_EQ(app.blendAmount, c.amount) << c.y;
    EXPECT_DOUBLE_EQ(app.lightExponent, c.exponent) << c.y;
  }
  EXPECT_EQ(platform.pointerHidden, 0);
}

TEST_F(GradientBoxTest, LightingChangesRedrawShadedModesOnly) {
  for (int mode : {2, 3, 4, 7, 8, 0, 5}) {
    platform.refreshes.clear();
    app.renderMode = mode;
    drag(kButtonRight, 5, 10, 5, 20);
    const Refreshes shaded{{1, 0x12, true}, {1, 0x12, true}, {0, 0x22, true}};
    EXPECT_EQ(platform.refreshes, mode != 0 && mode != 5 ? shaded : Refreshes{}) << mode;
  }
}

TEST_F(GradientBoxTest, PresetsGripAndSwap) {
  const int presetRow = kHeight - 5;
  app.splitRatio = 0.4;
  drag(kButtonRight, kWidth - 2, presetRow, kWidth - 2, presetRow);  // B takes the ratio
  EXPECT_DOUBLE_EQ(box->presetB, 0.4);
  drag(kButtonLeft, 1, presetRow, 1, presetRow);  // A applies its own
  EXPECT_DOUBLE_EQ(app.splitRatio, 0.25);
  drag(kButtonLeft, kWidth - 2, presetRow, 1, 3);  // the press chose the half
  EXPECT_DOUBLE_EQ(app.splitRatio, 0.4);
  EXPECT_EQ(platform.barAdjusts, (std::vector<int>{1, 1}));

  box->mousePress({5, kHeight - 20, 5, kHeight - 20, kButtonLeft, kButtonLeft});
  EXPECT_EQ(platform.barAdjusts.back(), 0);
  EXPECT_EQ(box->dragState(), GradientDrag::Grip);
  box->captureLost();  // the main frame ends the split drag
  EXPECT_EQ(box->dragState(), GradientDrag::Idle);
  drag(kButtonRight, 5, kHeight - 20, 5, kHeight - 20);
  EXPECT_EQ(swaps, 1);
}

}  // namespace
}  // namespace pelt
