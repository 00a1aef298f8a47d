// The skin view: coordinates, rendering against the filler, outlines, the
// camera, painting and the mapping gestures, through its mouse events.
#include "skinview/skin_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>

#include "app/app.h"
#include "app/command_table.h"
#include "app/commands/skins_effects.h"
#include "app/quiet_host.h"
#include "app/tables.h"
#include "app/view_factory.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"
#include "view3d/map_from_view.h"

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
  // The skin pixel under a window point.
  std::uint8_t& texel(int x, int y) {
    return app.model.currentSkin()->pixels[static_cast<size_t>(view->texelAt(x, y))];
  }
  void press(int x, int y, unsigned button = kButtonLeft, unsigned held = 0, bool shift = false,
             bool ctrl = false) {
    view->mousePress({x, y, x, y, button, held ? held : button, shift, ctrl});
    pressed = button;
  }
  void move(int x, int y) { view->mouseMove({x, y, x, y, kButtonNone, pressed}); }
  void release(int x, int y, unsigned button = 0, unsigned held = kButtonNone) {
    view->mouseRelease({x, y, x, y, button ? button : pressed, held});
  }
  void drag(std::initializer_list<WindowPoint> path, unsigned button = kButtonLeft) {
    press(path.begin()->x, path.begin()->y, button);
    for (auto p = path.begin() + 1; p != path.end(); ++p) move(p->x, p->y);
    release((path.end() - 1)->x, (path.end() - 1)->y);
  }

  test::ScriptedPlatform platform;
  App app{platform};
  std::unique_ptr<SkinView> view = makeSkinView(app);
  unsigned pressed = kButtonNone;
};

TEST_F(SkinViewTest, CoordinateMappingTruncatesTowardZero) {
  view->resize(64, 32);  // half sizes 32, 16
  // Zoom, pan s and t, a skin point and where it lands in the buffer.
  const std::tuple<float, float, float, float, float, BufferPoint> cases[] = {
      {1.0f, 8.0f, 4.0f, 0.0f, 0.0f, {24, 20}},
      {3.0f, 50.0f, 50.0f, 40.0f, 45.0f, {2, 31}},
      {3.0f, 50.0f, 50.0f, 38.9f, 60.0f, {-1, -14}},  // -1.3 and -14 truncate toward zero
      {2.5f, 10.0f, 10.0f, 10.3f, 9.5f, {32, 17}},
  };
  for (auto [zoom, panS, panT, x, y, buffer] : cases) {
    view->zoom = zoom;
    view->panS = panS;
    view->panT = panT;
    EXPECT_EQ(view->skinToBuffer(x, y), buffer) << x << ", " << y;
  }
  // Outline ends sit on the centre of their skin pixel.
  EXPECT_EQ(view->stToBuffer(10, 10), (BufferPoint{33, 14}));
  // Back from the window, in a wide view and a tall one.
  const std::tuple<int, int, WindowPoint, float, float> back[] = {{64, 32, {0, 0}, -6.0f, 12.0f},
                                                                  {64, 32, {63, 31}, 25.5f, 27.5f},
                                                                  {32, 64, {0, 0}, 2.0f, 4.0f},
                                                                  {32, 64, {31, 63}, 17.5f, 35.5f}};
  view->zoom = 2.0f;
  view->panS = 10.0f;
  view->panT = 20.0f;
  for (auto [w, h, window, s, t] : back) {
    view->resize(w, h);
    const SkinPoint p = view->windowToSkin(window.x, window.y);
    EXPECT_EQ(std::pair(p.x, p.y), std::pair(s, t)) << w << ": " << window.x;
  }

  addSkin();
  app.model.skins[0]->pixels[17] = 17;
  showCentred(40, 20);
  EXPECT_EQ(view->statusText(14, 6), "1, 1  17 (17, 17, 17)");
  EXPECT_EQ(view->statusText(2, 2), "");
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
  // Past the last pixel, with its texture coordinate.
  const int w = skin.width, h = skin.height;
  const std::array<std::array<int, 2>, 5> corners = {{{0, 0}, {w, 0}, {w, h}, {0, h}, {0, 0}}};
  std::array<ScreenVertex<3>, 5> quad;
  for (size_t k = 0; k < 5; ++k) {
    const auto [x, y] = corners[k];
    const BufferPoint p = view.skinToBuffer(static_cast<float>(x), static_cast<float>(y));
    quad[k] = {p.x, p.y, {x * kFixedOne - (x == w), y * kFixedOne - (y == h), 0}};
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
    // Along a row the skin's columns only grow: none runs past its last.
    for (size_t i = 1; i < texels.size(); ++i) {
      if (i % static_cast<size_t>(view->viewWidth) != 0 && texels[i - 1] >= 0 && texels[i] >= 0) {
        ASSERT_LE(texels[i - 1] % skin.width, texels[i] % skin.width) << "round " << round;
      }
    }
    ASSERT_EQ(view->viewPixels, pixels) << "round " << round;
    // Retexture and Quick give the same picture from the same geometry.
    for (auto& p : skin.pixels) p = static_cast<std::uint8_t>(p + 1);
    view->renderSkinView(3);
    const auto retextured = view->viewPixels;
    view->renderSkinView(1);
    ASSERT_EQ(view->viewPixels, retextured) << "round " << round;
    // A stroke's changed box recolours all it must and leaves the rest.
    PixelRect changed;
    changed.add(static_cast<int>(random() % 40), static_cast<int>(random() % 30));
    changed.add(static_cast<int>(random() % 40), static_cast<int>(random() % 30));
    for (int y = changed.y0; y <= std::min(changed.y1, skin.height - 1); ++y)
      for (int x = changed.x0; x <= std::min(changed.x1, skin.width - 1); ++x)
        skin.pixels[static_cast<size_t>(y * skin.width + x)] ^= 0x55;
    skin.changedRegion = changed;
    view->renderSkinView(3);
    skin.changedRegion.reset();
    const auto boxed = view->viewPixels;
    view->renderSkinView(1);
    ASSERT_EQ(boxed, view->viewPixels) << "round " << round;
    // Outlines on the background stay put through a recolour.
    app.interactionMode = 1;
    view->renderSkinView(0);
    const auto outlined = view->viewPixels;
    view->renderSkinView(3);
    ASSERT_EQ(view->viewPixels, outlined) << "round " << round;
    app.interactionMode = 0;
  }
}

TEST_F(SkinViewTest, OutlinesFollowModeToggleAndTriangleFlags) {
  addSkin();
  // Mode, mesh shown while painting, flags, and the slot the edges take (-1: none).
  const std::tuple<int, bool, std::uint32_t, int> cases[] = {
      {0, false, 0, -1}, {0, true, 0, 1},   {1, false, 0, 1},  {1, false, 1, 2}, {1, false, 2, 3},
      {1, false, 3, 3},  {1, false, 4, -1}, {1, false, 5, -1}, {1, false, 6, 3},
  };
  for (auto [mode, showMesh, flags, slot] : cases) {
    app.interactionMode = mode;
    app.showMeshWhilePainting = showMesh;
    app.model.triangles[0].flags = flags;
    showCentred(40, 20);
    for (int s = 1; s <= 3; ++s)
      EXPECT_EQ(count(app.colorSlots[static_cast<size_t>(s)]) > 0, s == slot)
          << "mode " << mode << " flags " << flags << " slot " << s;
  }
}

TEST_F(SkinViewTest, LowerLevelsReuseTheTexelMap) {
  addSkin();
  showCentred(41, 20);  // widths round up to four
  EXPECT_EQ(view->viewWidth, 44);
  view->viewPixels[1] = 99;                                  // background pixel
  view->viewPixels[static_cast<size_t>(10 * 44 + 18)] = 99;  // skin pixel
  view->renderSkinView(2);
  EXPECT_EQ(view->viewPixels[1], app.colorSlots[7]);
  EXPECT_EQ(view->viewPixels[static_cast<size_t>(10 * 44 + 18)], 99);

  // A texel map left from a larger skin reads nothing past the pixels.
  app.model.skins[0]->pixels.resize(8);
  view->renderSkinView(3);
}

TEST_F(SkinViewTest, CameraPansZoomsAndWaitsForBothButtons) {
  view->resize(32, 32);
  view->zoom = 11.5f;
  view->wheel(240);  // whole notches of 1.1, up to 12
  EXPECT_FLOAT_EQ(view->zoom, 12.0f);
  view->wheel(-119);
  EXPECT_FLOAT_EQ(view->zoom, 12.0f);
  view->zoom = 3.0f;
  const float panS = view->panS, panT = view->panT;
  press(100, 100);
  EXPECT_EQ(view->dragState, kDragCamera);
  EXPECT_EQ(platform.pointerHidden, 1);
  move(106, 97);
  EXPECT_FLOAT_EQ(view->panS, panS - 2.0f);
  EXPECT_FLOAT_EQ(view->panT, panT + 1.0f);
  release(100, 100);
  EXPECT_EQ(platform.refreshes, (Refreshes{{1, 0x21, false}, {0, 0x21, false}}));
  press(50, 50, kButtonRight);
  move(50, 51);  // a pixel down zooms out
  EXPECT_FLOAT_EQ(view->zoom, 3.0f * 0.99900097f);

  press(10, 10, kButtonLeft, kButtonLeft | kButtonRight);  // ignored
  release(10, 10, kButtonLeft, kButtonRight);              // not its button
  EXPECT_EQ(view->dragState, kDragCamera);
  release(10, 10, kButtonRight, kButtonLeft);
  EXPECT_EQ(view->dragState, kDragEndingHidden);
  const size_t refreshes = platform.refreshes.size();
  move(30, 30);  // ending: moves are ignored
  EXPECT_EQ(platform.refreshes.size(), refreshes);
  release(10, 10, kButtonLeft);
  EXPECT_EQ(view->dragState, kDragIdle);
  EXPECT_EQ(platform.pointerHidden, 0);
}

// Fit Skin: every texel lies in the columns the window shows, centred, at
// the largest zoom up to 12; a skin too large even at zoom 1 is centred there.
TEST_F(SkinViewTest, FitSkinShowsTheWholeSkinCentredAtTheLargestZoom) {
  const std::array<int, 4> cases[] = {{16, 8, 301, 200},      // tiny
                                      {32, 400, 301, 420},    // tall
                                      {400, 24, 501, 300},    // wide
                                      {640, 480, 301, 250}};  // too large
  for (auto [w, h, viewW, viewH] : cases) {
    app.model.skins.clear();
    addSkin(w, h);
    view->resize(viewW, viewH);
    ASSERT_TRUE(view->fitSkin());
    view->renderSkinView(0);
    std::set<std::int32_t> shown;
    int left = viewW, right = -1, top = viewH, bottom = -1;
    for (int y = 0; y < viewH; ++y)
      for (int x = 0; x < view->viewWidth; ++x)
        if (const std::int32_t t = view->texelAt(x, y); t >= 0) {
          shown.insert(t);
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
        }
    const float z = view->zoom;
    if (z > 1.0f) {
      EXPECT_EQ(shown.size(), static_cast<size_t>(w * h)) << w;
      EXPECT_LT(right, viewW) << w;
      EXPECT_LE(std::abs(left - (viewW - 1 - right)), 1) << w;
      EXPECT_LE(std::abs(top - (viewH - 1 - bottom)), 1) << w;
      EXPECT_TRUE(z == 12.0f || w * z * 1.01f + 3 > viewW || h * z * 1.01f + 3 > viewH);
    } else {
      EXPECT_EQ(z, 1.0f);
      EXPECT_NEAR(view->texelAt(viewW / 2, viewH / 2) % w, w / 2, 1);
      EXPECT_NEAR(view->texelAt(viewW / 2, viewH / 2) / w, h / 2, 1);
    }
  }
}

// The texel under the pointer stays under it, zooming in and out.
TEST_F(SkinViewTest, WheelZoomsAboutThePointer) {
  addSkin(64, 48);
  view->resize(203, 150);
  view->renderSkinView(0);
  std::mt19937 random(25);
  for (int turn = 0; turn < 300; ++turn) {
    const int x = static_cast<int>(random() % 203), y = static_cast<int>(random() % 150);
    const int delta = (static_cast<int>(random() % 7) - 3) * 120;
    const std::int32_t before = view->texelAt(x, y);
    view->wheelAt({delta, x, y});
    EXPECT_TRUE(before < 0 || view->texelAt(x, y) == before) << turn << ": " << x << "," << y;
  }
}

// The default map rectangle waits for a skin size to be clamped to.
TEST_F(SkinViewTest, MapRectangleKeepsItsDefaultUntilASkinHasASize) {
  showCentred(40, 20);
  EXPECT_EQ(view->mapRect, MapRect{});
  addSkin(16, 8);
  view->renderSkinView(0);
  EXPECT_EQ(view->mapRect, (MapRect{0, 0, 15, 7}));
}

TEST_F(SkinViewTest, BrushesPaintThePinnedPixelsInBandsAndFillInsideTheSelection) {
  addSkin(32, 32);
  app.cameraOverride = false;
  app.brushKind = kBrushPencil;
  app.colorSlots[0] = 200;
  app.blendAmount = 0.5;
  buildBlendTable(app);
  showCentred(32, 32);
  platform.refreshes.clear();
  drag({{10, 10}, {13, 11}});
  Points painted;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (view->texelAt(x, y) >= 0 && texel(x, y) != 100) painted.insert({x, y});
  EXPECT_EQ(painted, (Points{{10, 10}, {11, 10}, {12, 10}, {13, 11}}));
  // The press paints one point, the move one segment: one Retexture each.
  EXPECT_EQ(platform.refreshes, (Refreshes{{3, 0x13, false}, {3, 0x13, false}}));
  EXPECT_TRUE(app.model.currentSkin()->modified());

  // The line brush leaves only the last line from the press, press pixel
  // included, though the rubber band's first line crossed it.
  app.brushKind = kBrushLine;
  drag({{4, 14}, {20, 20}, {12, 16}});
  painted.clear();
  for (int y = 12; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (texel(x, y) != 100) painted.insert({x, y});
  EXPECT_EQ(
      painted,
      (Points{{4, 14}, {5, 14}, {6, 14}, {7, 14}, {8, 15}, {9, 15}, {10, 15}, {11, 15}, {12, 16}}));

  // A line past the right edge stops at the client's last column, not the
  // buffer's (the width rounded up to 4), and keeps its press pixel; a pick
  // there picks nothing.
  view->resize(30, 32);
  view->renderSkinView(0);
  drag({{26, 20}, {31, 20}});
  std::set<int> columns;
  for (int x = 0; x < 32; ++x) {
    const std::int32_t t = view->texelMap[static_cast<size_t>(32 - 20 - 1) * 32 + x];
    if (app.model.currentSkin()->pixels[static_cast<size_t>(t)] != 100) columns.insert(x);
  }
  EXPECT_EQ(columns, (std::set<int>{26, 27, 28, 29}));
  drag({{30, 5}}, kButtonRight);
  EXPECT_EQ(app.colorSlots[0], 200);
  view->resize(32, 32);
  view->renderSkinView(0);

  // Size 3: a band three texels high along the walk. The outline covers the
  // window pixels of the texels a dab would paint; the status line names it.
  app.brush.size = 3;
  drag({{4, 20}, {24, 20}});
  const auto [cx, cy] = std::pair{view->texelAt(14, 20) % 32, view->texelAt(14, 20) / 32};
  for (int y = cy - 2; y <= cy + 2; ++y)
    EXPECT_EQ(app.model.currentSkin()->pixel(cx, y) != 100, y != cy - 2 && y != cy + 2) << y;
  const std::optional<BrushOutline> outline = view->brushOutline(14, 20);
  ASSERT_TRUE(outline);
  EXPECT_EQ(view->texelAt(outline->left, outline->top), (cy - 1) * 32 + cx - 1);
  EXPECT_EQ(view->texelAt(outline->right, outline->bottom), (cy + 1) * 32 + cx + 1);
  EXPECT_EQ(outline->right - outline->left, 2);
  EXPECT_TRUE(view->statusText(14, 20).ends_with(")   Brush 3, round"));

  // The fill brush with Ctrl held stays inside the selected triangle.
  Skin& skin = *app.model.currentSkin();
  std::fill(skin.pixels.begin(), skin.pixels.end(), 100);
  app.brushKind = kBrushFill;
  app.model.triangles[0].flags = kTriangleSelected;
  const std::vector<std::uint8_t> mask = buildSelectionMask(app.model, app.rasterizer, 32, 32);
  ASSERT_TRUE(mask[static_cast<size_t>(view->texelAt(5, 3))]);
  press(5, 3, kButtonLeft, 0, false, true);
  release(5, 3);
  for (size_t i = 0; i < mask.size(); ++i) ASSERT_EQ(skin.pixels[i] != 100, mask[i] != 0) << i;
  drag({{30, 30}});  // without Ctrl the rest of the skin fills whole
  EXPECT_EQ(std::count(skin.pixels.begin(), skin.pixels.end(), 100), 0);
}

// A 64 x 64 skin at zoom 1, so that st (s, t) sits exactly on window pixel
// (s, t) and a window pixel lies over the skin pixel of the same numbers.
constexpr int kSize = 64;

struct MappingGestures : SkinViewTest {
  MappingGestures() {
    Model& m = app.model;
    m.skinWidth = m.skinHeight = kSize;
    m.skins.push_back(std::make_unique<Skin>(test::patternSkin(kSize, kSize)));
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
  ModelTriangle& tri(int i) { return app.model.triangles[static_cast<size_t>(i)]; }
  void select(std::initializer_list<int> triangles) {
    for (int i = 0; i < 3; ++i) tri(i).flags = 0;
    for (int i : triangles) tri(i).flags = kTriangleSelected;
  }
};

TEST_F(MappingGestures, VertexDragsSplitSharedEntriesForTheSelectionClampAndMerge) {
  select({0});
  app.model.stCount = kMaxStCoords;  // no room to split the shared entry: refused
  press(20, 10);
  EXPECT_EQ(view->dragState, kDragIdle);
  EXPECT_TRUE(platform.refreshes.empty());
  app.model.stCount = 7;

  press(20, 10);
  EXPECT_EQ(view->dragState, kDragStVertex);
  EXPECT_EQ(tri(0).stIndex, (std::array<std::int16_t, 3>{0, 7, 2}));  // the appended entry
  EXPECT_EQ(tri(0).flags, kTriangleSelected | kTriangleMoving);
  move(25, 12);
  move(25, 12);  // no change, no redraw
  release(25, 12);
  EXPECT_EQ(tri(0).cornerSt[1], (StCoord{25, 12}));
  EXPECT_EQ(tri(1).cornerSt[0], (StCoord{20, 10}));
  EXPECT_EQ(tri(0).flags, kTriangleSelected);
  EXPECT_EQ(platform.refreshes, (Refreshes{{1, 0x23, false}, {1, 0x13, false}, {0, 0x23, false}}));

  select({});  // unselected entries move for every triangle, kept on the skin
  drag({{10, 20}, {90, -7}});
  EXPECT_EQ(tri(0).cornerSt[2], (StCoord{kSize - 1, 0}));
  EXPECT_EQ(tri(1).cornerSt[2], (StCoord{kSize - 1, 0}));
  select({0});
  drag({{10, 10}, {20, 20}});  // onto the entry of the other triangle's corner
  EXPECT_EQ(tri(0).stIndex[0], tri(1).stIndex[1]);
  EXPECT_EQ(app.model.stCount, 7);
}

TEST_F(MappingGestures, TranslationCarriesThePixelsAndTransformsStopAtTheSkinEdges) {
  app.dragPixelsWithMapping = true;
  const std::vector<std::uint8_t> before = app.model.currentSkin()->pixels;
  const std::vector<std::uint8_t>& now = app.model.currentSkin()->pixels;
  auto at = [](const std::vector<std::uint8_t>& p, int x, int y) {
    return p[static_cast<size_t>(y * kSize + x)];
  };
  select({0, 1});
  press(30, 30, kButtonRight);
  EXPECT_EQ(view->dragState, kDragTransform);
  EXPECT_EQ(tri(1).flags, kTriangleSelected | kTriangleMoving);
  move(30 + 5, 30);
  for (int y : {12, 15, 18})
    for (int x : {16, 20, 23}) EXPECT_EQ(at(now, x, y), at(before, x - 5, y)) << x << "," << y;
  EXPECT_EQ(at(now, 12, 15), at(before, 12, 15));  // the old place keeps its pixels
  move(30 - 25, 30 + 3);
  EXPECT_EQ(app.model.stCoords[0], (StCoord{0, 13}));
  move(30 + 100, 30 + 100);
  release(30, 30);
  EXPECT_EQ(tri(0).cornerSt[0], (StCoord{kSize - 11, kSize - 11}));
  EXPECT_EQ(tri(0).flags, kTriangleSelected);
  EXPECT_TRUE(view->pixelBackup.empty());

  // Scaling by seven would take the square off the skin.
  press(10, 10, kButtonRight, 0, false, true);
  move(10 + 1500, 10);
  EXPECT_EQ(app.model.stCoords[0], (StCoord{kSize - 11, kSize - 11}));
  EXPECT_DOUBLE_EQ(view->transform.scaleS, 1.0);
  move(10, 10 - 125);  // t halves about the press point (10 + 43 / 2); s stays
  EXPECT_EQ(app.model.stCoords[0], (StCoord{kSize - 11, 31}));
}

TEST_F(MappingGestures, PicksWithinSixPixelsAndShiftOrCtrlBrushTheSelection) {
  const std::tuple<int, int, bool> picks[] = {{25, 10, true},  {26, 10, false}, {25, 13, true},
                                              {25, 14, false}, {20, 4, false},  {20, 5, true}};
  for (auto [x, y, picked] : picks) {
    press(x, y);
    EXPECT_EQ(view->dragState == kDragStVertex, picked) << x << "," << y;
    release(x, y);
  }
  tri(2).flags = kTriangleHidden;  // hidden ones are brushed too
  for (bool add : {true, false}) {
    press(44, 43, kButtonLeft, 0, add, !add);
    EXPECT_EQ(view->dragState, add ? kDragAddSelection : kDragRemoveSelection);
    move(12, 12);
    release(12, 12);
    EXPECT_EQ(tri(2).flags, kTriangleHidden | (add ? kTriangleSelected : 0u));
    EXPECT_EQ(tri(0).flags, add ? kTriangleSelected : 0u);
    EXPECT_EQ(tri(1).flags, 0u);
  }
}

TEST_F(MappingGestures, RotationIsRefusedMoveByMove) {
  select({2});  // box 40..50, turned about (10, 10)
  press(10, 10, kButtonRight, 0, true);
  move(10, 10 + 200);  // a whole radian: off the skin
  EXPECT_EQ(app.model.stCoords[4], (StCoord{40, 40}));
  EXPECT_EQ(view->transform.angle, 0.0);
  move(10, 10 + 10);
  EXPECT_DOUBLE_EQ(view->transform.angle, 0.05);
  // 10 + 30 cos 0.05 + 30 sin 0.05 = 41.46, 10 - 30 sin 0.05 + 30 cos 0.05 = 38.46
  EXPECT_EQ(app.model.stCoords[4], (StCoord{41, 38}));
}

TEST_F(MappingGestures, TheMapRectangleGestures) {
  // Press, move, the gesture the press starts and the rectangle it leaves.
  const std::tuple<WindowPoint, WindowPoint, std::int32_t, MapRect> cases[] = {
      {{50, 50}, {45, 55}, kDragNewMapRect, {45, 50, 50, 55}},
      {{25, 25}, {28, 24}, kDragMoveMapRect, {13, 9, 43, 39}},
      {{11, 25}, {5, 30}, kDragMapRectLeft, {5, 10, 40, 40}},
      {{39, 25}, {45, 0}, kDragMapRectRight, {10, 10, 45, 40}},
      {{25, 11}, {0, 3}, kDragMapRectTop, {10, 3, 40, 40}},
      {{25, 41}, {0, 60}, kDragMapRectBottom, {10, 10, 40, 60}},
  };
  app.mapRectShown = 1;
  for (auto [from, to, state, expected] : cases) {
    view->mapRect = {10, 10, 40, 40};
    press(from.x, from.y);
    EXPECT_EQ(view->dragState, state);
    move(to.x, to.y);
    release(to.x, to.y);
    EXPECT_EQ(view->mapRect, expected) << state;
  }
  EXPECT_EQ(app.model.stCount, 7);  // the mapping is left alone
}

TEST_F(MappingGestures, MapFromViewCommandMapsIntoTheRectangle) {
  QuietHost host;
  MainFrame frame(app, host);
  Model& m = app.model;
  m.frames.push_back(ModelFrame{"f", {{0, 0, 0}, {0, 0, 10}, {0, 10, 0}}});
  m.vertexCount = 3;
  m.triangleCount = 1;
  m.triangles[0].vertexIndex = {0, 1, 2};
  select({0});
  frame.resizeView(ViewId::ModelView, 64, 48);
  frame.skinView()->mapRect = {30, 20, 5, 4};

  ASSERT_TRUE(runCommand(frame, 32867));  // cancelled: nothing changes
  EXPECT_EQ(m.triangles[0].cornerSt[1], (StCoord{20, 10}));
  platform.mapFromViewAnswers.push_back(defaultMapFromViewValues());
  ASSERT_TRUE(runCommand(frame, 32867));
  EXPECT_EQ(m.triangles[0].cornerSt[1], (StCoord{5, 4}));
  EXPECT_EQ(frame.skinView()->mapRect, (MapRect{5, 4, 30, 20}));
  EXPECT_EQ(platform.refreshes.back(), (RecordedRefresh{0, 0x2F, true}));
}

}  // namespace
}  // namespace pelt
