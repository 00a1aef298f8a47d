// The 3D view: projection, what each render mode leaves in the pixel and pick
// buffers, the mode refusals, the benchmark text, the mouse and Map from 3D View.

#include "view3d/model_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "app/commands/skins_effects.h"
#include "app/frame_lists.h"
#include "app/main_frame.h"
#include "app/quiet_host.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "view3d/benchmark.h"
#include "view3d/map_from_view.h"
#include "view3d/view_fixture.h"

namespace pelt::test {
namespace {

constexpr size_t kCentre = kViewHeight / 2 * kViewWidth + kViewWidth / 2;

// One companion triangle right of the square (or left, moved), with a skin of its own.
struct CompanionData {
  std::vector<Vec3> vertices{{0, 22, -10}, {0, 22, 10}, {0, 34, 10}};
  std::vector<ModelTriangle> triangles{ModelTriangle{0, {0, 1, 2}, {0, 1, 2}}};
  std::vector<StCoord> st{{0, 0}, {0, 7}, {7, 7}};
  Skin skin = patternSkin(8, 8);

  CompanionScene scene() {
    buildRowOffsets(&skin);
    return {vertices, triangles, st, &skin, {}};
  }
};

TEST(ModelViewProjection, CentreDepthRangeClockwiseFacesAndTheNearPlane) {
  ViewFixture f;
  f.addTriangle({Vec3{0, 0, 0}, Vec3{-5, 0, 10}, Vec3{-5, 10, 0}});
  f.show(kModeWireframeSolid);
  const Point3f origin = f.view.viewVertices()[0];
  EXPECT_EQ(f.view.projectX(origin.x, origin.z), kViewWidth / 2);
  EXPECT_EQ(f.view.projectY(origin.y, origin.z), kViewHeight / 2);
  EXPECT_EQ(f.view.projectDepth(origin.z), 0);
  EXPECT_EQ(f.view.projectDepth(f.view.depthMax()), 1 << 30);

  // Only clockwise triangles with every corner beyond the near plane are
  // filled, not edge-on ones; the wireframe shows them all.
  const Vec3 up{0, 0, 20}, right{0, 20, 0}, atEye{99.001f, 0, 0}, near{50, 0, 0};
  const std::pair<std::array<Vec3, 3>, bool> cases[] = {{{Vec3{}, right, up}, false},
                                                        {{Vec3{}, up, right}, true},
                                                        {{atEye, up, right}, false},
                                                        {{Vec3{}, near, up}, false},
                                                        {{Vec3{}, up, up}, false}};
  for (auto [corners, filled] : cases) {
    ViewFixture g;
    g.addTriangle(corners);
    g.show(kModeWireframeSolid);
    EXPECT_EQ(g.view.visibleCount(), filled ? 1 : 0);
    EXPECT_EQ(g.count(1) > 0, filled);
    g.show(kModeWireframe);
    EXPECT_GT(g.count(1), 0);
  }
  ViewFixture h;  // a hidden triangle is not drawn at all
  h.addTriangle({Vec3{}, up, right});
  h.app.model.triangles[0].flags = kTriangleHidden;
  h.show(kModeWireframeSolid);
  EXPECT_EQ(h.view.visibleCount() + h.count(1), 0);
}

TEST(ModelViewModes, PicksHoldTexelsTrianglesOrCompanionIds) {
  ViewFixture f;
  f.addSkinnedSquare();
  CompanionData companion;
  f.companions.push_back(companion.scene());
  f.show(kModeTextured);
  const std::int32_t texel = f.view.picks()[kCentre];
  EXPECT_TRUE(texel >= 0 && texel < 32 * 32) << texel;
  EXPECT_TRUE(f.view.pickHoldsTexels());
  EXPECT_GT(f.picksOf(kPickCompanion), 10);

  f.app.interactionMode = kInteractionMapping;
  f.show(kModeTextured);
  EXPECT_EQ(f.view.picks()[kCentre] & ~1, 0);
  EXPECT_FALSE(f.view.pickHoldsTexels());
  EXPECT_GT(f.picksOf(kPickCompanion), 10);

  // A quick render while the camera moves keeps the texel offsets of the last full one.
  f.app.interactionMode = kInteractionMeshPaint;
  f.show(kModeTextured);
  f.show(kModeTextured, kRedrawQuick);
  EXPECT_EQ(f.view.picks()[kCentre], texel);
  EXPECT_TRUE(f.view.pickHoldsTexels());

  // Wire edges of each companion get their own id below -2.
  CompanionData second;
  second.vertices = {{0, -34, -10}, {0, -34, 10}, {0, -22, 10}};
  f.companions.push_back(second.scene());
  f.show(kModeWireframeSolid);
  EXPECT_GT(f.picksOf(kFirstCompanionLineId), 10);
  EXPECT_GT(f.picksOf(kFirstCompanionLineId - 1), 10);
  EXPECT_EQ(f.picksOf(kPickCompanion), 0);
}

TEST(ModelViewModes, LitTexturedRetextureKeepsTheLightLevel) {
  // A light table whose entry (row, index) is index + 3 * row.
  TempDir dir;
  ViewFixture f;
  Skin table;
  allocateSkin(table, 256, 64);
  for (size_t i = 0; i < table.pixels.size(); ++i)
    table.pixels[i] = static_cast<std::uint8_t>(i % 256 + 3 * (i / 256));
  f.platform.writeString(settings::kPreferences, settings::kPalettePath,
                         dir.write("colormap.pcx", encodeSkinPcx(table)));
  f.addSkinnedSquare();
  f.view.resize(kViewWidth, kViewHeight);
  ASSERT_TRUE(f.view.checkRenderModeChange(kModeTextured, kModeTexturedGouraud));
  f.show(kModeTexturedGouraud);

  Skin& skin = *f.app.model.skins[0];
  const auto texel = static_cast<size_t>(f.view.picks()[kCentre]);
  const int level = f.view.lightLevels()[kCentre];
  EXPECT_GT(level, 0);
  EXPECT_EQ(f.view.pixels()[kCentre], static_cast<std::uint8_t>(skin.pixels[texel] + 3 * level));
  skin.pixels[texel] = 50;
  f.view.render(kRedrawRetexture);
  EXPECT_EQ(f.view.pixels()[kCentre], 50 + 3 * level);
}

TEST(RenderModeList, RefusalsNameWhatIsMissingAndKeepTheOldMode) {
  // With a skin, with a phong map, the mode asked for and the refusal.
  const std::tuple<bool, bool, int, const char*> cases[] = {
      {false, false, kModeTextured, kNoSkinsForTextured},
      {false, true, kModeTexturedPhong, kNoSkinsForTexturedPhong},
      {true, false, kModeTexturedPhong, kNoPhongForTexturedPhong},
      {true, true, kModeTexturedPhong, kNoColormapForTexturedPhong},
      {false, false, kModeTexturedGouraud, kNoSkinsForTexturedGouraud},
      {true, false, kModeTexturedGouraud, kNoColormapForTexturedGouraud},
      {true, false, kModePhong, kNoPhongForPhong},
      {true, false, kModeEnvironment, kNoEnvForEnvironment},
  };
  for (auto [skin, phong, mode, message] : cases) {
    ViewFixture f;
    QuietHost host;
    MainFrame frame(f.app, host);
    if (skin) f.addSkinnedSquare();
    Skin map = patternSkin(256, 256);
    if (phong) f.app.phongMaps.current = &map;
    f.app.renderMode = kModeWireframe;
    chooseRenderMode(frame, mode);
    EXPECT_EQ(f.app.renderMode, kModeWireframe) << message;
    EXPECT_EQ(f.platform.messageTexts(), std::vector<std::string>{message});
    EXPECT_EQ(f.platform.listRefills, 1);
    EXPECT_EQ(f.platform.refreshes, (std::vector<RecordedRefresh>{{0, 3, true}}));
  }
}

TEST(Benchmark, ReportsTheRateOrThatItWasTooFastToMeasure) {
  EXPECT_EQ(benchmarkText(100), "100 frames in 100 milliseconds = 1000.000000 fps");
  EXPECT_EQ(benchmarkText(0).find("inf"), std::string::npos);
}

TEST(ModelViewGestures, PressChoosesTheGestureAndReleasesEndIt) {
  // Camera override, Shift, mapping mode, the button, the gesture it starts,
  // the state after its own release, and whether the pointer hides.
  const std::tuple<bool, bool, bool, unsigned, ViewGesture, ViewGesture, bool> cases[] = {
      {true, false, false, kButtonLeft, ViewGesture::Orbit, ViewGesture::WaitOther, true},
      {true, false, true, kButtonRight, ViewGesture::Look, ViewGesture::WaitOther, true},
      {true, true, false, kButtonLeft, ViewGesture::FieldOfView, ViewGesture::WaitOther, true},
      {true, true, true, kButtonRight, ViewGesture::Light, ViewGesture::WaitOther, true},
      {false, true, false, kButtonLeft, ViewGesture::Paint, ViewGesture::WaitOther, true},
      {false, false, false, kButtonRight, ViewGesture::PickColour, ViewGesture::WaitRelease, false},
      {false, false, true, kButtonLeft, ViewGesture::Select, ViewGesture::WaitRelease, false},
      {false, true, true, kButtonRight, ViewGesture::Deselect, ViewGesture::WaitRelease, false},
  };
  for (auto [camera, shift, mapping, button, gesture, afterOwnRelease, hides] : cases) {
    ViewFixture f;
    f.addSkinnedSquare();
    f.app.cameraOverride = camera;
    f.app.interactionMode = mapping ? kInteractionMapping : kInteractionMeshPaint;
    f.show(kModeTextured);
    const unsigned other = kButtonLeft + kButtonRight - button;
    f.view.mousePress({30, 20, 30, 20, button, button, shift});
    EXPECT_EQ(f.view.gesture(), gesture);
    EXPECT_EQ(f.platform.pointerHidden, hides ? 1 : 0);
    f.view.mousePress({30, 20, 30, 20, other, kButtonLeft | kButtonRight});  // starts nothing
    f.view.mouseRelease({30, 20, 30, 20, button, other});
    EXPECT_EQ(f.view.gesture(), afterOwnRelease);
    f.view.mouseRelease({30, 20, 30, 20, other, kButtonNone});
    EXPECT_EQ(f.view.gesture(), ViewGesture::Idle);
    EXPECT_EQ(f.platform.pointerHidden, 0);
  }
}

TEST(ModelViewGestures, CameraStepsClampsAndWholeWheelNotches) {
  ViewFixture f;
  f.addSkinnedSquare();
  f.app.cameraOverride = true;
  f.show(kModeTextured);
  auto at = [](int x, int y, unsigned button, unsigned held, bool shift = false) {
    return MouseEvent{x, y, x, y, button, held, shift};
  };
  f.view.eye = {-100, 0, 0};  // from behind, dragging down still raises the eye
  f.view.mousePress(at(20, 20, kButtonLeft, kButtonLeft));
  f.view.mouseMove(at(20, 30, kButtonNone, kButtonLeft));
  EXPECT_NEAR(f.view.eye[2], 100 * std::sin(2 * M_PI / 180), 0.05);
  f.view.eye = {100, 0, 0};  // the right button added zooms: 0.998004 per pixel up
  f.view.mousePress(at(20, 20, kButtonRight, kButtonLeft | kButtonRight));
  f.view.mouseMove(at(20, 17, kButtonNone, kButtonLeft | kButtonRight));
  EXPECT_NEAR(f.view.eye[0], 100 * std::pow(0.998004, 3), 1e-4);
  f.view.mouseRelease(at(20, 17, kButtonLeft, kButtonRight));
  f.view.mouseRelease(at(20, 17, kButtonRight, kButtonNone));

  f.view.mousePress(at(30, 20, kButtonLeft, kButtonLeft, true));
  for (auto [x, fieldOfView] : {std::pair{-5000, 1.0f}, {5000, 120.0f}}) {
    f.view.mouseMove(at(x, 20, kButtonNone, kButtonLeft));
    EXPECT_FLOAT_EQ(f.view.fieldOfView, fieldOfView);
  }
  f.view.mouseRelease(at(30, 20, kButtonLeft, kButtonNone));
  f.view.eye = {100, 0, 0};
  f.view.wheel(60);  // less than a notch turns nothing
  EXPECT_FLOAT_EQ(f.view.eye[1], 0);
  f.view.wheel(240);
  EXPECT_NEAR(std::atan2(f.view.eye[1], f.view.eye[0]) * 180 / M_PI, 22.5, 1e-3);
}

// Frame Model puts every vertex inside the columns and rows the window shows
// and in front of the near limit, whatever the model's shape and place and
// wherever the eye looked from.
TEST(ModelViewCamera, FrameModelShowsEveryVertex) {
  struct Case {
    Vec3 centre, half;
    Vec3f eye;
    int width, height;
  } cases[] = {
      {{0, 0, 0}, {5, 5, 200}, {100, 0, 0}, 301, 200},              // tall
      {{0, 0, 0}, {300, 300, 2}, {0, 100, 40}, 201, 400},           // wide
      {{0, 0, 0}, {0.01f, 0.02f, 0.01f}, {100, 0, 0}, 64, 48},      // tiny
      {{9000, -7000, 3000}, {40, 20, 60}, {-3, 5, 100}, 150, 150},  // far from the origin
      {{50, 50, 50}, {1, 2, 3}, {50, 50, 50}, 97, 61},              // the eye on the target
  };
  for (const Case& c : cases) {
    ViewFixture f;
    const Vec3 lo{c.centre.x - c.half.x, c.centre.y - c.half.y, c.centre.z - c.half.z};
    const Vec3 hi{c.centre.x + c.half.x, c.centre.y + c.half.y, c.centre.z + c.half.z};
    f.addTriangle({lo, Vec3{hi.x, lo.y, hi.z}, Vec3{lo.x, hi.y, hi.z}});
    f.addTriangle({hi, Vec3{lo.x, hi.y, lo.z}, Vec3{hi.x, lo.y, lo.z}});
    f.view.eye = c.eye;
    f.view.target = {c.centre.x, c.centre.y, c.centre.z};
    f.view.resize(c.width, c.height);
    ASSERT_TRUE(f.view.frameModel());
    EXPECT_NEAR(f.view.target[0], c.centre.x, 1e-3) << c.width;
    f.app.renderMode = kModeWireframe;
    f.view.render(kRedrawFull);
    int widest = 0;  // pixels from the centre: the frame fills the view
    for (const Point3f& p : f.view.viewVertices()) {
      const int x = f.view.projectX(p.x, p.z), y = f.view.projectY(p.y, p.z);
      EXPECT_GE(p.z, 1.0f);
      EXPECT_TRUE(x >= 0 && x < c.width && y >= 0 && y < c.height)
          << c.width << ": " << x << "," << y;
      widest = std::max({widest, std::abs(x - f.view.viewWidth() / 2), std::abs(y - c.height / 2)});
    }
    EXPECT_TRUE(c.half.x < 1 || widest > std::min(c.width, c.height) / 3) << c.width;
  }
}

// Ctrl+wheel moves the eye along its line; the middle button slides eye and
// target so the model follows the pointer.
TEST(ModelViewCamera, DollyAndPanKeepTheLineOfSight) {
  ViewFixture f;
  f.addTriangle({Vec3{0, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}});
  f.show(kModeWireframe);
  f.view.wheelAt({240, 0, 0, true});
  EXPECT_NEAR(f.view.eye[0], 81.0f, 1e-3);
  f.view.wheelAt({-120, 0, 0, true});
  EXPECT_NEAR(f.view.eye[0], 90.0f, 1e-3);

  f.view.eye = {100, 0, 0};
  f.view.render(kRedrawFull);
  const Point3f origin = f.view.viewVertices()[0];
  const int x0 = f.view.projectX(origin.x, origin.z), y0 = f.view.projectY(origin.y, origin.z);
  f.view.mousePress({10, 10, 10, 10, kButtonMiddle, kButtonMiddle});
  f.view.mouseMove({17, 6, 17, 6, kButtonNone, kButtonMiddle});  // 7 right, 4 up
  f.view.mouseRelease({17, 6, 17, 6, kButtonMiddle, kButtonNone});
  EXPECT_EQ(f.view.gesture(), ViewGesture::Idle);
  f.view.render(kRedrawFull);
  EXPECT_NEAR(f.view.eye[0] - f.view.target[0], 100.0f, 1e-3);
  const Point3f moved = f.view.viewVertices()[0];
  EXPECT_NEAR(f.view.projectX(moved.x, moved.z), x0 + 7, 1);
  EXPECT_NEAR(f.view.projectY(moved.y, moved.z), y0 + 4, 1);  // rows count from the bottom
}

// Brushing a selection needs triangle ids in the pick buffer.
TEST(ModelViewGestures, EachModeSelectsOnlyIfItsPickBufferHoldsTriangles) {
  for (int mode :
       {kModeWireframeSolid, kModeTextured, kModeGouraud, kModeWireframe, kModeEnvironment}) {
    ViewFixture f;
    f.addSkinnedSquare();
    f.app.cameraOverride = false;
    f.app.interactionMode = kInteractionMapping;
    f.show(mode);
    auto flags = [&](int t) { return f.app.model.triangles[static_cast<size_t>(t)].flags; };
    f.drag({{20, 20}, {46, 34}});  // one point on each triangle
    const bool selects = mode != kModeWireframe && mode != kModeEnvironment;
    EXPECT_EQ(flags(0) & flags(1), selects ? kTriangleSelected : 0u) << mode;
    f.drag({{20, 20}, {46, 34}}, kButtonRight);
    EXPECT_EQ(flags(0) | flags(1), 0u) << mode;
  }
}

// The skin texels a stroke changed.
std::set<std::pair<int, int>> changedTexels(const Skin& skin,
                                            const std::vector<std::uint8_t>& before) {
  std::set<std::pair<int, int>> out;
  for (size_t i = 0; i < before.size(); ++i)
    if (skin.pixels[i] != before[i])
      out.insert({static_cast<int>(i) % skin.width, static_cast<int>(i) / skin.width});
  return out;
}

// The square, symmetric across Y, maps y -20..20 to s 0..31: texel x is
// across from texel 30 - x.
TEST(ModelViewBrush, WindowDabsJoinedStrokesMirrorAndCtrlFill) {
  ViewFixture f;
  f.addSkinnedSquare();
  f.app.cameraOverride = false;
  std::rotate(f.app.blendTable.begin(), f.app.blendTable.end() - 1, f.app.blendTable.end());
  f.show(kModeTextured);
  Skin& skin = *f.app.model.currentSkin();
  auto texel = [&](int x, int y) {
    const std::int32_t t =
        f.view.picks()[static_cast<size_t>(kViewHeight - 1 - y) * kViewWidth + x];
    return std::pair{t % skin.width, t / skin.width};
  };
  auto stroke = [&](std::initializer_list<WindowPoint> path) {
    const std::vector<std::uint8_t> before = skin.pixels;
    f.drag(path);
    return changedTexels(skin, before);
  };
  // A size-3 dab paints the texels of the 3 x 3 window pixels around the point.
  f.app.brush.size = 3;
  std::set<std::pair<int, int>> block;
  for (int y = 23; y <= 25; ++y)
    for (int x = 27; x <= 29; ++x) block.insert(texel(x, y));
  EXPECT_EQ(stroke({{28, 24}}), block);

  // Mirrored across Y: one dab left of the middle, one across; both at the size there.
  f.app.brush.size = 1;
  f.app.mirrorPainting = true;
  f.app.mirrorAxis = kMirrorY;
  const auto [tx, ty] = texel(22, 30);
  const auto mirrored = stroke({{22, 30}});
  ASSERT_EQ(mirrored.size(), 2u);
  EXPECT_TRUE(mirrored.count({tx, ty}));
  EXPECT_TRUE(mirrored.count({30 - tx, ty}));
  MirrorLookup lookup;
  lookup.prepare(f.app.model, kMirrorY);
  EXPECT_EQ(lookup.mirrorTexel(f.app.model, 5, 10), (std::array<int, 2>{25, 10}));

  // Ctrl limits a fill to the selected triangle's texels; without it the
  // one-colour skin fills whole.
  f.app.mirrorPainting = false;
  std::fill(skin.pixels.begin(), skin.pixels.end(), 100);
  f.app.brushKind = kBrushFill;
  f.app.model.triangles[0].flags = kTriangleSelected;
  const std::vector<std::uint8_t> mask = buildSelectionMask(f.app.model, f.app.rasterizer, 32, 32);
  f.view.mousePress({20, 16, 20, 16, kButtonLeft, kButtonLeft, false, true});
  f.view.mouseRelease({20, 16, 20, 16, kButtonLeft, kButtonNone});
  for (size_t i = 0; i < mask.size(); ++i) ASSERT_EQ(skin.pixels[i], mask[i] ? 99 : 100) << i;
  stroke({{44, 32}});
  EXPECT_EQ(std::count(skin.pixels.begin(), skin.pixels.end(), 99), 32 * 32);

  // Half the square is no longer symmetric: nothing is mirrored.
  ViewFixture half;
  half.addSkinnedSquare();
  half.app.model.triangleCount = 1;
  half.app.cameraOverride = false;
  half.app.mirrorPainting = true;
  half.app.mirrorAxis = kMirrorY;
  half.app.blendTable = f.app.blendTable;
  half.show(kModeTextured);
  const std::vector<std::uint8_t> before = half.app.model.currentSkin()->pixels;
  half.drag({{18, 33}});
  EXPECT_EQ(changedTexels(*half.app.model.currentSkin(), before).size(), 1u);
}

// Four texels to a window pixel: a pencil stroke still leaves a connected
// trail on the skin, about four texels wide.
TEST(ModelViewBrush, StrokesFarFromTheEyeAreJoinedOnTheSkin) {
  ViewFixture f;
  f.addSkin(128, 128, false);
  const StCoord st[] = {{0, 127}, {0, 0}, {127, 0}, {127, 127}};
  f.addTriangle({Vec3{0, -20, -15}, Vec3{0, -20, 15}, Vec3{0, 20, 15}}, {st[0], st[1], st[2]});
  f.addTriangle({Vec3{0, -20, -15}, Vec3{0, 20, 15}, Vec3{0, 20, -15}}, {st[0], st[2], st[3]});
  f.app.cameraOverride = false;
  f.app.brushKind = kBrushPencil;
  f.app.blendTable[100] = 7;
  f.show(kModeTextured);
  f.drag({{20, 18}, {44, 30}});
  const Skin& skin = *f.app.model.currentSkin();
  std::map<int, int> rowsPerColumn;
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x) rowsPerColumn[x] += skin.pixel(x, y) == 7;
  std::vector<int> columns;
  for (auto [x, rows] : rowsPerColumn)
    if (rows > 0) columns.push_back(x);
  ASSERT_GT(columns.size(), 60u);
  EXPECT_EQ(columns.back() - columns.front() + 1, static_cast<int>(columns.size()));
  EXPECT_GE(rowsPerColumn[64], 3);
}

// Map from 3D View: the selected triangles laid out in the mapping rectangle
// as the initial camera sees them (+y to the right, +z up).
constexpr MapCamera kCamera{64, 48, {100, 0, 0}, {0, 0, 0}, 33.0f};

// Triangles over the given frame vertices, the first `selected` of them
// selected, each corner on its own st entry (s = 200 + 3 * triangle + corner).
struct Scene {
  Model model;

  Scene(std::vector<Vec3> vertices, std::vector<std::array<std::int16_t, 3>> tris, int selected) {
    model.frames.push_back(ModelFrame{"f", vertices});
    model.vertexCount = static_cast<int>(vertices.size());
    model.triangleCount = static_cast<int>(tris.size());
    for (size_t i = 0; i < tris.size(); ++i) {
      ModelTriangle& t = model.triangles[i];
      t.vertexIndex = tris[i];
      t.flags = static_cast<int>(i) < selected ? std::uint32_t{kTriangleSelected} : 0u;
      for (size_t k = 0; k < 3; ++k)
        t.cornerSt[k] = {static_cast<std::int16_t>(200 + 3 * i + k), 90};
    }
    rebuildStIndices(model);
  }
  std::array<StCoord, 3> corners(int i) const {
    return model.triangles[static_cast<size_t>(i)].cornerSt;
  }
};

bool near(int value, int edge) { return value == edge || value == edge - 1; }

TEST(MapFromView, OptionsTurnAndSkipTheLayout) {
  // Corners: bottom-left, top-left, bottom-right on screen; it faces the eye.
  const std::vector<Vec3> facing = {{0, 0, 0}, {0, 0, 10}, {0, 10, 0}};
  const std::vector<Vec3> away = {{0, 0, 0}, {0, 10, 0}, {0, 0, 10}};
  const std::vector<Vec3> line = {{0, 0, 0}, {0, 0, 10}, {0, 0, 10}};  // a corner twice: no front
  struct Case {
    const char* what;
    int facing;  // 0 away, 1 facing, 2 a line
    bool noBackfaces, flip, mirror;
    MapRectangle rect;
    std::array<int, 6> expected;  // s, t of the three corners
  };
  // clang-format off
  const Case cases[] = {
      {"plain", true, false, false, false, {10, 10, 74, 74}, {10, 74, 10, 10, 74, 74}},
      {"mirror", true, false, false, true, {0, 0, 100, 50}, {100, 50, 100, 0, 0, 50}},
      {"flip", true, false, true, false, {0, 0, 100, 50}, {0, 0, 0, 50, 100, 0}},
      {"reversed", true, false, false, false, {74, 74, 10, 10}, {10, 74, 10, 10, 74, 74}},
      {"back face", false, false, false, false, {0, 0, 100, 50}, {0, 50, 100, 50, 0, 0}},
      {"back skipped", false, true, false, false, {0, 0, 100, 50}, {200, 90, 201, 90, 202, 90}},
      {"line skipped", 2, true, false, false, {0, 0, 100, 50}, {200, 90, 201, 90, 202, 90}},
      {"front face kept", true, true, false, false, {0, 0, 100, 50}, {0, 50, 0, 0, 100, 50}},
      {"empty rectangle", true, false, false, false, {7, 9, 7, 9}, {7, 9, 7, 9, 7, 9}},
  };
  // clang-format on
  for (const Case& c : cases) {
    Scene scene(c.facing == 2 ? line : c.facing ? facing : away, {{0, 1, 2}}, 1);
    MapFromViewValues options = defaultMapFromViewValues();
    options.noBackfaces = c.noBackfaces, options.flip = c.flip, options.mirror = c.mirror;
    MapRectangle rect = c.rect;
    ASSERT_TRUE(mapFromView(scene.model, kCamera, rect, options)) << c.what;
    EXPECT_TRUE(rect.x0 <= rect.x1 && rect.y0 <= rect.y1) << c.what;
    const auto got = scene.corners(0);
    for (size_t k = 0; k < 3; ++k) {
      const int s = c.expected[2 * k], t = c.expected[2 * k + 1];
      // The far edges may fall one short of the rectangle.
      EXPECT_TRUE(s == got[k].s || (s > rect.x0 && near(got[k].s, s))) << c.what << " s" << k;
      EXPECT_TRUE(t == got[k].t || (t > rect.y0 && near(got[k].t, t))) << c.what << " t" << k;
    }
  }
}

TEST(MapFromView, EachProjectionDoesWhatItsButtonSaysAndSharedEdgesStayShared) {
  // A quad standing on z = 0 whose right edge is twice as near: in
  // perspective that edge looks twice as tall, so the far top corner lands
  // halfway down the rectangle. A third, unselected, triangle shares the edge.
  Scene scene({{0, 0, 0}, {0, 0, 10}, {50, 10, 10}, {50, 10, 0}}, {{0, 1, 2}, {0, 2, 3}, {3, 2, 1}},
              2);
  MapFromViewValues options = defaultMapFromViewValues();
  EXPECT_EQ(options.projection, kProjectionParallel);
  MapRectangle rect{0, 0, 100, 100};
  ASSERT_TRUE(mapFromView(scene.model, kCamera, rect, options));
  EXPECT_EQ(scene.corners(0)[1], (StCoord{0, 0}));
  EXPECT_EQ(scene.corners(0)[2].t, 0);
  // Shared edges stay shared; the unselected triangle keeps its own entries.
  const auto& t = scene.model.triangles;
  EXPECT_EQ(t[0].stIndex[0], t[1].stIndex[0]);
  EXPECT_EQ(t[0].stIndex[2], t[1].stIndex[1]);
  EXPECT_EQ(t[2].cornerSt[0], (StCoord{206, 90}));
  EXPECT_EQ(scene.model.stCount, 4 + 3);

  options.projection = kProjectionPerspective;
  ASSERT_TRUE(mapFromView(scene.model, kCamera, rect, options));
  EXPECT_EQ(scene.corners(0)[1].s, 0);
  EXPECT_TRUE(near(scene.corners(0)[1].t, 50)) << scene.corners(0)[1].t;
  EXPECT_EQ(scene.corners(0)[2].t, 0);
  EXPECT_TRUE(near(scene.corners(0)[2].s, 100));
  EXPECT_TRUE(near(scene.corners(1)[2].t, 100));
}

}  // namespace
}  // namespace pelt::test
