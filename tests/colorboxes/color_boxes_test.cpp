// The gradient box's gauge, presets and grip, and the palette box's slots,
// colours and protection, through their mouse events.
#include <gtest/gtest.h>

#include <tuple>

#include "app/app.h"
#include "app/view_factory.h"
#include "colorboxes/gradient_box.h"
#include "colorboxes/palette_box.h"
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
  // The row a drag ends on, the paint amount and the light exponent it leaves.
  const std::tuple<int, double, double> cases[] = {
      {0, 1.0, 20.0},
      {73, 0.0, 0.0},
      {90, 0.0, 0.0},
      {-5, 1.0, 20.0},
      {36, 1.0 - 36.0 / 73, (37.0 / 73) * (37.0 / 73) * 20}};
  for (auto [y, amount, exponent] : cases) {
    drag(kButtonLeft, 5, 10, 5, y);
    drag(kButtonRight, 5, 10, 5, y);
    EXPECT_DOUBLE_EQ(app.blendAmount, amount) << y;
    EXPECT_DOUBLE_EQ(app.lightExponent, exponent) << y;
  }
  EXPECT_EQ(platform.pointerHidden, 0);
  // The readout: on the gauge and in the status line after a drag; the grip has none.
  EXPECT_EQ(platform.statusText, "Blend 51%  Light exponent 5.14");
  EXPECT_EQ(box->toolTipText(5, 40), platform.statusText);
  EXPECT_EQ(box->statusText(5, kHeight - kGradientStripRows), "");
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
  const int presetRow = kHeight - kPresetRows;
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

Rgb8 grey(int v) {
  const auto g = static_cast<std::uint8_t>(v);
  return {g, g, g};
}

// Without a palette the box shows the grey ramp: colour i is (i, i, i).
struct PaletteBoxTest : ::testing::Test {
  PaletteBoxTest() { box.resize(128, 32); }  // one palette index per column
  void press(int x, int y, unsigned button, unsigned held) {
    box.mousePress({x, y, 0, 0, button, held});
  }
  void move(int x, int y, unsigned held) { box.mouseMove({x, y, 0, 0, kButtonNone, held}); }
  void release(int x, int y, unsigned button, unsigned held = kButtonNone) {
    box.mouseRelease({x, y, 0, 0, button, held});
  }

  test::ScriptedPlatform platform;
  std::array<std::uint8_t, 8> slots{248, 64, 128, 192, 15, 10, 5, 0};
  int currentSlot = 0;
  ProtectedColors protectedColors{};
  int blendRebuilds = 0;
  int rampRebuilds = 0;
  PaletteBox box{PaletteBoxInputs{platform, slots, currentSlot, protectedColors,
                                  [] { return static_cast<const Palette*>(nullptr); },
                                  [this] { ++blendRebuilds; }, [this] { ++rampRebuilds; }}};
};

TEST_F(PaletteBoxTest, ColumnsSlotsAndMarkers) {
  EXPECT_EQ(box.colourAt(64 + 10, 9), 74);
  box.resize(192, 32);  // two columns per index
  EXPECT_EQ(box.colourAt(64 + 21, 30), 192 + 10);
  const BoxImage& image = box.pixels();
  // Slot 0 (current, colour 248): black outer ring, white inner ring.
  EXPECT_EQ(image.at(0, 0), grey(0));
  EXPECT_EQ(image.at(1, 1), grey(255));
  EXPECT_EQ(image.at(17, 1), grey(64));  // slot 1 is not current
  // 248 is column run 112..113 of band 3; the marker is three columns wide.
  for (int x = 176; x <= 178; ++x) EXPECT_EQ(image.at(x, 24), grey(248 - 128)) << x;
  EXPECT_EQ(image.at(179, 24), grey(249));
}

TEST_F(PaletteBoxTest, RightDragProtectsOrUnprotectsAsItsPressDecides) {
  press(72, 25, kButtonRight, kButtonRight);  // index 200
  move(73, 25, kButtonRight);
  release(73, 25, kButtonRight);
  EXPECT_EQ(protectedColors[200] + protectedColors[201], 2);
  press(73, 25, kButtonRight, kButtonRight);  // protected: unprotect drag
  EXPECT_EQ(box.dragState(), PaletteDrag::Unprotect);
  for (int x : {72, 74, 300}) move(x, 99, kButtonRight);
  release(74, 25, kButtonRight);
  for (int i = 190; i < 256; ++i) EXPECT_EQ(protectedColors[static_cast<size_t>(i)], 0) << i;
}

TEST_F(PaletteBoxTest, SlotAndColourDragsRebuildAndAnnounceBySlot) {
  press(20, 20, kButtonLeft, kButtonLeft);
  EXPECT_EQ(currentSlot, 5);
  move(200, 5, kButtonLeft);  // clamped to slot 3
  EXPECT_EQ(currentSlot, 3);
  EXPECT_EQ(blendRebuilds, 0);
  release(200, 5, kButtonLeft);
  EXPECT_EQ(blendRebuilds, 1);

  // The current slot, what a colour drag announces and the ramp rebuilds.
  const std::tuple<int, Refreshes, int> cases[] = {
      {7, {{2, 0x13, true}, {2, 0x23, true}}, 0},
      {1, {{1, 0x13, true}, {1, 0x13, true}}, 2},
      {3, {{1, 0x13, true}, {1, 0x13, true}}, 2},
      {0, {{0, 0x23, true}}, 0},
  };
  for (const auto& [slot, refreshes, ramps] : cases) {
    platform.refreshes.clear();
    rampRebuilds = 0;
    currentSlot = slot;
    slots[static_cast<size_t>(slot)] = 1;
    press(64 + 10, 0, kButtonLeft, kButtonLeft);
    EXPECT_EQ(slots[static_cast<size_t>(slot)], 10);
    move(64 + 10, 0, kButtonLeft);  // same colour: quiet
    release(64 + 10, 0, kButtonLeft);
    EXPECT_EQ(platform.refreshes, refreshes) << slot;
    EXPECT_EQ(rampRebuilds, ramps);
  }
}

TEST_F(PaletteBoxTest, ReleaseWaitsForTheOtherButtonAndTheWheelStepsBySixteen) {
  press(70, 3, kButtonLeft, kButtonLeft);
  press(90, 3, kButtonRight, kButtonLeft | kButtonRight);  // not idle: starts nothing
  EXPECT_EQ(protectedColors[26], 0);
  release(70, 3, kButtonLeft, kButtonRight);
  EXPECT_EQ(box.dragState(), PaletteDrag::Wait);
  release(70, 3, kButtonRight);
  EXPECT_EQ(box.dragState(), PaletteDrag::Idle);

  platform.refreshes.clear();
  blendRebuilds = 0;
  currentSlot = 5;
  slots[5] = 5;
  for (auto [delta, colour] : {std::pair{-120, 245}, {240, 21}}) {
    box.wheel(delta);
    EXPECT_EQ(slots[5], colour);
  }
  EXPECT_TRUE(platform.refreshes.empty());
  currentSlot = 7;
  box.wheel(120);
  EXPECT_EQ(platform.refreshes, (Refreshes{{2, 0x13, true}}));
  EXPECT_EQ(blendRebuilds, 3);
}

}  // namespace
}  // namespace pelt
