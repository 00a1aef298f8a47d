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

TEST(DemoCreature, HasTheAdvertisedSizeFramesAndSkins) {
  const Md2Data& md2 = creature();
  EXPECT_GE(md2.triangles.size(), 300u);
  EXPECT_EQ(md2.skinWidth, 256);
  EXPECT_EQ(md2.skinHeight, 256);
  EXPECT_EQ(md2.skinNames, (std::vector<std::string>{"models/monsters/grub/skin.pcx",
                                                     "models/monsters/grub/pain.pcx"}));
  std::vector<std::string> names = frameNames(md2);
  ASSERT_EQ(names.size(), 24u);
  EXPECT_EQ(names.front(), "stand01");
  EXPECT_EQ(names[9], "stand10");
  EXPECT_EQ(names[10], "walk01");
  EXPECT_EQ(names[19], "walk10");
  EXPECT_EQ(names.back(), "pain04");
  EXPECT_EQ(names, creatureFrameNames());
}

TEST(DemoCreature, SurfaceIsClosedAndFacesOutwardInEveryFrame) {
  const Md2Data& md2 = creature();
  EXPECT_TRUE(test::isClosedAndConsistent(md2));
  for (std::size_t f : {0u, 14u, 21u})
    EXPECT_GT(test::checkOutsideIsDrawn(md2, static_cast<int>(f)), 500);
}

TEST(DemoCreature, EveryFrameMovesAndWalkingMovesMoreThanStanding) {
  const Md2Data& md2 = creature();
  for (std::size_t f = 1; f < md2.frames.size(); ++f)
    EXPECT_GT(largestMove(md2, f - 1, f), 0.5f) << md2.frames[f].name;
  float standing = largestMove(md2, 0, 5);
  float walking = largestMove(md2, 10, 15);  // half a stride apart
  EXPECT_GT(walking, 6.0f);
  EXPECT_GT(walking, 2 * standing);
  EXPECT_GT(largestMove(md2, 0, 21), 8.0f);  // rearing up in pain
  // The loops close: the last frame of each loop leads back to the first.
  EXPECT_LT(largestMove(md2, 19, 10), 1.5f * largestMove(md2, 10, 11));
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

TEST(DemoCreatureSkin, MappedPixelsArePaintedInBothSkins) {
  Palette palette = makeDemoPalette();
  for (int variant : {kCreatureSkinNormal, kCreatureSkinPain}) {
    Skin skin = makeCreatureSkin(variant, palette);
    EXPECT_EQ(skin.width, 256);
    EXPECT_EQ(skin.height, 256);
    EXPECT_EQ(skin.palette, palette);
    EXPECT_EQ(skin.storedPixels, skin.pixels);
    expectMappedPixelsPainted(creature(), skin, {rampColor(kRampGrey, 2), rampColor(kRampGrey, 3)});
  }
}

TEST(DemoCreatureSkin, PainSkinDiffersOnlyOnBodyAndHead) {
  Palette palette = makeDemoPalette();
  Skin normal = makeCreatureSkin(kCreatureSkinNormal, palette);
  Skin pain = makeCreatureSkin(kCreatureSkinPain, palette);
  int changed = 0;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      if (normal.pixel(x, y) == pain.pixel(x, y)) continue;
      ++changed;
      EXPECT_TRUE(kBackRect.contains(x, y) || kBellyRect.contains(x, y) || kHeadRect.contains(x, y))
          << x << "," << y;
    }
  EXPECT_GT(changed, 256 * 256 / 8);
}

TEST(DemoWeapon, SharesTheCreaturesFramesAndIsClosed) {
  const Md2Data& md2 = weapon();
  EXPECT_EQ(frameNames(md2), frameNames(creature()));
  EXPECT_EQ(md2.skinNames, (std::vector<std::string>{"models/monsters/grub/weapon.pcx"}));
  EXPECT_EQ(md2.skinWidth, kWeaponSkinSize);
  EXPECT_TRUE(test::isClosedAndConsistent(md2));
  EXPECT_GT(test::checkOutsideIsDrawn(md2, 0), 100);
  EXPECT_GT(test::checkOutsideIsDrawn(md2, 21), 100);
  EXPECT_GT(largestMove(md2, 0, 21), 4.0f);
}

TEST(DemoWeapon, SitsOnTheCreaturesHeadInEveryFrame) {
  for (std::size_t f = 0; f < creature().frames.size(); ++f) {
    ModelFrame body = decodeFrame(creature().frames[f]);
    ModelFrame gun = decodeFrame(weapon().frames[f]);
    float bodyTop = -1e9f, gunBottom = 1e9f, gunX = 0;
    for (const Vec3& v : body.vertices)
      if (v.x > 10) bodyTop = std::max(bodyTop, v.z);
    for (const Vec3& v : gun.vertices) gunBottom = std::min(gunBottom, v.z), gunX += v.x;
    gunX /= static_cast<float>(gun.vertices.size());
    EXPECT_LT(gunBottom, bodyTop) << "weapon floats above the head in " << body.name;
    EXPECT_GT(gunX, 5.0f) << body.name;
  }
}

TEST(DemoWeaponSkin, MappedPixelsArePainted) {
  Skin skin = makeWeaponSkin(makeDemoPalette());
  EXPECT_EQ(skin.width, kWeaponSkinSize);
  EXPECT_EQ(skin.height, kWeaponSkinSize);
  expectMappedPixelsPainted(weapon(), skin, {rampColor(kRampGrey, 3)});
}

}  // namespace
}  // namespace pelt
