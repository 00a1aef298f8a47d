#include "demo/demo_weapon.h"

#include <array>
#include <cmath>

#include "demo/demo_creature.h"
#include "demo/demo_mesh.h"
#include "demo/demo_palette.h"
#include "demo/demo_vector.h"

namespace pelt {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kBarrelSides = 8;
constexpr double kMountU = 0.8;

struct BarrelRing {
  double along;  // 0 breech .. 1 muzzle
  double radius;
};
constexpr std::array<BarrelRing, 6> kBarrelRings = {{
    {0.0, 3.2},
    {0.25, 3.2},
    {0.3, 2.3},
    {0.82, 2.3},
    {0.86, 3.0},
    {1.0, 3.0},
}};
constexpr double kBarrelLength = 22;

void addWeapon(MeshBuilder& mesh, const CreaturePose& pose) {
  Vec3 top = add(creatureSpinePoint(pose, kMountU),
                 {0, 0, static_cast<float>(creatureHalfHeight(pose, kMountU))});
  // The barrel follows the head and points a little upward; in pain frames
  // it kicks back.
  Vec3 forward = normalized(add(creatureSpineDirection(pose, 0.9), {0, 0, 0.15f}));
  Vec3 side = normalized(cross(Vec3{0, 0, 1}, forward));
  Vec3 up = normalized(cross(forward, side));
  Vec3 breech = add(add(top, scale(up, 5.5)), scale(forward, -8 - 3 * pose.pain));

  mesh.beginPart();
  std::array<std::array<int, kBarrelSides>, kBarrelRings.size()> rings{};
  for (std::size_t ring = 0; ring < kBarrelRings.size(); ++ring) {
    Vec3 centre = add(breech, scale(forward, kBarrelLength * kBarrelRings[ring].along));
    for (int k = 0; k < kBarrelSides; ++k) {
      double a = 2 * kPi * k / kBarrelSides;  // 0 on top
      rings[ring][k] =
          mesh.addVertex(add(centre, add(scale(up, kBarrelRings[ring].radius * std::cos(a)),
                                         scale(side, kBarrelRings[ring].radius * std::sin(a)))));
    }
  }
  // Unrolled with the top in the middle: the seam runs underneath.
  for (std::size_t ring = 0; ring + 1 < kBarrelRings.size(); ++ring)
    for (int k = 0; k < kBarrelSides; ++k) {
      int next = (k + 1) % kBarrelSides;
      int stK = (k + kBarrelSides / 2) % kBarrelSides;
      auto around = [&](std::size_t r, int offset) {
        return stInRect(kBarrelRect, kBarrelRings[r].along,
                        (stK + offset) / static_cast<double>(kBarrelSides));
      };
      mesh.addQuad({rings[ring][k], rings[ring + 1][k], rings[ring + 1][next], rings[ring][next]},
                   {around(ring, 0), around(ring + 1, 0), around(ring + 1, 1), around(ring, 1)});
    }
  // The muzzle is a cone sunk into the barrel: the bore.
  const std::size_t last = kBarrelRings.size() - 1;
  int bore = mesh.addVertex(add(breech, scale(forward, kBarrelLength * 0.9)));
  int back = mesh.addVertex(add(breech, scale(forward, -1.0)));
  for (int k = 0; k < kBarrelSides; ++k) {
    int next = (k + 1) % kBarrelSides;
    double a0 = 2 * kPi * k / kBarrelSides, a1 = 2 * kPi * (k + 1) / kBarrelSides;
    mesh.addTriangle(
        {rings[last][next], rings[last][k], bore},
        {stOnDisc(kMuzzleRect, std::sin(a1), std::cos(a1)),
         stOnDisc(kMuzzleRect, std::sin(a0), std::cos(a0)), stOnDisc(kMuzzleRect, 0, 0)});
    mesh.addTriangle(
        {rings[0][k], rings[0][next], back},
        {stOnDisc(kBreechRect, -std::sin(a0), std::cos(a0)),
         stOnDisc(kBreechRect, -std::sin(a1), std::cos(a1)), stOnDisc(kBreechRect, 0, 0)});
  }
  mesh.endPart();

  // A mount block from inside the head up to the barrel.
  mesh.beginPart();
  Vec3 mountCentre = add(top, add(scale(up, 1.0), scale(forward, 2)));
  std::array<int, 8> corner{};
  for (int i = 0; i < 8; ++i) {
    Vec3 offset = add(add(scale(forward, i & 1 ? 5 : -5), scale(side, i & 2 ? 2.5 : -2.5)),
                      scale(up, i & 4 ? 3.5 : -3.0));
    corner[i] = mesh.addVertex(add(mountCentre, offset));
  }
  // (u, v) corners anticlockwise about each face's axis, as in the box fixture.
  static constexpr int kU[4] = {0, 1, 1, 0};
  static constexpr int kV[4] = {0, 0, 1, 1};
  for (int face = 0; face < 6; ++face) {
    int axis = face / 2;
    bool positive = face % 2 == 0;
    int u = (axis + 1) % 3, v = (axis + 2) % 3;
    std::array<int, 4> quad{};
    std::array<StCoord, 4> quadSt{};
    SkinRect cell{kMountRect.x, kMountRect.y + (face % 3) * 21, kMountRect.w, 21};
    for (int c = 0; c < 4; ++c) {
      int k = positive ? c : 3 - c;
      quad[c] = corner[(positive ? 1 << axis : 0) | (kU[k] << u) | (kV[k] << v)];
      quadSt[c] = stInRect(cell, kU[k], kV[k]);
    }
    mesh.addQuad(quad, quadSt);
  }
  mesh.endPart();
}

}  // namespace

Md2Data makeDemoWeapon() {
  std::vector<std::string> names = creatureFrameNames();
  std::vector<MeshBuilder> posed(names.size());
  for (std::size_t f = 0; f < names.size(); ++f)
    addWeapon(posed[f], creaturePose(static_cast<int>(f)));
  return assembleMd2(posed, names, kWeaponSkinSize, kWeaponSkinSize,
                     {"models/monsters/grub/weapon.pcx"});
}

Skin makeWeaponSkin(const Palette& palette) {
  Skin skin;
  allocateSkin(skin, kWeaponSkinSize, kWeaponSkinSize);
  skin.palette = palette;
  paintRect(skin, {0, 0, skin.width, skin.height},
            [](double, double, int, int) { return rampColor(kRampGrey, 3); });
  paintRect(skin, kBarrelRect, [](double u, double v, int x, int y) {
    // Bright along the top, dark underneath, with bands at the joints.
    double fromTop = std::fabs(v - 0.5) * 2;
    for (const BarrelRing& ring : kBarrelRings)
      if (std::fabs(u - ring.along) < 0.012) return rampColor(kRampSteel, 3);
    if (u > 0.86) return rampColor(kRampBrown, 10 - static_cast<int>(fromTop * 6));  // brass muzzle
    if (u < 0.25 && hashNoise(x / 5, y / 5, 21) < 0.08) return rampColor(kRampGrey, 12);  // rivets
    if (std::fabs(v - 0.5) < 0.03) return rampColor(kRampSteel, 15);  // highlight
    return rampColor(kRampSteel,
                     12 - static_cast<int>(fromTop * 9) + (hashNoise(x, y, 22) < 0.2 ? 1 : 0));
  });
  auto disc = [&](const SkinRect& r, auto paint) {
    paintRect(skin, r, [&](double u, double v, int, int) {
      double d = std::hypot(u - 0.5, v - 0.5) * 2;
      return paint(d);
    });
  };
  disc(kMuzzleRect, [](double d) {
    if (d < 0.25) return rampColor(kRampOrange, 14);  // glow down the bore
    if (d < 0.6) return rampColor(kRampGrey, static_cast<int>(d * 4));
    return rampColor(kRampBrown, 11 - static_cast<int>(d * 4));
  });
  disc(kBreechRect, [](double d) {
    if (d < 0.3) return rampColor(kRampRed, 8);  // cap
    if (static_cast<int>(d * 8) % 2) return rampColor(kRampSteel, 6);
    return rampColor(kRampSteel, 10);
  });
  paintRect(skin, kMountRect, [](double u, double v, int x, int y) {
    double cellV = std::fmod(v * 3, 1.0);
    if (u < 0.06 || u > 0.94 || cellV < 0.06 || cellV > 0.94) return rampColor(kRampBrown, 2);
    if (std::hypot((u - 0.2) * 1.0, (cellV - 0.3) * 0.5) < 0.06)
      return rampColor(kRampGrey, 13);  // bolt
    return rampColor(kRampBrown, 6 + (hashNoise(x, y / 2, 23) < 0.3 ? 1 : 0));
  });
  skin.storedPixels = skin.pixels;
  return skin;
}

}  // namespace pelt
