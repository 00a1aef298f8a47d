#include "demo/demo_creature.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "demo/demo_mesh.h"
#include "demo/demo_vector.h"

namespace pelt {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTailX = -44, kNoseX = 40;
constexpr double kSpineZ = -4;
constexpr double kHalfWidth = 11, kHalfHeight = 9;
constexpr double kBellyFlattening = 0.75;
constexpr double kGroundZ = -24;
constexpr int kStandFrames = 10, kWalkFrames = 10, kPainFrames = 4;

double smoothstep(double a, double b, double x) {
  double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// Girth along the body: a pointed tail, seven bulging segments, a pinched
// neck, a round head and a blunt nose.
double girth(double u) {
  double tail = 0.3 + 0.7 * smoothstep(0.0, 0.25, u);
  double segments = 1.0 + 0.07 * std::cos(2 * kPi * u * 7);
  double neck = 1.0 - 0.18 * std::exp(-std::pow((u - 0.74) / 0.05, 2));
  double nose = 1.0 - 0.45 * smoothstep(0.88, 1.0, u);
  return tail * (u < 0.74 ? segments : 1.0) * neck * nose;
}

double breathScale(const CreaturePose& pose) {
  return (1.0 + 0.04 * std::sin(pose.breath)) * (1.0 - 0.08 * pose.pain);
}

// Ring vertex angle: 0 on top of the back, increasing towards the left flank (+y).
double ringAngle(int side) { return 2 * kPi * side / kCreatureRingSides; }

Vec3 ringVertex(const CreaturePose& pose, double u, int side) {
  Vec3 centre = creatureSpinePoint(pose, u);
  double g = girth(u) * breathScale(pose);
  double a = ringAngle(side);
  double c = std::cos(a);
  return {centre.x, static_cast<float>(centre.y + kHalfWidth * g * std::sin(a)),
          static_cast<float>(centre.z + kHalfHeight * g * c * (c < 0 ? kBellyFlattening : 1.0))};
}

double ringU(int ring) { return static_cast<double>(ring) / (kCreatureRings - 1); }

// st of a body corner on the back, belly or head, by the strip (from ring
// stripRing and side stripSide) it belongs to.
StCoord bodySt(int ring, int side, int stripRing, int stripSide) {
  int degrees = 360 * side / kCreatureRingSides;
  if (stripRing >= kCreatureHeadRing) {
    // Around from the chin: the seam runs under the head.
    int startDegrees = (360 * stripSide / kCreatureRingSides + 180) % 360;
    int fromChin = startDegrees + (side - stripSide) * 360 / kCreatureRingSides;
    double along =
        static_cast<double>(ring - kCreatureHeadRing) / (kCreatureRings - 1 - kCreatureHeadRing);
    return stInRect(kHeadRect, along, fromChin / 360.0);
  }
  double along = static_cast<double>(ring) / kCreatureHeadRing;
  int stripDegrees = 360 * stripSide / kCreatureRingSides + 180 / kCreatureRingSides;
  bool onBack = stripDegrees < 90 || stripDegrees > 270;
  if (onBack) {
    // -90 (right flank) .. 90 (left flank) through the top.
    int acrossTop = stripSide >= kCreatureRingSides / 2 ? degrees - 360 : degrees;
    return stInRect(kBackRect, along, (acrossTop + 90) / 180.0);
  }
  return stInRect(kBellyRect, along, (degrees - 90) / 180.0);
}

void addBody(MeshBuilder& mesh, const CreaturePose& pose) {
  mesh.beginPart();
  std::vector<std::array<int, kCreatureRingSides>> rings(kCreatureRings);
  for (int ring = 0; ring < kCreatureRings; ++ring)
    for (int side = 0; side < kCreatureRingSides; ++side)
      rings[ring][side] = mesh.addVertex(ringVertex(pose, ringU(ring), side));
  for (int ring = 0; ring + 1 < kCreatureRings; ++ring) {
    for (int side = 0; side < kCreatureRingSides; ++side) {
      int next = (side + 1) % kCreatureRingSides;
      mesh.addQuad(
          {rings[ring][side], rings[ring + 1][side], rings[ring + 1][next], rings[ring][next]},
          {bodySt(ring, side, ring, side), bodySt(ring + 1, side, ring, side),
           bodySt(ring + 1, side + 1, ring, side), bodySt(ring, side + 1, ring, side)});
    }
  }
  Vec3 tailTip = creatureSpinePoint(pose, 0);
  tailTip.x -= 5;
  Vec3 noseTip = creatureSpinePoint(pose, 1);
  noseTip.x += 3;
  noseTip.z -= 1;
  int tail = mesh.addVertex(tailTip);
  int nose = mesh.addVertex(noseTip);
  const int last = kCreatureRings - 1;
  for (int side = 0; side < kCreatureRingSides; ++side) {
    int next = (side + 1) % kCreatureRingSides;
    double a0 = ringAngle(side), a1 = ringAngle(side + 1);
    // The tail is seen from behind, so its left flank shows on the left.
    mesh.addTriangle({rings[0][side], rings[0][next], tail},
                     {stOnDisc(kTailRect, -std::sin(a0), std::cos(a0)),
                      stOnDisc(kTailRect, -std::sin(a1), std::cos(a1)), stOnDisc(kTailRect, 0, 0)});
    mesh.addTriangle({rings[last][next], rings[last][side], nose},
                     {stOnDisc(kFaceRect, std::sin(a1), std::cos(a1)),
                      stOnDisc(kFaceRect, std::sin(a0), std::cos(a0)), stOnDisc(kFaceRect, 0, 0)});
  }
  mesh.endPart();
}

// A four-sided tapering leg through hip, knee and ankle, ending in a claw tip.
void addLeg(MeshBuilder& mesh, const SkinRect& column, Vec3 hip, Vec3 knee, Vec3 ankle, Vec3 tip) {
  mesh.beginPart();
  const std::array<Vec3, 3> joints = {hip, knee, ankle};
  const std::array<double, 3> widths = {3.2, 2.4, 1.7};
  const std::array<double, 4> along = {0.0, 0.45, 0.85, 1.0};
  std::array<std::array<int, 4>, 3> rings{};
  for (int j = 0; j < 3; ++j) {
    // Joint rings halve the bend, so the inside of a knee does not fold over.
    Vec3 in = normalized(sub(joints[j], j == 0 ? hip : joints[j - 1]));
    Vec3 out = normalized(sub(j == 2 ? tip : joints[j + 1], joints[j]));
    Vec3 axis = j == 0 ? out : normalized(add(in, out));
    // Legs reach sideways, never along the body, so x gives a steady frame.
    Vec3 e1 = normalized(cross(axis, Vec3{1, 0, 0}));
    Vec3 e2 = normalized(cross(axis, e1));
    for (int k = 0; k < 4; ++k) {
      double a = kPi / 4 + k * kPi / 2;
      rings[j][k] = mesh.addVertex(add(
          joints[j], add(scale(e1, widths[j] * std::cos(a)), scale(e2, widths[j] * std::sin(a)))));
    }
  }
  int claw = mesh.addVertex(tip);
  auto legSt = [&](int j, int k) { return stInRect(column, k / 4.0, along[j]); };
  for (int j = 0; j < 2; ++j)
    for (int k = 0; k < 4; ++k)
      mesh.addQuad({rings[j][k], rings[j + 1][k], rings[j + 1][(k + 1) % 4], rings[j][(k + 1) % 4]},
                   {legSt(j, k), legSt(j + 1, k), legSt(j + 1, k + 1), legSt(j, k + 1)});
  // The hip end is buried in the body; it takes a corner of the column.
  mesh.addQuad(rings[0], {stInRect(column, 0, 0), stInRect(column, 0.2, 0),
                          stInRect(column, 0.2, 0.03), stInRect(column, 0, 0.03)});
  for (int k = 0; k < 4; ++k)
    mesh.addTriangle({rings[2][(k + 1) % 4], rings[2][k], claw},
                     {legSt(2, k + 1), legSt(2, k), stInRect(column, (k + 0.5) / 4.0, along[3])});
  mesh.endPart();
}

void addLegs(MeshBuilder& mesh, const CreaturePose& pose) {
  static constexpr double kLegU[kCreatureLegPairs] = {0.62, 0.45, 0.28};
  for (int pair = 0; pair < kCreatureLegPairs; ++pair) {
    double u = kLegU[pair];
    Vec3 centre = creatureSpinePoint(pose, u);
    double g = girth(u) * breathScale(pose);
    for (int sideSign : {1, -1}) {
      // Alternate tripods: front and back legs of one side with the middle leg of the other.
      double phase = pose.walkPhase + ((pair + (sideSign > 0 ? 0 : 1)) % 2) * kPi;
      double swing = 6 * pose.walkAmount * std::sin(phase);
      double lift = 4 * pose.walkAmount * std::max(0.0, std::cos(phase));
      double flail = pose.pain * (pair % 2 ? 6 : 9);
      Vec3 hip = {static_cast<float>(centre.x),
                  static_cast<float>(centre.y + sideSign * kHalfWidth * g * 0.55),
                  static_cast<float>(centre.z - kHalfHeight * g * 0.35)};
      Vec3 foot = {static_cast<float>(centre.x + swing + (1 - pair) * 4),
                   static_cast<float>(sideSign * (25 + flail * 0.4)),
                   static_cast<float>(kGroundZ + lift + flail)};
      Vec3 knee = {(hip.x + foot.x) / 2, static_cast<float>(sideSign * (kHalfWidth * g + 9)),
                   static_cast<float>(centre.z + 4 + lift * 0.5)};
      Vec3 ankle = add(foot, {0, static_cast<float>(-sideSign * 1.5), 5});
      addLeg(mesh, legColumn(pair), hip, knee, ankle, foot);
    }
  }
}

void addEyes(MeshBuilder& mesh, const CreaturePose& pose) {
  const double u = 0.9;
  Vec3 centre = creatureSpinePoint(pose, u);
  double g = girth(u) * breathScale(pose);
  for (int sideSign : {1, -1}) {
    mesh.beginPart();
    Vec3 outward = normalized(Vec3{0.55f, static_cast<float>(sideSign * 0.7), 0.45f});
    Vec3 base = add(centre, {0, static_cast<float>(sideSign * kHalfWidth * g * 0.5),
                             static_cast<float>(kHalfHeight * g * 0.45)});
    Vec3 front = add(base, scale(outward, 7.5));
    Vec3 back = add(base, scale(outward, -1.0));
    Vec3 ringCentre = add(base, scale(outward, 5.0));
    Vec3 e1 = normalized(cross(outward, Vec3{0, 0, 1}));
    Vec3 e2 = normalized(cross(outward, e1));
    std::array<int, 6> ring{};
    for (int k = 0; k < 6; ++k) {
      double a = 2 * kPi * k / 6;
      ring[k] = mesh.addVertex(
          add(ringCentre, add(scale(e1, 2.6 * std::cos(a)), scale(e2, 2.6 * std::sin(a)))));
    }
    int f = mesh.addVertex(front), b = mesh.addVertex(back);
    for (int k = 0; k < 6; ++k) {
      double a0 = 2 * kPi * k / 6, a1 = 2 * kPi * (k + 1) / 6;
      StCoord s0 = stOnDisc(kEyeRect, std::cos(a0), std::sin(a0));
      StCoord s1 = stOnDisc(kEyeRect, std::cos(a1), std::sin(a1));
      StCoord middle = stOnDisc(kEyeRect, 0, 0);
      mesh.addTriangle({ring[k], ring[(k + 1) % 6], f}, {s0, s1, middle});
      mesh.addTriangle({ring[(k + 1) % 6], ring[k], b}, {s1, s0, middle});
    }
    mesh.endPart();
  }
}

// Square pyramids leaning back, their bases sunk into the back.
void addPlates(MeshBuilder& mesh, const CreaturePose& pose) {
  for (int plate = 0; plate < kCreaturePlates; ++plate) {
    double u = 0.18 + 0.11 * plate;
    double size = 0.75 + 0.5 * std::sin(kPi * (plate + 0.5) / kCreaturePlates);
    Vec3 centre = creatureSpinePoint(pose, u);
    Vec3 base = add(centre, {0, 0, static_cast<float>(creatureHalfHeight(pose, u) * 0.7)});
    mesh.beginPart();
    static constexpr float kCornerX[4] = {-1, 1, 1, -1};
    static constexpr float kCornerY[4] = {-1, -1, 1, 1};
    std::array<int, 4> corners{};
    for (int k = 0; k < 4; ++k)
      corners[k] = mesh.addVertex(add(base, {static_cast<float>(kCornerX[k] * 4 * size),
                                             static_cast<float>(kCornerY[k] * 3 * size), 0}));
    int apex = mesh.addVertex(
        add(base, {static_cast<float>(-3 * size), 0, static_cast<float>(6 + 4 * size)}));
    SkinRect cell = plateCell(plate);
    // Seen from above with the nose to the right.
    auto cornerSt = [&](int k) {
      return stInRect(cell, kCornerX[k] > 0 ? 1 : 0, kCornerY[k] > 0 ? 0 : 1);
    };
    StCoord apexSt = stInRect(cell, 0.3, 0.5);
    for (int k = 0; k < 4; ++k)
      mesh.addTriangle({corners[k], corners[(k + 1) % 4], apex},
                       {cornerSt(k), cornerSt((k + 1) % 4), apexSt});
    mesh.addQuad({corners[3], corners[2], corners[1], corners[0]},
                 {cornerSt(3), cornerSt(2), cornerSt(1), cornerSt(0)});
    mesh.endPart();
  }
}

}  // namespace

SkinRect plateCell(int plate) {
  int w = kPlateRect.w / 2, h = kPlateRect.h / 3;
  return {kPlateRect.x + (plate % 2) * w, kPlateRect.y + (plate / 2) * h, w, h};
}

SkinRect legColumn(int pair) {
  int w = kLegRect.w / kCreatureLegPairs;
  return {kLegRect.x + pair * w, kLegRect.y, w, kLegRect.h};
}

std::vector<std::string> creatureFrameNames() {
  std::vector<std::string> names;
  auto add = [&](const char* action, int count) {
    for (int i = 1; i <= count; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "%s%02d", action, i);
      names.push_back(name);
    }
  };
  add("stand", kStandFrames);
  add("walk", kWalkFrames);
  add("pain", kPainFrames);
  return names;
}

CreaturePose creaturePose(int frame) {
  CreaturePose pose;
  if (frame < kStandFrames) {
    pose.breath = 2 * kPi * frame / kStandFrames;
  } else if (frame < kStandFrames + kWalkFrames) {
    pose.walkPhase = 2 * kPi * (frame - kStandFrames) / kWalkFrames;
    pose.walkAmount = 1;
  } else {
    int step = frame - kStandFrames - kWalkFrames;
    static constexpr double kPainCurve[kPainFrames] = {0.6, 1.0, 0.7, 0.3};
    pose.pain = kPainCurve[std::clamp(step, 0, kPainFrames - 1)];
  }
  return pose;
}

Vec3 creatureSpinePoint(const CreaturePose& pose, double u) {
  double x = kTailX + (kNoseX - kTailX) * u;
  // A travelling wave down the body while walking, a slow sway when idle,
  // rearing and curling when hurt.
  double y =
      pose.walkAmount * 4.0 * std::sin(2 * kPi * 1.1 * u - pose.walkPhase) * (0.4 + 0.6 * u) +
      1.5 * std::sin(pose.breath) * u * u + pose.pain * 7 * (u - 0.5) * (u - 0.5);
  double z = kSpineZ + pose.walkAmount * 1.0 * std::sin(2 * kPi * 2.2 * u - 2 * pose.walkPhase) +
             1.5 * std::sin(pose.breath + 1) * smoothstep(0.7, 1.0, u) +
             pose.pain * (12 * smoothstep(0.55, 1.0, u) + 5 * smoothstep(0.3, 0.0, u));
  x -= pose.pain * 5 * smoothstep(0.6, 1.0, u);
  return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

Vec3 creatureSpineDirection(const CreaturePose& pose, double u) {
  const double d = 0.01;
  return normalized(sub(creatureSpinePoint(pose, std::min(u + d, 1.0)),
                        creatureSpinePoint(pose, std::max(u - d, 0.0))));
}

double creatureHalfHeight(const CreaturePose& pose, double u) {
  return kHalfHeight * girth(u) * breathScale(pose);
}

Md2Data makeDemoCreature() {
  std::vector<std::string> names = creatureFrameNames();
  std::vector<MeshBuilder> posed(names.size());
  for (std::size_t f = 0; f < names.size(); ++f) {
    CreaturePose pose = creaturePose(static_cast<int>(f));
    addBody(posed[f], pose);
    addLegs(posed[f], pose);
    addEyes(posed[f], pose);
    addPlates(posed[f], pose);
  }
  return assembleMd2(posed, names, kCreatureSkinSize, kCreatureSkinSize,
                     {"models/monsters/grub/skin.pcx", "models/monsters/grub/pain.pcx"});
}

}  // namespace pelt
