// The 3D view's mouse: which gesture a press starts and how it ends, the
// camera steps, painting and picking through the pick buffer, and brushing
// triangle selections.

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "view3d/view_fixture.h"

namespace pelt::test {
namespace {

MouseEvent mouseAt(int x, int y, unsigned button = kButtonNone, unsigned held = kButtonNone,
                   bool shift = false) {
  MouseEvent e;
  e.x = e.screenX = x;
  e.y = e.screenY = y;
  e.button = button;
  e.buttons = held;
  e.shift = shift;
  return e;
}

// A pattern-skinned square over the middle of the view; painting adds 1.
struct PaintScene : ViewFixture {
  PaintScene() {
    addSkin(32, 32, true);
    addFacingSquare(*this, 0, -20, 20, -15, 15, {StCoord{0, 31}, {0, 0}, {31, 0}, {31, 31}});
    for (int i = 0; i < 256; ++i)
      app.blendTable[static_cast<size_t>(i)] = static_cast<std::uint8_t>(i + 1);
    app.cameraOverride = false;
  }
  Skin& skin() { return *app.model.currentSkin(); }
  std::int32_t pickAt(int x, int y) const { return pick(x, kViewHeight - 1 - y); }
  void drag(std::initializer_list<WindowPoint> path, unsigned button = kButtonLeft) {
    auto p = path.begin();
    view.mousePress(mouseAt(p->x, p->y, button, button));
    for (++p; p != path.end(); ++p) view.mouseMove(mouseAt(p->x, p->y, kButtonNone, button));
    view.mouseRelease(mouseAt(std::prev(path.end())->x, std::prev(path.end())->y, button));
  }
};

TEST(ModelViewGestures, PressChoosesTheGestureAndReleasesEndIt) {
  struct Case {
    bool cameraOverride, shift, mapping;
    unsigned button;
    ViewGesture gesture, afterOwnRelease;
    bool hidesPointer;
  } cases[] = {
      {true, false, false, kButtonLeft, ViewGesture::Orbit, ViewGesture::WaitOther, true},
      {true, false, true, kButtonRight, ViewGesture::Look, ViewGesture::WaitOther, true},
      {true, true, false, kButtonLeft, ViewGesture::FieldOfView, ViewGesture::WaitOther, true},
      {true, true, true, kButtonRight, ViewGesture::Light, ViewGesture::WaitOther, true},
      {false, true, false, kButtonLeft, ViewGesture::Paint, ViewGesture::WaitOther, true},
      {false, false, false, kButtonRight, ViewGesture::PickColour, ViewGesture::WaitRelease, false},
      {false, false, true, kButtonLeft, ViewGesture::Select, ViewGesture::WaitRelease, false},
      {false, true, true, kButtonRight, ViewGesture::Deselect, ViewGesture::WaitRelease, false},
  };
  for (const Case& c : cases) {
    PaintScene f;
    f.app.cameraOverride = c.cameraOverride;
    f.app.interactionMode = c.mapping ? kInteractionMapping : kInteractionMeshPaint;
    f.show(kModeTextured);
    const unsigned other = kButtonLeft + kButtonRight - c.button;
    f.view.mousePress(mouseAt(30, 20, c.button, c.button, c.shift));
    EXPECT_EQ(f.view.gesture(), c.gesture);
    EXPECT_EQ(f.platform.pointerHidden, c.hidesPointer ? 1 : 0);
    f.view.mousePress(mouseAt(30, 20, other, kButtonLeft | kButtonRight));  // starts nothing
    EXPECT_EQ(f.view.gesture(), c.gesture);
    f.view.mouseRelease(mouseAt(30, 20, c.button, other));
    EXPECT_EQ(f.view.gesture(), c.afterOwnRelease);
    EXPECT_EQ(f.platform.pointerHidden, c.hidesPointer ? 1 : 0);
    f.view.mouseRelease(mouseAt(30, 20, other, kButtonNone));
    EXPECT_EQ(f.view.gesture(), ViewGesture::Idle);
    EXPECT_EQ(f.platform.pointerHidden, 0);
  }
}

TEST(ModelViewGestures, OrbitFromFrontOrBehindRaisesTheEyeWhenDraggingDown) {
  for (float x : {100.0f, -100.0f}) {
    PaintScene f;
    f.app.cameraOverride = true;
    f.show(kModeTextured);
    f.view.eye = {x, 0, 0};
    f.platform.refreshes.clear();
    f.drag({{20, 20}, {20, 30}});
    EXPECT_NEAR(f.view.eye[2], 100 * std::sin(2 * 3.141592 / 180), 0.05) << x;
    EXPECT_NEAR(f.view.eye[0], x * std::cos(2 * 3.141592 / 180), 0.05) << x;
    EXPECT_EQ(f.platform.pointerWarps, (std::vector<std::pair<int, int>>{{20, 20}}));
    EXPECT_EQ(f.platform.refreshes,
              (std::vector<RecordedRefresh>{{kRedrawQuick, 2, false}, {kRedrawFull, 2, false}}));
  }
}

TEST(ModelViewGestures, ZoomFieldOfViewClampsAndTheWheelTurnsWholeNotches) {
  PaintScene f;
  f.app.cameraOverride = true;
  f.show(kModeTextured);
  // Orbit with the right button added zooms: 0.998004 per pixel up.
  f.view.mousePress(mouseAt(30, 20, kButtonLeft, kButtonLeft));
  f.view.mousePress(mouseAt(30, 20, kButtonRight, kButtonLeft | kButtonRight));
  f.view.mouseMove(mouseAt(30, 17, kButtonNone, kButtonLeft | kButtonRight));
  EXPECT_NEAR(f.view.eye[0], 100 * std::pow(0.998004, 3), 1e-4);
  f.view.mouseRelease(mouseAt(30, 17, kButtonLeft, kButtonRight));
  f.view.mouseRelease(mouseAt(30, 17, kButtonRight, kButtonNone));
  f.view.eye = {100, 0, 0};
  f.view.mousePress(mouseAt(30, 20, kButtonLeft, kButtonLeft, true));
  f.view.mouseMove(mouseAt(-5000, 20, kButtonNone, kButtonLeft));
  EXPECT_FLOAT_EQ(f.view.fieldOfView, 1.0f);
  f.view.mouseMove(mouseAt(5000, 20, kButtonNone, kButtonLeft));
  EXPECT_FLOAT_EQ(f.view.fieldOfView, 120.0f);
  f.view.mouseRelease(mouseAt(30, 20, kButtonLeft));

  f.view.wheel(60);
  EXPECT_FLOAT_EQ(f.view.eye[0], 100);
  EXPECT_FLOAT_EQ(f.view.eye[1], 0);
  f.view.wheel(240);
  EXPECT_NEAR(std::atan2(f.view.eye[1], f.view.eye[0]) * 180 / M_PI, 22.5, 1e-3);
  EXPECT_EQ(f.platform.repaints.size(), 2u);
}

TEST(ModelViewPaint, PencilChangesExactlyTheTexelsUnderTheStroke) {
  PaintScene f;
  f.app.brushKind = kBrushPencil;
  f.show(kModeTextured);
  const std::vector<std::uint8_t> before = f.skin().pixels;
  const std::vector<WindowPoint> path{{4, 10}, {40, 30}, {60, 12}};
  std::set<std::int32_t> under;
  for (size_t i = 0; i < path.size(); ++i)
    walkClippedSegment(path[i == 0 ? 0 : i - 1], path[i], [&](int x, int y) {
      if (f.pickAt(x, y) >= 0) under.insert(f.pickAt(x, y));
    });
  ASSERT_GT(under.size(), 20u);
  f.drag({path[0], path[1], path[2]});
  for (size_t o = 0; o < before.size(); ++o) {
    const bool painted = under.count(static_cast<std::int32_t>(o)) != 0;
    EXPECT_EQ(f.skin().pixels[o], static_cast<std::uint8_t>(before[o] + (painted ? 1 : 0))) << o;
  }
  EXPECT_TRUE(f.skin().modified);
  EXPECT_EQ(f.platform.listRefills, 1);
  // The view recolours from the pick buffer without rasterizing.
  f.view.render(kRedrawRetexture);
  const int x = 40, y = 30;
  EXPECT_EQ(f.pixel(x, kViewHeight - 1 - y), f.skin().pixels[static_cast<size_t>(f.pickAt(x, y))]);
}

// Painting needs texel offsets in the pick buffer; brushing a selection
// needs triangle ids there.
TEST(ModelViewPaintAndSelection, EachModePaintsOrSelectsOnlyWhatItsPickBufferHolds) {
  struct Case {
    int mode;
    bool selects;
  } cases[] = {{kModeWireframeSolid, true}, {kModeTextured, true}, {kModeFlat, true},
               {kModeGouraud, true},        {kModeWireframe, false}, {kModeEnvironment, false}};
  for (const Case& c : cases) {
    PaintScene f;
    f.app.brushKind = kBrushPencil;
    f.show(c.mode);
    const std::vector<std::uint8_t> before = f.skin().pixels;
    if (c.mode != kModeTextured) {
      f.drag({{4, 10}, {40, 30}, {60, 12}});
      EXPECT_EQ(f.skin().pixels, before) << c.mode;
      EXPECT_FALSE(f.skin().modified) << c.mode;
    }
    f.app.interactionMode = kInteractionMapping;
    f.show(c.mode);
    auto flags = [&](int t) { return f.app.model.triangles[static_cast<size_t>(t)].flags; };
    f.drag({{20, 20}, {46, 34}});  // one point on each triangle
    EXPECT_EQ(flags(0) | flags(1), c.selects ? kTriangleSelected : 0u) << c.mode;
    EXPECT_EQ(flags(0) & flags(1), c.selects ? kTriangleSelected : 0u) << c.mode;
    f.drag({{20, 20}, {46, 34}}, kButtonRight);
    EXPECT_EQ(flags(0) | flags(1), 0u) << c.mode;
  }
}

}  // namespace
}  // namespace pelt::test
