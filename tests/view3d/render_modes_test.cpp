// What each render mode leaves in the pixel and pick buffers, the mode
// refusals, the light buffer and the benchmark text.

#include <gtest/gtest.h>

#include <set>

#include "app/frame_lists.h"
#include "app/main_frame.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "view3d/benchmark.h"
#include "view3d/view_fixture.h"

namespace pelt::test {
namespace {

constexpr int kCentreX = kViewWidth / 2;
constexpr int kCentreRow = kViewHeight / 2;

// A skinned square over the centre: st runs over the whole 32 x 32 skin.
void addSkinnedSquare(ViewFixture& f, bool pattern = true) {
  f.addSkin(32, 32, pattern);
  addFacingSquare(f, 0, -20, 20, -15, 15, {StCoord{0, 31}, {0, 0}, {31, 0}, {31, 31}});
}

// One companion triangle right of the square, with a skin of its own.
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

TEST(TexturedMode, PickHoldsTexelsInMeshPaintAndTriangleIndicesInMapping) {
  ViewFixture f;
  addSkinnedSquare(f);
  CompanionData companion;
  f.companions.push_back(companion.scene());
  const Skin& skin = *f.app.model.currentSkin();

  f.show(kModeTextured);
  const std::int32_t texel = f.pick(kCentreX, kCentreRow);
  ASSERT_GE(texel, 0);
  ASSERT_LT(texel, 32 * 32);
  EXPECT_EQ(f.pixel(kCentreX, kCentreRow), skin.pixels[static_cast<size_t>(texel)]);
  EXPECT_TRUE(f.view.pickHoldsTexels());
  const auto picks = f.view.picks();
  EXPECT_GT(std::count(picks.begin(), picks.end(), kPickCompanion), 10);

  f.app.interactionMode = kInteractionMapping;
  f.show(kModeTextured);
  EXPECT_TRUE(f.pick(kCentreX, kCentreRow) == 0 || f.pick(kCentreX, kCentreRow) == 1);
  EXPECT_FALSE(f.view.pickHoldsTexels());
  EXPECT_GT(std::count(f.view.picks().begin(), f.view.picks().end(), kPickCompanion), 10);

  // A quick render while the camera moves keeps the texel offsets of the last full one.
  f.app.interactionMode = kInteractionMeshPaint;
  f.show(kModeTextured);
  f.show(kModeTextured, kRedrawQuick);
  EXPECT_EQ(f.pick(kCentreX, kCentreRow), texel);
  EXPECT_TRUE(f.view.pickHoldsTexels());
}

TEST(TexturedMode, SelectedEdgesShowInSlotTwoOverTheirOwnTriangle) {
  ViewFixture f;
  addSkinnedSquare(f, false);
  f.app.model.triangles[0].flags = kTriangleSelected;
  f.app.interactionMode = kInteractionMapping;
  f.show(kModeTextured);
  EXPECT_GT(f.count(2), 20);
  EXPECT_GT(f.count(1), 20);  // the other triangle's edges in slot 1
  EXPECT_GT(f.count(100), 300);
  for (size_t i = 0; i < f.view.pixels().size(); ++i) {
    if (f.view.pixels()[i] != 2) continue;
    EXPECT_EQ(f.view.picks()[i], 0);
  }
}

TEST(TexturedMode, RetextureRecoloursOnlyFromTexelOffsets) {
  ViewFixture f;
  addSkinnedSquare(f);
  Skin& skin = *f.app.model.skins[0];
  f.show(kModeTextured);
  const auto texel = static_cast<size_t>(f.pick(kCentreX, kCentreRow));
  skin.pixels[texel] = static_cast<std::uint8_t>(skin.pixels[texel] + 1);
  f.view.render(kRedrawRetexture);
  EXPECT_EQ(f.pixel(kCentreX, kCentreRow), skin.pixels[texel]);

  // Triangle indices are no skin offsets.
  f.app.interactionMode = kInteractionMapping;
  f.show(kModeTextured);
  const std::vector<std::uint8_t> before(f.view.pixels().begin(), f.view.pixels().end());
  skin.pixels[0] = 77;
  skin.pixels[1] = 78;
  f.view.render(kRedrawRetexture);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), f.view.pixels().begin()));
}

std::set<size_t> backgroundEdges(const ViewFixture& f) {
  std::set<size_t> out;
  for (size_t i = 0; i < f.view.pixels().size(); ++i)
    if (f.view.pixels()[i] == 9 && f.view.picks()[i] >= 0) out.insert(i);
  return out;
}

TEST(WireframeSolidMode, EdgesShowOnlyWhereTheirTriangleIsVisible) {
  auto addBack = [](ViewFixture& f) { addFacingSquare(f, -10, -20, 20, -15, 15); };
  auto addFront = [](ViewFixture& f) {
    f.addTriangle({Vec3{10, -8, -12}, Vec3{10, -8, 12}, Vec3{10, 8, 0}});
  };
  ViewFixture back, front, both;
  addBack(back);
  addFront(front);
  addBack(both);
  addFront(both);
  for (ViewFixture* f : {&back, &front, &both}) f->show(kModeWireframeSolid);

  const std::set<size_t> backEdges = backgroundEdges(back);
  const std::set<size_t> frontEdges = backgroundEdges(front);
  int hidden = 0;
  for (size_t i : backEdges) {
    if (both.view.picks()[i] != 2) continue;  // not under the front triangle
    ++hidden;
    if (!frontEdges.count(i)) {
      EXPECT_EQ(both.view.pixels()[i], 1) << "pixel " << i;
    }
  }
  EXPECT_GT(hidden, 5);  // the back square's diagonal runs behind the front triangle
}

TEST(WireframeSolidMode, CompanionTrianglesGetTheirOwnIdsBelowMinusTwo) {
  ViewFixture f;
  addSkinnedSquare(f);
  CompanionData first, second;
  second.vertices = {{0, -34, -10}, {0, -34, 10}, {0, -22, 10}};
  f.companions = {first.scene(), second.scene()};
  f.show(kModeWireframeSolid);
  const auto picks = f.view.picks();
  EXPECT_GT(std::count(picks.begin(), picks.end(), kFirstCompanionLineId), 10);
  EXPECT_GT(std::count(picks.begin(), picks.end(), kFirstCompanionLineId - 1), 10);
  EXPECT_EQ(std::count(picks.begin(), picks.end(), kPickCompanion), 0);
}

TEST(ShadedModes, FlatShadedWithoutASkinKeepsTheGreyBackground) {
  ViewFixture f;
  addFacingSquare(f, 0, -20, 20, -15, 15);
  f.show(kModeFlat);
  const Palette& palette = f.view.viewPalette();
  EXPECT_EQ(palette[255 * 3] & palette[255 * 3 + 1] & palette[255 * 3 + 2], 255);
  EXPECT_EQ(f.pixel(0, 0), 255);
  EXPECT_LT(f.pixel(kCentreX, kCentreRow), 64);  // the mesh ramp
  EXPECT_GE(f.pick(kCentreX, kCentreRow), 0);

  // With a skin the background entry is the skin's background colour.
  f.addSkin(8, 8, true);
  f.view.render(kRedrawBackground);
  EXPECT_EQ(f.view.viewPalette()[255 * 3 + 1], 255 - 9);
}

// Light table whose entry (row, index) is index + 3 * row.
std::string writeColormap(const TempDir& dir, Platform& platform) {
  Skin table;
  allocateSkin(table, 256, 64);
  for (int row = 0; row < 64; ++row)
    for (int i = 0; i < 256; ++i)
      table.pixels[static_cast<size_t>(row * 256 + i)] = static_cast<std::uint8_t>(i + 3 * row);
  const std::string path = dir.file("colormap.pcx");
  writeSkinPcx(platform, table, path);
  return path;
}

TEST(LitTexturedMode, RetextureKeepsTheLightLevel) {
  TempDir dir;
  ViewFixture f;
  addSkinnedSquare(f);
  f.platform.settings[settings::kPreferences][settings::kPalettePath] =
      writeColormap(dir, f.platform);
  f.view.resize(kViewWidth, kViewHeight);
  ASSERT_TRUE(f.view.checkRenderModeChange(kModeTextured, kModeTexturedGouraud));
  f.show(kModeTexturedGouraud);

  Skin& skin = *f.app.model.skins[0];
  const size_t i = f.at(kCentreX, kCentreRow);
  const auto texel = static_cast<size_t>(f.view.picks()[i]);
  const int level = f.view.lightLevels()[i];
  EXPECT_GT(level, 0);
  EXPECT_EQ(f.view.pixels()[i], static_cast<std::uint8_t>(skin.pixels[texel] + 3 * level));
  skin.pixels[texel] = 50;
  f.view.render(kRedrawRetexture);
  EXPECT_EQ(f.view.pixels()[i], 50 + 3 * level);

  // Leaving the lit modes releases the table and the light buffer.
  ASSERT_TRUE(f.view.checkRenderModeChange(kModeTexturedGouraud, kModeTextured));
  EXPECT_EQ(f.view.lightTable(), nullptr);
  EXPECT_TRUE(f.view.lightLevels().empty());
}

struct QuietHost : FrameHost {
  void layoutChanged() override {}
  void grabSplitPointer(bool) override {}
  void closeWindow() override {}
};

struct Refusal {
  bool skin, phong;
  int mode;
  const char* message;
};

TEST(RenderModeList, RefusalsNameWhatIsMissingAndKeepTheOldMode) {
  const Refusal cases[] = {
      {false, false, kModeTextured, kNoSkinsForTextured},
      {false, true, kModeTexturedPhong, kNoSkinsForTexturedPhong},
      {true, false, kModeTexturedPhong, kNoPhongForTexturedPhong},
      {true, true, kModeTexturedPhong, kNoColormapForTexturedPhong},
      {false, false, kModeTexturedGouraud, kNoSkinsForTexturedGouraud},
      {true, false, kModeTexturedGouraud, kNoColormapForTexturedGouraud},
      {true, false, kModePhong, kNoPhongForPhong},
      {true, false, kModeEnvironment, kNoEnvForEnvironment},
  };
  for (const Refusal& c : cases) {
    ViewFixture f;
    QuietHost host;
    MainFrame frame(f.app, host);
    if (c.skin) f.addSkin(8, 8, true);
    Skin phong = patternSkin(256, 256);
    if (c.phong) f.app.phongMaps.current = &phong;
    f.app.renderMode = kModeWireframe;
    chooseRenderMode(frame, c.mode);
    EXPECT_EQ(f.app.renderMode, kModeWireframe) << c.message;
    EXPECT_EQ(f.platform.messageTexts(), std::vector<std::string>{c.message});
    EXPECT_EQ(f.platform.listRefills, 1);
    EXPECT_EQ(f.platform.refreshes, (std::vector<RecordedRefresh>{{0, 3, true}}));
  }
}

TEST(RenderModeList, AnAvailableModeIsTakenWithoutAMessage) {
  ViewFixture f;
  QuietHost host;
  MainFrame frame(f.app, host);
  chooseRenderMode(frame, kModeGouraud);
  EXPECT_EQ(f.app.renderMode, kModeGouraud);
  EXPECT_TRUE(f.platform.messages.empty());
  chooseRenderMode(frame, kModeGouraud);  // no change, nothing to do
  EXPECT_EQ(f.platform.listRefills, 1);
}

TEST(Benchmark, ReportsTheRateOrThatItWasTooFastToMeasure) {
  EXPECT_EQ(benchmarkText(100), "100 frames in 100 milliseconds = 1000.000000 fps");
  ViewFixture f;
  addSkinnedSquare(f);
  f.show(kModeTextured);
  runBenchmark(f.platform, f.view);  // the scripted clock stands still
  EXPECT_EQ(f.platform.repaints.size(), 100u);
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].text, benchmarkText(0));
  EXPECT_EQ(benchmarkText(0).find("inf"), std::string::npos);
}

}  // namespace
}  // namespace pelt::test
