#include "colorboxes/palette_box.h"

#include <gtest/gtest.h>

#include "support/scripted_platform.h"

namespace pelt {
namespace {

using Refreshes = std::vector<test::RecordedRefresh>;

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
  EXPECT_EQ(image.at(7, 7), grey(248));
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

  // A release waits for the other button; a second press starts nothing.
  press(70, 3, kButtonLeft, kButtonLeft);
  press(90, 3, kButtonRight, kButtonLeft | kButtonRight);
  EXPECT_EQ(protectedColors[26], 0);
  release(70, 3, kButtonLeft, kButtonRight);
  EXPECT_EQ(box.dragState(), PaletteDrag::Wait);
  release(70, 3, kButtonRight);
  EXPECT_EQ(box.dragState(), PaletteDrag::Idle);
}

TEST_F(PaletteBoxTest, SlotAndColourDragsRebuildAndAnnounceBySlot) {
  press(20, 20, kButtonLeft, kButtonLeft);
  EXPECT_EQ(currentSlot, 5);
  move(200, 5, kButtonLeft);  // clamped to slot 3
  EXPECT_EQ(currentSlot, 3);
  EXPECT_EQ(blendRebuilds, 0);
  release(200, 5, kButtonLeft);
  EXPECT_EQ(blendRebuilds, 1);

  struct Case {
    int slot;
    Refreshes refreshes;
    int ramps;
  } cases[] = {
      {7, {{2, 0x13, true}, {2, 0x23, true}}, 0},
      {2, {{1, 0x13, true}, {1, 0x13, true}}, 2},
      {0, {{0, 0x23, true}}, 0},
  };
  for (const Case& c : cases) {
    platform.refreshes.clear();
    rampRebuilds = 0;
    currentSlot = c.slot;
    slots[static_cast<size_t>(c.slot)] = 1;
    press(64 + 10, 0, kButtonLeft, kButtonLeft);
    EXPECT_EQ(slots[static_cast<size_t>(c.slot)], 10);
    move(64 + 10, 0, kButtonLeft);  // same colour: quiet
    release(64 + 10, 0, kButtonLeft);
    EXPECT_EQ(platform.refreshes, c.refreshes) << c.slot;
    EXPECT_EQ(rampRebuilds, c.ramps);
  }
}

}  // namespace
}  // namespace pelt
