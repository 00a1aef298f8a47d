#pragma once
// The demo creature: a segmented grub on six legs with plates along its back.
// Its pose is shared with the weapon it carries, so both animate together.

#include <string>
#include <vector>

#include "demo/demo_paint.h"
#include "model/md2_format.h"
#include "model/model.h"

namespace pelt {

inline constexpr int kCreatureSkinSize = 256;
inline constexpr int kCreatureLegPairs = 3;
inline constexpr int kCreaturePlates = 5;

// Where each part of the creature lies on its skin. The back and the belly
// run tail (left) to neck (right); the head wraps once around, top in the
// middle; face, tail end and eyes are seen head-on; each plate has a cell and
// each pair of legs a column.
inline constexpr SkinRect kBackRect{0, 0, 176, 64};
inline constexpr SkinRect kBellyRect{0, 64, 176, 48};
inline constexpr SkinRect kHeadRect{0, 112, 96, 96};
inline constexpr SkinRect kFaceRect{96, 112, 80, 80};
inline constexpr SkinRect kTailRect{96, 192, 48, 48};
inline constexpr SkinRect kEyeRect{144, 192, 32, 32};
inline constexpr SkinRect kPlateRect{176, 0, 80, 111};
inline constexpr SkinRect kLegRect{176, 112, 78, 144};

SkinRect plateCell(int plate);  // 2 x 3 cells of kPlateRect
SkinRect legColumn(int pair);   // 3 columns of kLegRect, front pair first

// Body rings from tail to nose; the last few form the head.
inline constexpr int kCreatureRings = 16;
inline constexpr int kCreatureHeadRing = 12;
inline constexpr int kCreatureRingSides = 12;

// "stand01".."stand10", "walk01".."walk10", "pain01".."pain04".
std::vector<std::string> creatureFrameNames();

struct CreaturePose {
  double walkPhase = 0;  // radians; legs and body wave
  double walkAmount = 0;
  double breath = 0;  // radians; slow idle sway
  double pain = 0;    // 0 .. 1, rearing up and curling
};
CreaturePose creaturePose(int frame);

// The centre of the body at `u` (0 tail .. 1 nose) in a pose, and the
// direction the body runs there.
Vec3 creatureSpinePoint(const CreaturePose& pose, double u);
Vec3 creatureSpineDirection(const CreaturePose& pose, double u);
// Half height of the body at `u` (the top of the back is this far above the spine).
double creatureHalfHeight(const CreaturePose& pose, double u);

Md2Data makeDemoCreature();

}  // namespace pelt
