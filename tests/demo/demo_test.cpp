// The generated demo content must be usable as a game's: closed surfaces the
// 3D view draws from outside in every frame, skin coordinates that land on
// paint, frames packed faithfully, and a folder a load accepts.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>

#include "app/app.h"
#include "app/commands/file_open.h"
#include "demo/demo_creature.h"
#include "demo/demo_creature_skin.h"
#include "demo/demo_folder.h"
#include "demo/demo_mesh.h"
#include "demo/demo_palette.h"
#include "demo/demo_weapon.h"
#include "model/mirror_lookup.h"
#include "platform/paths.h"
#include "platform/settings_keys.h"
#include "skins/palette_file.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "support/model_invariants.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

// Built once: the creature and the weapon posed with it.
const std::pair<Md2Data, Md2Data>& models() {
  static const std::pair<Md2Data, Md2Data> both{makeDemoCreature(), makeDemoWeapon()};
  return both;
}

// Every edge is used once in each direction (closed, neighbours agree on the
// winding), and each connected piece, in every frame, runs the way the 3D
// view's back-face test (drawn when det < 0) draws from outside: summed over
// a closed piece, det is six times its volume, positive when the piece is
// drawn from outside.
::testing::AssertionResult closedAndDrawnFromOutside(const Md2Data& md2) {
  std::vector<int> root(static_cast<std::size_t>(md2.vertexCount));
  std::iota(root.begin(), root.end(), 0);
  auto find = [&](int v) {
    while (root[v] != v) v = root[v] = root[root[v]];
    return v;
  };
  std::map<std::pair<int, int>, int> directed;
  for (const Md2Triangle& t : md2.triangles) {
    for (int k = 0; k < 3; ++k) {
      const int a = t.vertexIndex[k], b = t.vertexIndex[(k + 1) % 3];
      if (a < 0 || a >= md2.vertexCount || a == b)
        return ::testing::AssertionFailure() << "bad corner " << a;
      ++directed[{a, b}];
      root[find(a)] = find(b);
    }
  }
  for (const auto& [edge, count] : directed)
    if (count != 1 || !directed.count({edge.second, edge.first}))
      return ::testing::AssertionFailure()
             << "edge " << edge.first << "-" << edge.second << " is open or repeated";
  for (const Md2Frame& packed : md2.frames) {
    const ModelFrame frame = decodeFrame(packed);
    std::map<int, double> volume;
    for (const Md2Triangle& t : md2.triangles) {
      const Vec3 &a = frame.vertices[t.vertexIndex[0]], &b = frame.vertices[t.vertexIndex[1]],
                 &c = frame.vertices[t.vertexIndex[2]];
      volume[find(t.vertexIndex[0])] += (double(a.y) * b.x - double(a.x) * b.y) * c.z +
                                        (double(a.z) * b.y - double(a.y) * b.z) * c.x +
                                        (double(a.x) * b.z - double(a.z) * b.x) * c.y;
    }
    for (const auto& [piece, v] : volume)
      if (v <= 0)
        return ::testing::AssertionFailure()
               << "piece of vertex " << piece << " faces inward in " << frame.name;
  }
  return ::testing::AssertionSuccess();
}

// Every corner and centre of every triangle also shows paint, not the grey
// background between the skin's regions.
TEST(DemoModels, ClosedDrawnFromOutsideAndMappedOnPaint) {
  EXPECT_TRUE(closedAndDrawnFromOutside(models().first));
  EXPECT_TRUE(closedAndDrawnFromOutside(models().second));
  // The weapon is posed frame by frame with the creature it rides on.
  ASSERT_EQ(models().second.frames.size(), models().first.frames.size());
  for (std::size_t f = 0; f < models().first.frames.size(); ++f)
    EXPECT_EQ(models().second.frames[f].name, models().first.frames[f].name);
  const Palette palette = makeDemoPalette();
  // The grey ramp is palette entries 0 to 15, black to white in equal steps.
  for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(palette[i * 3], i * 17) << i;
  const std::vector<std::uint8_t> greys{rampColor(kRampGrey, 2), rampColor(kRampGrey, 3)};
  const struct {
    const Md2Data& md2;
    Skin skin;
    std::vector<std::uint8_t> background;
  } cases[] = {{models().first, makeCreatureSkin(kCreatureSkinNormal, palette), greys},
               {models().first, makeCreatureSkin(kCreatureSkinPain, palette), greys},
               {models().second, makeWeaponSkin(palette), {rampColor(kRampGrey, 3)}}};
  for (const auto& c : cases) {
    ASSERT_TRUE(c.skin.width == c.md2.skinWidth && c.skin.height == c.md2.skinHeight);
    auto painted = [&](int s, int t) {
      return std::count(c.background.begin(), c.background.end(), c.skin.pixel(s, t)) == 0;
    };
    for (const Md2Triangle& t : c.md2.triangles) {
      int s = 0, tt = 0;
      for (int k = 0; k < 3; ++k) {
        ASSERT_LT(static_cast<std::size_t>(t.stIndex[k]), c.md2.st.size());
        const StCoord st = c.md2.st[static_cast<std::size_t>(t.stIndex[k])];
        ASSERT_TRUE(st.s >= 0 && st.s < c.skin.width && st.t >= 0 && st.t < c.skin.height);
        EXPECT_TRUE(painted(st.s, st.t)) << st.s << "," << st.t;
        s += st.s;
        tt += st.t;
      }
      EXPECT_TRUE(painted(s / 3, tt / 3)) << s / 3 << "," << tt / 3;
    }
  }
}

TEST(DemoMesh, FramesPackToWithinHalfAStepOfThePositions) {
  std::vector<MeshBuilder> posed(2);
  const std::vector<Vec3> points{{-3, 7, 100}, {12.5f, -40, 101}, {0, 0, 100.5f}, {4, 4, 100}};
  for (std::size_t f = 0; f < posed.size(); ++f) {
    for (Vec3 p : points) posed[f].addVertex({p.x * (f + 1.0f), p.y, p.z});
    posed[f].addTriangle({0, 1, 2}, {});
  }
  const std::vector<std::string> names{"a", "b"};
  const Md2Data md2 = assembleMd2(posed, names, 8, 8, {});
  for (std::size_t f = 0; f < 2; ++f) {
    const ModelFrame frame = decodeFrame(md2.frames[f]);
    EXPECT_EQ(frame.name, names[f]);
    const auto& scale = md2.frames[f].scale;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const Vec3& want = posed[f].vertices()[i];
      EXPECT_NEAR(frame.vertices[i].x, want.x, scale[0] * 0.5f + 1e-4f);
      EXPECT_NEAR(frame.vertices[i].y, want.y, scale[1] * 0.5f + 1e-4f);
      EXPECT_NEAR(frame.vertices[i].z, want.z, scale[2] * 0.5f + 1e-4f);
    }
  }
}

// The folder serves what the program needs of a game: both models load whole
// with every skin they name, the light table darkens row by row to near
// black, and each map folder holds three 256 x 256 maps.
TEST(DemoFolder, ServesTheModelsPaletteLightTableAndMaps) {
  test::TempDir dir;
  std::string error;
  ASSERT_TRUE(writeDemoGameFolder(dir.path(), &error)) << error;
  const std::string base = joinPath(dir.path(), "baseq2");
  for (const char* model : {kDemoModelPath, kDemoWeaponPath}) {
    test::ScriptedPlatform platform;
    App app(platform);
    app.baseFolder = base;
    ASSERT_TRUE(loadMd2(app, joinPath(base, model))) << model;
    EXPECT_TRUE(platform.messages.empty()) << model;
    EXPECT_EQ(test::modelFault(app.model, true), "") << model;
    for (const auto& skin : app.model.skins) EXPECT_TRUE(skin->hasFile) << skin->name;
    if (model != kDemoModelPath) continue;
    // The creature is built symmetric across Y: a texel of its back mirrors
    // to another that mirrors back.
    EXPECT_EQ(app.mirrorAxis, kMirrorY);
    MirrorLookup mirror;
    mirror.prepare(app.model, kMirrorY);
    const auto across = mirror.mirrorTexel(app.model, 20, 20);
    ASSERT_TRUE(across && (*across)[1] != 20);
    const auto back = mirror.mirrorTexel(app.model, (*across)[0], (*across)[1]);
    ASSERT_TRUE(back);
    EXPECT_LE(std::abs((*back)[0] - 20) + std::abs((*back)[1] - 20), 2);
  }
  Palette palette{};
  EXPECT_TRUE(decodePaletteFile(readWholeFile(joinPath(base, kDemoPalettePath)).bytes, palette));
  test::ScriptedPlatform platform;
  GameFileSystem files(base, platform);
  std::unique_ptr<Skin> colormap = loadDefaultColormap(platform, files);
  ASSERT_TRUE(colormap && colormap->width == 256 && colormap->height >= 64);
  auto brightness = [&](int row, int index) {
    const int i = colormap->pixel(index, row);
    return palette[i * 3] + palette[i * 3 + 1] + palette[i * 3 + 2];
  };
  long previous = 256 * 765;
  for (int row = 0; row < 64; ++row) {
    long total = 0;
    for (int index = 0; index < 256; ++index) total += brightness(row, index);
    EXPECT_LE(total, previous) << "row " << row;
    previous = total;
  }
  for (int index = 0; index < 256; ++index) EXPECT_LT(brightness(63, index), 3 * 24) << index;
  for (const char* folder : {kDemoPhongFolder, kDemoEnvironmentFolder}) {
    const std::vector<std::string> maps = listFilesWithExtension(joinPath(base, folder), ".pcx");
    EXPECT_EQ(maps.size(), 3u) << folder;
    for (const std::string& name : maps) {
      std::unique_ptr<Skin> map = readSkinImage(platform, joinPath(joinPath(base, folder), name));
      ASSERT_TRUE(map) << name;
      EXPECT_TRUE(map->width == 256 && map->height == 256) << name;
    }
  }
}

TEST(DemoFolder, ReportsAFolderThatCannotBeCreated) {
  test::TempDir dir;
  std::string blocker = dir.write("plain-file", {1, 2, 3});
  std::string error;
  EXPECT_FALSE(writeDemoGameFolder(blocker, &error));
  EXPECT_NE(error.find("plain-file"), std::string::npos) << error;
  EXPECT_FALSE(writeDemoGameFolder(blocker, nullptr));
}

}  // namespace
}  // namespace pelt
