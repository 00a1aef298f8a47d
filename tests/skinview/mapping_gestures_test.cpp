// The skin view's mapping gestures through its mouse events. The view shows
// a 64 x 64 skin at zoom 1 so that st (s, t) sits exactly on window pixel
// (s, t) and a window pixel lies over the skin pixel of the same numbers.
#include "skinview/mapping_gestures.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/app.h"
#include "app/command_table.h"
#include "app/main_frame.h"
#include "app/view_factory.h"
#include "skinview/skin_view.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"
#include "view3d/map_from_view.h"
#include "view3d/model_view.h"

namespace pelt {
namespace {

using test::RecordedRefresh;
using test::ScriptedPlatform;
using Refreshes = std::vector<RecordedRefresh>;
using Indices = std::array<std::int16_t, 3>;

constexpr int kSize = 64;

class MappingGestures : public ::testing::Test {
 protected:
  MappingGestures() : app(platform) {
    Model& m = app.model;
    m.skinWidth = m.skinHeight = kSize;
    auto skin = std::make_unique<Skin>(test::patternSkin(kSize, kSize));
    m.skins.push_back(std::move(skin));
    m.currentSkinIndex = 0;
    // Two triangles sharing the edge 1-2 of a square, and an island.
    const StCoord st[] = {{10, 10}, {20, 10}, {10, 20}, {20, 20}, {40, 40}, {50, 40}, {40, 50}};
    std::copy(std::begin(st), std::end(st), m.stCoords.begin());
    m.stCount = 7;
    m.triangleCount = 3;
    m.triangles[0].stIndex = {0, 1, 2};
    m.triangles[1].stIndex = {1, 3, 2};
    m.triangles[2].stIndex = {4, 5, 6};
    rebuildStTable(m);
    app.cameraOverride = false;
    app.interactionMode = 1;
    view->resize(kSize, kSize);
    view->zoom = 1.0f;
    view->panS = view->panT = kSize / 2 + 0.5f;
    platform.refreshes.clear();
  }

  MouseEvent event(int x, int y, unsigned button, unsigned held, bool shift = false,
                   bool ctrl = false) const {
    return {x, y, x, y, button, held, shift, ctrl};
  }
  void press(int x, int y, unsigned button = kButtonLeft, bool shift = false, bool ctrl = false) {
    view->mousePress(event(x, y, button, button, shift, ctrl));
    pressedButton = button;
  }
  void move(int x, int y) { view->mouseMove(event(x, y, kButtonNone, pressedButton)); }
  void release(int x, int y) { view->mouseRelease(event(x, y, pressedButton, kButtonNone)); }
  void drag(int x0, int y0, int x1, int y1, unsigned button = kButtonLeft) {
    press(x0, y0, button);
    move(x1, y1);
    release(x1, y1);
  }

  void select(std::initializer_list<int> triangles) {
    for (int i : triangles) app.model.triangles[static_cast<size_t>(i)].flags |= kTriangleSelected;
  }
  StCoord corner(int triangle, int k) const {
    return app.model.triangles[static_cast<size_t>(triangle)].cornerSt[static_cast<size_t>(k)];
  }
  Indices indices(int triangle) const {
    return app.model.triangles[static_cast<size_t>(triangle)].stIndex;
  }

  ScriptedPlatform platform;
  App app;
  std::unique_ptr<SkinView> view = makeSkinView(app);
  unsigned pressedButton = kButtonNone;
};

TEST_F(MappingGestures, DraggingASharedVertexMovesItForTheSelectedTriangleOnly) {
  select({0});
  press(20, 10);
  EXPECT_EQ(view->dragState, kDragStVertex);
  EXPECT_EQ(indices(0), (Indices{0, 7, 2}));  // the appended entry
  EXPECT_EQ(app.model.triangles[0].flags, kTriangleSelected | kTriangleMoving);
  move(25, 12);
  EXPECT_EQ(app.model.stCoords[7], (StCoord{25, 12}));
  move(25, 12);  // no change, no redraw
  release(25, 12);
  EXPECT_EQ(corner(0, 1), (StCoord{25, 12}));
  EXPECT_EQ(corner(1, 0), (StCoord{20, 10}));
  EXPECT_EQ(app.model.triangles[0].flags, kTriangleSelected);
  EXPECT_EQ(app.model.stCount, 8);
  EXPECT_EQ(platform.refreshes, (Refreshes{{1, 0x23, false}, {1, 0x13, false}, {0, 0x23, false}}));
  EXPECT_EQ(view->dragState, kDragIdle);
}

TEST_F(MappingGestures, UnselectedVerticesMoveForEveryoneClampAndMerge) {
  select({2});
  drag(20, 10, 30, 5);  // no selected triangle uses it
  EXPECT_EQ(corner(0, 1), (StCoord{30, 5}));
  EXPECT_EQ(corner(1, 0), (StCoord{30, 5}));
  drag(50, 40, 90, -7);
  EXPECT_EQ(corner(2, 1), (StCoord{kSize - 1, 0}));

  app.model.triangles[2].flags = 0;
  select({0});
  drag(10, 10, 20, 20);  // onto the entry of the other triangle's corner
  EXPECT_EQ(indices(0)[0], indices(1)[1]);
  EXPECT_EQ(app.model.stCount, 6);
}

TEST_F(MappingGestures, PicksWithinASixPixelRadius) {
  struct Case {
    int x, y;
    bool picked;
  };
  const Case cases[] = {{25, 10, true},  {26, 10, false}, {24, 13, true}, {25, 13, true},
                        {25, 14, false}, {20, 4, false},  {20, 5, true},  {13, 14, true}};
  for (const Case& c : cases) {
    press(c.x, c.y);
    EXPECT_EQ(view->dragState == kDragStVertex, c.picked) << c.x << "," << c.y;
    release(c.x, c.y);
  }
  // A click off the skin picks nothing even near an entry.
  app.model.stCoords[0] = {0, 0};
  rebuildStTable(app.model);
  press(-2, 0);  // skin column -1.5, truncated to -1
  EXPECT_EQ(view->dragState, kDragIdle);
  press(-1, 0);  // column -0.5 truncates to 0
  EXPECT_EQ(view->dragState, kDragStVertex);
}

TEST_F(MappingGestures, AFullStTableRefusesTheDrag) {
  app.model.stCount = kMaxStCoords;
  press(20, 10);
  EXPECT_EQ(view->dragState, kDragIdle);
  EXPECT_EQ(indices(0), (Indices{0, 1, 2}));
  EXPECT_TRUE(platform.refreshes.empty());
}

TEST_F(MappingGestures, ShiftAndCtrlBrushTheSelection) {
  app.model.triangles[2].flags = kTriangleHidden;  // hidden ones are brushed too
  press(44, 43, kButtonLeft, true);
  EXPECT_EQ(view->dragState, kDragAddSelection);
  move(12, 12);
  release(12, 12);
  EXPECT_EQ(app.model.triangles[2].flags, kTriangleHidden | kTriangleSelected);
  EXPECT_EQ(app.model.triangles[0].flags, kTriangleSelected);
  EXPECT_EQ(app.model.triangles[1].flags, 0u);
  EXPECT_EQ(platform.refreshes, (Refreshes{{1, 0x23, false}, {1, 0x23, false}, {0, 0x23, false}}));

  press(44, 43, kButtonLeft, false, true);
  EXPECT_EQ(view->dragState, kDragRemoveSelection);
  move(12, 12);
  release(12, 12);
  EXPECT_EQ(app.model.triangles[2].flags, kTriangleHidden);
  EXPECT_EQ(app.model.triangles[0].flags, 0u);
}

TEST_F(MappingGestures, TranslationStopsAtTheSkinEdges) {
  select({0, 1});
  press(30, 30, kButtonRight);
  EXPECT_EQ(view->dragState, kDragTransform);
  EXPECT_EQ(app.model.triangles[2].flags, 0u);
  EXPECT_EQ(app.model.triangles[1].flags, kTriangleSelected | kTriangleMoving);
  move(30 - 25, 30 + 3);
  EXPECT_EQ(app.model.stCoords[0], (StCoord{0, 13}));
  move(30 + 100, 30 + 100);
  EXPECT_EQ(app.model.stCoords[3], (StCoord{kSize - 1, kSize - 1}));
  release(30, 30);
  EXPECT_EQ(corner(0, 0), (StCoord{kSize - 11, kSize - 11}));
  EXPECT_EQ(platform.pointerHidden, 0);
  EXPECT_EQ(platform.refreshes.back(), (RecordedRefresh{0, 0x23, false}));
  EXPECT_EQ(app.model.triangles[0].flags, kTriangleSelected);
}

TEST_F(MappingGestures, RotationAndScaleAreRefusedMoveByMove) {
  select({2});  // box 40..50, turned about (10, 10)
  view->mousePress(event(10, 10, kButtonRight, kButtonRight, true));
  view->mouseMove(event(10, 10 + 200, kButtonNone, kButtonRight));  // a whole radian: off the skin
  EXPECT_EQ(app.model.stCoords[4], (StCoord{40, 40}));
  EXPECT_EQ(view->transform.angle, 0.0);
  view->mouseMove(event(10, 10 + 10, kButtonNone, kButtonRight));
  EXPECT_DOUBLE_EQ(view->transform.angle, 0.05);
  // 10 + 30 cos 0.05 + 30 sin 0.05 = 41.46, 10 - 30 sin 0.05 + 30 cos 0.05 = 38.46
  EXPECT_EQ(app.model.stCoords[4], (StCoord{41, 38}));
  view->mouseRelease(event(10, 20, kButtonRight, kButtonNone));

  // Scaling by seven would take the square off the skin.
  select({0, 1});
  app.model.triangles[2].flags = 0;
  view->mousePress(event(10, 10, kButtonRight, kButtonRight, false, true));
  view->mouseMove(event(10 + 1500, 10, kButtonNone, kButtonRight));
  EXPECT_EQ(app.model.stCoords[1], (StCoord{20, 10}));
  EXPECT_DOUBLE_EQ(view->transform.scaleS, 1.0);
}

TEST_F(MappingGestures, PixelsFollowTheMappingWhenAsked) {
  app.dragPixelsWithMapping = true;
  const std::vector<std::uint8_t> before = app.model.currentSkin()->pixels;
  auto at = [&](const std::vector<std::uint8_t>& p, int x, int y) {
    return p[static_cast<size_t>(y * kSize + x)];
  };
  select({0, 1});
  press(30, 30, kButtonRight);
  move(30 + 5, 30);
  const std::vector<std::uint8_t>& now = app.model.currentSkin()->pixels;
  for (int y : {12, 15, 18})
    for (int x : {16, 20, 23}) EXPECT_EQ(at(now, x, y), at(before, x - 5, y)) << x << "," << y;
  EXPECT_EQ(at(now, 12, 15), at(before, 12, 15));  // the old place keeps its pixels
  move(30 + 2, 30);  // 7 in all; each step starts again from the held pixels
  EXPECT_EQ(at(now, 24, 15), at(before, 17, 15));
  EXPECT_EQ(at(now, 15, 15), at(before, 15, 15));
  release(30, 30);
  EXPECT_TRUE(view->pixelBackup.empty());
}

TEST_F(MappingGestures, TheMapRectangleGestures) {
  struct Case {
    int pressX, pressY, moveX, moveY;
    std::int32_t state;
    MapRect expected;
  };
  const Case cases[] = {
      {50, 50, 45, 55, kDragNewMapRect, {45, 50, 50, 55}},
      {25, 25, 28, 24, kDragMoveMapRect, {13, 9, 43, 39}},
      {11, 25, 5, 30, kDragMapRectLeft, {5, 10, 40, 40}},
      {39, 25, 45, 0, kDragMapRectRight, {10, 10, 45, 40}},
      {25, 11, 0, 3, kDragMapRectTop, {10, 3, 40, 40}},
      {25, 41, 0, 60, kDragMapRectBottom, {10, 10, 40, 60}},
  };
  app.mapRectShown = 1;
  for (const Case& c : cases) {
    view->mapRect = {10, 10, 40, 40};
    press(c.pressX, c.pressY);
    EXPECT_EQ(view->dragState, c.state) << c.state;
    move(c.moveX, c.moveY);
    release(c.moveX, c.moveY);
    EXPECT_EQ(view->mapRect, c.expected) << c.state;
  }
  EXPECT_EQ(app.model.stCount, 7);  // the mapping is left alone
}

struct QuietHost : FrameHost {
  void layoutChanged() override {}
  void grabSplitPointer(bool) override {}
  void closeWindow() override {}
};

TEST(MapFromViewCommand, MapsIntoTheSkinViewsRectangle) {
  ScriptedPlatform platform;
  App app(platform);
  QuietHost host;
  MainFrame frame(app, host);
  Model& m = app.model;
  m.frames.push_back(ModelFrame{"f", {{0, 0, 0}, {0, 0, 10}, {0, 10, 0}}});
  m.vertexCount = 3;
  m.triangleCount = 1;
  m.triangles[0].vertexIndex = {0, 1, 2};
  m.triangles[0].flags = kTriangleSelected;
  rebuildStTable(m);
  frame.resizeView(ViewId::ModelView, 64, 48);
  frame.skinView()->mapRect = {30, 20, 5, 4};

  ASSERT_TRUE(runCommand(frame, 32867));  // cancelled: nothing changes
  EXPECT_EQ(m.triangles[0].cornerSt[1], (StCoord{0, 0}));
  platform.mapFromViewAnswers.push_back(defaultMapFromViewValues());
  ASSERT_TRUE(runCommand(frame, 32867));
  EXPECT_EQ(m.triangles[0].cornerSt[1], (StCoord{5, 4}));
  EXPECT_EQ(frame.skinView()->mapRect, (MapRect{5, 4, 30, 20}));
  EXPECT_EQ(platform.refreshes.back(), (RecordedRefresh{0, 0x2F, true}));
}

}  // namespace
}  // namespace pelt
