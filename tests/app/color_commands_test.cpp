#include <gtest/gtest.h>

#include "app/app.h"
#include "app/command_table.h"
#include "app/main_frame.h"
#include "skinview/skin_view.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"
#include "quiet_host.h"

namespace pelt {
namespace {

using test::RecordedRefresh;
using test::ScriptedPlatform;

class ColorCommands : public ::testing::Test {
 protected:
  ColorCommands() : app(platform), frame(app, host) {
    app.model.skins.push_back(std::make_unique<Skin>(test::patternSkin(8, 8)));
    app.model.currentSkinIndex = 0;
  }
  bool checked(int id) const { return isCommandChecked(*findCommand(id), app); }

  ScriptedPlatform platform;
  App app;
  QuietHost host;
  MainFrame frame;
};

TEST_F(ColorCommands, KeysStepTheCurrentColourWrappingAndRebuildTheBlend) {
  struct Case {
    int id;
    std::uint8_t before, after;
  } cases[] = {
      {32832, 255, 0}, {32833, 0, 255}, {32834, 250, 10}, {32835, 3, 243}, {32832, 7, 8},
  };
  app.currentSlot = 4;
  for (const Case& c : cases) {
    platform.refreshes.clear();
    app.colorSlots[4] = c.before;
    ASSERT_TRUE(runCommand(frame, c.id));
    EXPECT_EQ(app.colorSlots[4], c.after) << c.id;
    // Full strength in RGB: every index paints to the new colour (the
    // pattern palette has no duplicates).
    EXPECT_EQ(app.blendTable[0], c.after);
    EXPECT_EQ(platform.refreshes, (std::vector<RecordedRefresh>{{0, 0x28, false}}));
  }
}

TEST_F(ColorCommands, MeshAndBackgroundSlotsRedrawTheLargeViews) {
  app.currentSlot = 2;
  const auto ramps = app.shading.shadeRamps;
  runCommand(frame, 32834);
  EXPECT_NE(app.shading.shadeRamps, ramps);
  EXPECT_EQ(platform.refreshes,
            (std::vector<RecordedRefresh>{{0, 0x28, false}, {0, 0x23, true}}));
  platform.refreshes.clear();
  app.currentSlot = 7;
  runCommand(frame, 32833);
  EXPECT_EQ(platform.refreshes.size(), 2u);
}

TEST_F(ColorCommands, BlendModeButtonsActOnlyOnAChange) {
  app.colorSlots[0] = 40;
  EXPECT_TRUE(checked(32868));
  app.blendTable[0] = 77;
  runCommand(frame, 32868);  // already mode 0: the table is left alone
  EXPECT_EQ(app.blendTable[0], 77);
  runCommand(frame, 32869);
  EXPECT_EQ(app.blendMode, kBlendHueSaturation);
  EXPECT_TRUE(checked(32869));
  EXPECT_FALSE(checked(32868));
  BlendTable expected{};
  buildBlendTable(expected, app.model.skins[0]->palette, 40, 1.0, kBlendHueSaturation);
  EXPECT_EQ(app.blendTable, expected);
}

TEST_F(ColorCommands, SkinViewTogglesFlipAndRedraw) {
  ASSERT_NE(frame.skinView(), nullptr);
  runCommand(frame, 32866);
  EXPECT_TRUE(checked(32866));
  EXPECT_EQ(frame.skinView()->mapRectShown, 1);
  EXPECT_EQ(platform.refreshes, (std::vector<RecordedRefresh>{{0, 1, true}}));

  runCommand(frame, 32850);
  EXPECT_TRUE(app.showMeshWhilePainting);
  EXPECT_TRUE(checked(32850));
  EXPECT_EQ(platform.listRefills, 1);
  EXPECT_EQ(platform.refreshes.back(), (RecordedRefresh{0, 0x2F, true}));
  runCommand(frame, 32850);
  runCommand(frame, 32866);
  EXPECT_FALSE(checked(32850));
  EXPECT_FALSE(checked(32866));
}

}  // namespace
}  // namespace pelt
