// Painting and picking in the skin view, driven through its mouse events.

#include <gtest/gtest.h>

#include <set>

#include "app/app.h"
#include "app/tables.h"
#include "app/view_factory.h"
#include "skinview/skin_view.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

using test::RecordedRefresh;

// A 32 x 32 grey-ramp skin of colour 100 shown 1:1 in a 32 x 32 view, with
// the paint colour 200 at half strength.
struct SkinPaint : ::testing::Test {
  SkinPaint() {
    auto skin = std::make_unique<Skin>();
    allocateSkin(*skin, 32, 32);
    std::fill(skin->pixels.begin(), skin->pixels.end(), 100);
    skin->palette = greyRampPalette();
    app.model.skinWidth = app.model.skinHeight = 32;
    app.model.skins.push_back(std::move(skin));
    app.model.currentSkinIndex = 0;
    app.cameraOverride = false;
    app.colorSlots[0] = 200;
    app.blendAmount = 0.5;
    buildBlendTable(app);
    view->resize(32, 32);
    view->zoom = 1.0f;
    view->panS = view->panT = 16.0f;
    view->renderSkinView(0);
  }
  std::vector<std::uint8_t>& pixels() { return app.model.currentSkin()->pixels; }
  std::uint8_t& shownAt(int x, int y) { return pixels()[static_cast<size_t>(view->texelAt(x, y))]; }
  void stroke(std::initializer_list<WindowPoint> path, unsigned button = kButtonLeft) {
    auto event = [](WindowPoint p, unsigned b, unsigned held) {
      return MouseEvent{p.x, p.y, p.x, p.y, b, held};
    };
    view->mousePress(event(*path.begin(), button, button));
    for (auto p = path.begin() + 1; p != path.end(); ++p) view->mouseMove(event(*p, 0, button));
    view->mouseRelease(event(*(path.end() - 1), button, 0));
  }
  // The window points whose skin pixel is no longer 100.
  std::set<std::pair<int, int>> paintedPoints() {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        if (view->texelAt(x, y) >= 0 && shownAt(x, y) != 100) out.insert({x, y});
    return out;
  }

  test::ScriptedPlatform platform;
  App app{platform};
  std::unique_ptr<SkinView> view = makeSkinView(app);
};

TEST_F(SkinPaint, PencilSegmentPaintsThePinnedPixelsWithOneRefresh) {
  app.brushKind = kBrushPencil;
  platform.refreshes.clear();
  stroke({{10, 10}, {13, 11}});
  EXPECT_EQ(paintedPoints(),
            (std::set<std::pair<int, int>>{{10, 10}, {11, 10}, {12, 10}, {13, 11}}));
  // The press paints one point, the move one segment: one Retexture each.
  EXPECT_EQ(platform.refreshes, (std::vector<RecordedRefresh>{{3, 0x13, false}, {3, 0x13, false}}));
  EXPECT_TRUE(app.model.currentSkin()->modified);
}

TEST_F(SkinPaint, APixelChangesOncePerStrokeAndAgainInTheNext) {
  app.brushKind = kBrushPencil;
  const std::uint8_t once = app.blendTable[100];
  ASSERT_NE(once, 100);
  stroke({{5, 5}, {15, 5}, {5, 5}, {15, 5}});
  EXPECT_EQ(shownAt(10, 5), once);
  stroke({{5, 5}, {15, 5}});
  EXPECT_EQ(shownAt(10, 5), app.blendTable[once]);
  EXPECT_NE(app.blendTable[once], once);
}

TEST_F(SkinPaint, ProtectedColoursSurviveEveryBrush) {
  for (int brush : {kBrushPoint, kBrushPencil, kBrushLine}) {
    std::fill(pixels().begin(), pixels().end(), 100);
    for (int x = 0; x < 32; x += 2) shownAt(x, 8) = 50;
    app.protectedColors[100] = 1;
    app.brushKind = brush;
    const std::vector<std::uint8_t> before = pixels();
    stroke({{0, 8}, {31, 8}, {30, 8}, {2, 8}});
    EXPECT_NE(shownAt(0, 8), 50) << brush;
    for (size_t i = 0; i < before.size(); ++i)
      EXPECT_TRUE(before[i] != 100 || pixels()[i] == 100) << brush << " " << i;
  }
}

TEST_F(SkinPaint, LineBrushLeavesOnlyTheLastLine) {
  app.brushKind = kBrushLine;
  stroke({{2, 2}, {20, 2}, {2, 20}, {2, 12}});
  std::set<std::pair<int, int>> expected;
  for (int y = 2; y <= 12; ++y) expected.insert({2, y});
  EXPECT_EQ(paintedPoints(), expected);
}

TEST_F(SkinPaint, PickingOverTheBackgroundKeepsTheSlot) {
  view->panS = 0.0f;  // the left half of the view shows no skin
  view->renderSkinView(0);
  ASSERT_LT(view->texelAt(2, 2), 0);
  stroke({{2, 2}}, kButtonRight);
  EXPECT_EQ(app.colorSlots[0], 200);
  shownAt(30, 2) = 77;
  stroke({{2, 2}, {30, 2}}, kButtonRight);
  EXPECT_EQ(app.colorSlots[0], 77);
  EXPECT_EQ(app.blendTable[100], 88);  // the table follows the pick: halfway to 77
}

}  // namespace
}  // namespace pelt
