#include "skinview/skin_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "app/app.h"
#include "app/tables.h"
#include "app/view_factory.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

using test::RecordedRefresh;
using Refreshes = std::vector<RecordedRefresh>;
using Points = std::set<std::pair<int, int>>;

struct SkinViewTest : ::testing::Test {
  // A grey-ramp skin of colour 100 with one triangle mapped onto it.
  void addSkin(int width = 16, int height = 8) {
    Model& m = app.model;
    m.skinWidth = width;
    m.skinHeight = height;
    auto skin = std::make_unique<Skin>();
    allocateSkin(*skin, width, height);
    std::fill(skin->pixels.begin(), skin->pixels.end(), 100);
    skin->palette = greyRampPalette();
    m.skins.push_back(std::move(skin));
    m.currentSkinIndex = 0;
    m.triangleCount = 1;
    m.stCount = 3;
    m.stCoords[0] = {2, 1};
    m.stCoords[1] = {12, 1};
    m.stCoords[2] = {2, 6};
    m.triangles[0].stIndex = {0, 1, 2};
  }
  // Zoom 1 with the skin centred in a view of the given size.
  void showCentred(int width, int height) {
    view->resize(width, height);
    view->zoom = 1.0f;
    view->panS = static_cast<float>(app.model.skinWidth / 2);
    view->panT = static_cast<float>(app.model.skinHeight / 2);
    view->renderSkinView(0);
  }
  int count(std::uint8_t colour) const {
    return static_cast<int>(std::count(view->viewPixels.begin(), view->viewPixels.end(), colour));
  }
  std::uint8_t shownAt(int wx, int wy) const {
    return view->viewPixels[static_cast<size_t>(view->viewHeight - wy - 1) * view->viewWidth +
                            static_cast<size_t>(wx)];
  }
  // The skin pixel under a window point.
  std::uint8_t& texel(int x, int y) {
    return app.model.currentSkin()->pixels[static_cast<size_t>(view->texelAt(x, y))];
  }
  void press(int x, int y, unsigned button, unsigned held) {
    view->mousePress({x, y, x, y, button, held});
  }
  void move(int x, int y, unsigned held) { view->mouseMove({x, y, x, y, kButtonNone, held}); }
  void release(int x, int y, unsigned button, unsigned held = kButtonNone) {
    view->mouseRelease({x, y, x, y, button, held});
  }
  void stroke(std::initializer_list<WindowPoint> path, unsigned button = kButtonLeft) {
    press(path.begin()->x, path.begin()->y, button, button);
    for (auto p = path.begin() + 1; p != path.end(); ++p) move(p->x, p->y, button);
    release((path.end() - 1)->x, (path.end() - 1)->y, button);
  }

  test::ScriptedPlatform platform;
  App app{platform};
  std::unique_ptr<SkinView> view = makeSkinView(app);
};

TEST_F(SkinViewTest, CoordinateMappingTruncatesTowardZero) {
  view->resize(64, 32);  // half sizes 32, 16
  struct Case {
    float zoom, panS, panT;
    float x, y;
    BufferPoint buffer;
  } cases[] = {
      {1.0f, 8.0f, 4.0f, 0.0f, 0.0f, {24, 20}},
      {3.0f, 50.0f, 50.0f, 40.0f, 45.0f, {2, 31}},
      {3.0f, 50.0f, 50.0f, 38.9f, 60.0f, {-1, -14}},  // -1.3 and -14 truncate toward zero
      {2.5f, 10.0f, 10.0f, 10.3f, 9.5f, {32, 17}},
  };
  for (const Case& c : cases) {
    view->zoom = c.zoom;
    view->panS = c.panS;
    view->panT = c.panT;
    EXPECT_EQ(view->skinToBuffer(c.x, c.y), c.buffer) << c.x << ", " << c.y;
  }
  view->zoom = 4.0f;
  view->panS = 10.0f;
  view->panT = 20.0f;
  const SkinPoint p = view->windowToSkin(42, 4);
  EXPECT_FLOAT_EQ(p.x, 12.5f);
  EXPECT_FLOAT_EQ(p.y, 17.0f);
  // Outline ends sit on the centre of their skin pixel.
  EXPECT_EQ(view->stToBuffer(10, 20), (BufferPoint{34, 14}));

  addSkin();
  app.model.skins[0]->pixels[17] = 17;
  showCentred(40, 20);
  EXPECT_EQ(view->statusText(14, 6), "1, 1  17 (17, 17, 17)");
  EXPECT_EQ(view->statusText(2, 2), "");
  EXPECT_EQ(view->texelAt(-1, 0), -1);
}

// The one quad through the depth-testing filler's plain loop, which plots
// every row itself instead of copying repeated ones.
void fillerTwin(SkinView& view, Skin& skin, Rasterizer& r, std::vector<std::uint8_t>& pixels,
                std::vector<std::int32_t>& texels) {
  pixels.assign(view.viewPixels.size(), 0);
  texels.assign(view.texelMap.size(), -1);
  std::vector<std::uint16_t> depths(view.texelMap.size(), kDepthFar);
  r.setSize(view.viewWidth, view.viewHeight);
  r.bindPixels(pixels.data());
  r.bindPick(texels.data());
  r.bindDepth(depths.data());
  buildRowOffsets(&skin);
  r.bindTexture({skin.pixels.data(), skin.rowOffsets.data(), skin.width, skin.height});
  r.resetSpans();
  const std::array<std::array<int, 2>, 5> corners = {{{0, 0},
                                                      {skin.width - 1, 0},
                                                      {skin.width - 1, skin.height - 1},
                                                      {0, skin.height - 1},
                                                      {0, 0}}};
  std::array<ScreenVertex<3>, 5> quad;
  for (size_t k = 0; k < 5; ++k) {
    const BufferPoint p =
        view.skinToBuffer(static_cast<float>(corners[k][0]), static_cast<float>(corners[k][1]));
    quad[k] = {p.x, p.y, {corners[k][0] * kFixedOne, corners[k][1] * kFixedOne, 0}};
  }
  r.fillTextureDepthTexel(quad);
}

TEST_F(SkinViewTest, RecolouredRowsMatchTheFillerAtAnyZoomAndPan) {
  std::mt19937 random(13);
  std::vector<std::uint8_t> pixels;
  std::vector<std::int32_t> texels;
  Rasterizer plainLoop;
  plainLoop.useSpanLanes(SpanLanes::One);
  const std::array<SpanLanes, 3> widths{SpanLanes::One, SpanLanes::Eight, SpanLanes::Sixteen};
  for (int round = 0; round < 500; ++round) {
    app.rasterizer.useSpanLanes(widths[static_cast<size_t>(round) % widths.size()]);
    app.model.skins.clear();
    addSkin(1 + static_cast<int>(random() % 40), 1 + static_cast<int>(random() % 30));
    Skin& skin = *app.model.skins[0];
    for (auto& p : skin.pixels) p = static_cast<std::uint8_t>(random());
    view->resize(1 + static_cast<int>(random() % 90), 1 + static_cast<int>(random() % 70));
    view->zoom = 1.0f + static_cast<float>(random() % 1100) / 100.0f;
    view->panS = static_cast<float>(static_cast<int>(random() % 120) - 40) / 1.7f;
    view->panT = static_cast<float>(static_cast<int>(random() % 100) - 35) / 1.3f;
    view->renderSkinView(0);
    fillerTwin(*view, skin, plainLoop, pixels, texels);
    for (size_t i = 0; i < texels.size(); ++i) {
      if (texels[i] < 0) pixels[i] = app.colorSlots[7];
    }
    ASSERT_EQ(view->texelMap, texels) << "round " << round;
    ASSERT_EQ(view->viewPixels, pixels) << "round " << round;
    // Retexture and Quick give the same picture from the same geometry.
    for (auto& p : skin.pixels) p = static_cast<std::uint8_t>(p + 1);
    view->renderSkinView(3);
    const auto retextured = view->viewPixels;
    view->renderSkinView(1);
    ASSERT_EQ(view->viewPixels, retextured) << "round " << round;
    // Outlines on the background stay put through a recolour.
    app.interactionMode = 1;
    view->renderSkinView(0);
    const auto outlined = view->viewPixels;
    view->renderSkinView(3);
    ASSERT_EQ(view->viewPixels, outlined) << "round " << round;
    app.interactionMode = 0;
  }
}

TEST_F(SkinViewTest, SizeRoundsUpToFourAndWithoutSkinAllIsGreyBackground) {
  EXPECT_EQ(view->image().pixels, nullptr);  // no size yet
  view->resize(301, 50);
  EXPECT_EQ(view->viewWidth, 304);
  EXPECT_EQ(view->texelMap.size(), 304u * 50);
  const std::uint8_t* pixels = view->viewPixels.data();
  view->resize(302, 50);
  EXPECT_EQ(view->viewPixels.data(), pixels);  // kept while the size holds

  app.colorSlots[7] = 33;
  app.interactionMode = 1;
  view->renderSkinView(0);
  EXPECT_EQ(count(33), 304 * 50);
  EXPECT_EQ(std::count(view->texelMap.begin(), view->texelMap.end(), -1), 304 * 50);
  EXPECT_EQ(*view->image().colors, greyRampPalette());
}

TEST_F(SkinViewTest, OutlinesFollowModeToggleAndTriangleFlags) {
  addSkin();
  struct Case {
    int mode;
    bool showMesh;
    std::uint32_t flags;
    int slot;  // colour the edges take, -1 for none
  } cases[] = {
      {0, false, 0, -1}, {0, true, 0, 1},   {1, false, 0, 1},  {1, false, 1, 2}, {1, false, 2, 3},
      {1, false, 3, 3},  {1, false, 4, -1}, {1, false, 5, -1}, {1, false, 6, 3},
  };
  for (const Case& c : cases) {
    app.interactionMode = c.mode;
    app.showMeshWhilePainting = c.showMesh;
    app.model.triangles[0].flags = c.flags;
    showCentred(40, 20);
    for (int s = 1; s <= 3; ++s)
      EXPECT_EQ(count(app.colorSlots[static_cast<size_t>(s)]) > 0, s == c.slot)
          << "mode " << c.mode << " flags " << c.flags << " slot " << s;
  }
}

TEST_F(SkinViewTest, MapRectangleIsClampedOrderedAndDrawn) {
  addSkin();
  app.mapRectShown = 1;
  showCentred(40, 20);
  EXPECT_EQ(view->mapRect, (MapRect{0, 0, 15, 7}));
  view->mapRect = {10, 5, 3, 2};
  view->renderSkinView(0);
  EXPECT_EQ(view->mapRect, (MapRect{3, 2, 10, 5}));
  // Its left side runs at buffer x 3 + 12 from skin row 2 to 5.
  for (int y = 2; y <= 5; ++y) EXPECT_EQ(shownAt(15, y + 5), app.colorSlots[1]) << y;
  app.mapRectShown = 0;
  view->renderSkinView(0);
  EXPECT_EQ(count(app.colorSlots[1]), 0);
}

TEST_F(SkinViewTest, LowerLevelsReuseTheTexelMap) {
  addSkin();
  showCentred(40, 20);
  Skin& skin = *app.model.skins[0];
  skin.pixels[3 * 16 + 4] = 7;
  view->renderSkinView(3);  // Retexture: the painted pixel shows
  EXPECT_EQ(shownAt(17, 8), 7);
  EXPECT_EQ(count(7), 1);

  view->viewPixels[1] = 99;                                  // background pixel
  view->viewPixels[static_cast<size_t>(10 * 40 + 16)] = 99;  // skin pixel
  view->renderSkinView(2);
  EXPECT_EQ(view->viewPixels[1], app.colorSlots[7]);
  EXPECT_EQ(view->viewPixels[static_cast<size_t>(10 * 40 + 16)], 99);

  // A texel map left from a larger skin reads nothing past the pixels.
  skin.pixels.resize(8);
  view->renderSkinView(3);
}

TEST_F(SkinViewTest, WheelStepsAndClamps) {
  view->resize(32, 32);
  struct Case {
    float zoom;
    int delta;
    float expected;
  } cases[] = {
      {11.5f, 120, 12.0f},
      {1.05f, -120, 1.0f},
      {3.0f, 240, 3.0f * 1.1f * 1.1f},
      {3.0f, 119, 3.0f},
      {3.0f, -360, 3.0f * 0.9090909f * 0.9090909f * 0.9090909f},
  };
  for (const Case& c : cases) {
    view->zoom = c.zoom;
    view->wheel(c.delta);
    EXPECT_FLOAT_EQ(view->zoom, c.expected) << c.zoom << " " << c.delta;
  }
  EXPECT_EQ(platform.repaints.size(), std::size(cases));
}

TEST_F(SkinViewTest, CameraGesturePansZoomsAndEndsWhenBothButtonsAreUp) {
  addSkin();
  view->resize(40, 20);
  const float panS = view->panS, panT = view->panT;
  press(100, 100, kButtonLeft, kButtonLeft);
  EXPECT_EQ(view->dragState, kDragCamera);
  EXPECT_EQ(platform.pointerHidden, 1);
  move(106, 97, kButtonLeft);
  EXPECT_FLOAT_EQ(view->panS, panS - 2.0f);
  EXPECT_FLOAT_EQ(view->panT, panT + 1.0f);
  release(100, 100, kButtonLeft);
  EXPECT_EQ(view->dragState, kDragIdle);
  EXPECT_EQ(platform.pointerHidden, 0);
  EXPECT_EQ(platform.refreshes, (Refreshes{{1, 0x21, false}, {0, 0x21, false}}));

  press(50, 50, kButtonRight, kButtonRight);
  move(50, 60, kButtonRight);  // ten pixels down zoom out
  float expected = 3.0f;
  for (int i = 0; i < 10; ++i) expected *= 0.99900097f;
  EXPECT_FLOAT_EQ(view->zoom, expected);
  move(50, 40, kButtonRight);
  for (int i = 0; i < 10; ++i) expected *= 1.001f;
  EXPECT_FLOAT_EQ(view->zoom, expected);
  view->captureLost();
  EXPECT_EQ(view->dragState, kDragIdle);
  EXPECT_EQ(platform.pointerHidden, 0);

  platform.refreshes.clear();
  press(10, 10, kButtonLeft, kButtonLeft);
  press(10, 10, kButtonRight, kButtonLeft | kButtonRight);  // ignored
  release(10, 10, kButtonRight, kButtonLeft);               // not its button
  EXPECT_EQ(view->dragState, kDragCamera);
  release(10, 10, kButtonLeft, kButtonRight);
  EXPECT_EQ(view->dragState, kDragEndingHidden);
  move(30, 30, kButtonRight);  // ending: moves are ignored
  EXPECT_EQ(platform.refreshes.size(), 1u);
  press(10, 10, kButtonLeft, kButtonLeft | kButtonRight);  // not idle
  release(10, 10, kButtonRight, kButtonLeft);              // left went down again
  EXPECT_EQ(view->dragState, kDragEndingHidden);
  release(10, 10, kButtonLeft);
  EXPECT_EQ(view->dragState, kDragIdle);
  EXPECT_EQ(platform.pointerHidden, 0);
}

// A 32 x 32 skin shown 1:1 in a 32 x 32 view, painted with colour 200 at half strength.
struct SkinPaint : SkinViewTest {
  SkinPaint() {
    addSkin(32, 32);
    app.cameraOverride = false;
    app.colorSlots[0] = 200;
    app.blendAmount = 0.5;
    buildBlendTable(app);
    showCentred(32, 32);
    platform.refreshes.clear();
  }
  // The window points whose skin pixel is no longer 100.
  Points painted() {
    Points out;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        if (view->texelAt(x, y) >= 0 && texel(x, y) != 100) out.insert({x, y});
    return out;
  }
};

TEST_F(SkinPaint, PencilPaintsEachPinnedPixelOncePerStroke) {
  app.brushKind = kBrushPencil;
  stroke({{10, 10}, {13, 11}});
  EXPECT_EQ(painted(), (Points{{10, 10}, {11, 10}, {12, 10}, {13, 11}}));
  // The press paints one point, the move one segment: one Retexture each.
  EXPECT_EQ(platform.refreshes, (Refreshes{{3, 0x13, false}, {3, 0x13, false}}));
  EXPECT_TRUE(app.model.currentSkin()->modified);

  const std::uint8_t once = app.blendTable[100];
  stroke({{5, 5}, {15, 5}, {5, 5}, {15, 5}});
  EXPECT_EQ(texel(10, 5), once);
  stroke({{5, 5}, {15, 5}});
  EXPECT_EQ(texel(10, 5), app.blendTable[once]);
  EXPECT_NE(app.blendTable[once], once);
}

TEST_F(SkinPaint, ProtectedColoursSurviveEveryBrush) {
  std::vector<std::uint8_t>& pixels = app.model.currentSkin()->pixels;
  for (int brush : {kBrushPoint, kBrushPencil, kBrushLine}) {
    std::fill(pixels.begin(), pixels.end(), 100);
    for (int x = 0; x < 32; x += 2) texel(x, 8) = 50;
    app.protectedColors[100] = 1;
    app.brushKind = brush;
    const std::vector<std::uint8_t> before = pixels;
    stroke({{0, 8}, {31, 8}, {30, 8}, {2, 8}});
    EXPECT_NE(texel(0, 8), 50) << brush;
    for (size_t i = 0; i < before.size(); ++i)
      EXPECT_TRUE(before[i] != 100 || pixels[i] == 100) << brush << " " << i;
  }
}

TEST_F(SkinPaint, PickingOverTheBackgroundKeepsTheSlot) {
  view->panS = 0.0f;  // the left half of the view shows no skin
  view->renderSkinView(0);
  ASSERT_LT(view->texelAt(2, 2), 0);
  stroke({{2, 2}}, kButtonRight);
  EXPECT_EQ(app.colorSlots[0], 200);
  texel(30, 2) = 77;
  stroke({{2, 2}, {30, 2}}, kButtonRight);
  EXPECT_EQ(app.colorSlots[0], 77);
  EXPECT_EQ(app.blendTable[100], 88);  // the table follows the pick: halfway to 77
}

}  // namespace
}  // namespace pelt
