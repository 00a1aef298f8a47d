#include "demo/demo_creature.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "demo/demo_creature_skin.h"
#include "demo/demo_palette.h"
#include "demo/demo_weapon.h"
#include "demo/mesh_checks.h"

namespace pelt {
namespace {

const Md2Data& creature() {
  static const Md2Data model = makeDemoCreature();
  return model;
}

const Md2Data& weapon() {
  static const Md2Data model = makeDemoWeapon();
  return model;
}

std::vector<std::string> frameNames(const Md2Data& md2) {
  std::vector<std::string> names;
  for (const Md2Frame& f : md2.frames) names.push_back(f.name);
  return names;
}

float largestMove(const Md2Data& md2, std::size_t a, std::size_t b) {
  ModelFrame fa = decodeFrame(md2.frames[a]), fb = decodeFrame(md2.frames[b]);
  float most = 0;
  for (std::size_t i = 0; i < fa.vertices.size(); ++i)
    most = std::max(
        most, std::hypot(fa.vertices[i].x - fb.vertices[i].x, fa.vertices[i].y - fb.vertices[i].y,
                         fa.vertices[i].z - fb.vertices[i].z));
  return most;
}

TEST(DemoCreature, SurfaceIsClosedAndFacesOutwardInEveryFrame) {
  const Md2Data& md2 = creature();
  EXPECT_TRUE(test::isClosedAndConsistent(md2));
  for (std::size_t f : {0u, 14u, 21u})
    EXPECT_GT(test::checkOutsideIsDrawn(md2, static_cast<int>(f)), 500);
}

TEST(DemoCreature, EachTriangleIsMappedInsideOneRegionOfTheSkin) {
  const Md2Data& md2 = creature();
  std::vector<SkinRect> regions = {kBackRect, kBellyRect, kHeadRect,
                                   kFaceRect, kTailRect,  kEyeRect};
  for (int i = 0; i < kCreaturePlates; ++i) regions.push_back(plateCell(i));
  for (int i = 0; i < kCreatureLegPairs; ++i) regions.push_back(legColumn(i));
  std::vector<int> uses(regions.size(), 0);
  for (const Md2Triangle& t : md2.triangles) {
    auto st = [&](int k) { return md2.st[static_cast<std::size_t>(t.stIndex[k])]; };
    for (int k = 0; k < 3; ++k) {
      ASSERT_GE(st(k).s, 0);
      ASSERT_LT(st(k).s, md2.skinWidth);
      ASSERT_GE(st(k).t, 0);
      ASSERT_LT(st(k).t, md2.skinHeight);
    }
    auto region = std::find_if(regions.begin(), regions.end(), [&](const SkinRect& r) {
      return r.contains(st(0).s, st(0).t) && r.contains(st(1).s, st(1).t) &&
             r.contains(st(2).s, st(2).t);
    });
    ASSERT_NE(region, regions.end()) << "triangle straddles regions";
    ++uses[static_cast<std::size_t>(region - regions.begin())];
  }
  for (std::size_t i = 0; i < uses.size(); ++i)
    EXPECT_GT(uses[i], 0) << "region " << i << " unused";
  for (std::size_t i = 0; i < regions.size(); ++i)
    for (std::size_t j = i + 1; j < regions.size(); ++j) {
      const SkinRect &a = regions[i], &b = regions[j];
      bool overlap = a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
      EXPECT_FALSE(overlap) << "regions " << i << " and " << j;
    }
}

// The mapping lands on paint: every corner and centre of every triangle
// shows a painted pixel, not the background between regions.
void expectMappedPixelsPainted(const Md2Data& md2, const Skin& skin,
                               std::vector<std::uint8_t> background) {
  for (const Md2Triangle& t : md2.triangles) {
    int s[3], tt[3];
    for (int k = 0; k < 3; ++k) {
      s[k] = md2.st[static_cast<std::size_t>(t.stIndex[k])].s;
      tt[k] = md2.st[static_cast<std::size_t>(t.stIndex[k])].t;
      EXPECT_EQ(std::count(background.begin(), background.end(), skin.pixel(s[k], tt[k])), 0);
    }
    int cs = (s[0] + s[1] + s[2]) / 3, ct = (tt[0] + tt[1] + tt[2]) / 3;
    EXPECT_EQ(std::count(background.begin(), background.end(), skin.pixel(cs, ct)), 0);
  }
}

TEST(DemoSkins, MappedPixelsArePainted) {
  Palette palette = makeDemoPalette();
  const std::vector<std::uint8_t> greys = {rampColor(kRampGrey, 2), rampColor(kRampGrey, 3)};
  for (int variant : {kCreatureSkinNormal, kCreatureSkinPain})
    expectMappedPixelsPainted(creature(), makeCreatureSkin(variant, palette), greys);
  expectMappedPixelsPainted(weapon(), makeWeaponSkin(palette), {rampColor(kRampGrey, 3)});
}

TEST(DemoWeapon, SharesTheCreaturesFramesAndIsClosed) {
  const Md2Data& md2 = weapon();
  EXPECT_EQ(frameNames(md2), frameNames(creature()));
  EXPECT_TRUE(test::isClosedAndConsistent(md2));
  EXPECT_GT(test::checkOutsideIsDrawn(md2, 0), 100);
  EXPECT_GT(test::checkOutsideIsDrawn(md2, 21), 100);
  EXPECT_GT(largestMove(md2, 0, 21), 4.0f);
}

}  // namespace
}  // namespace pelt
