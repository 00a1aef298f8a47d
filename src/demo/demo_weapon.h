#pragma once
// The creature's companion weapon: a cannon strapped to its head, posed
// frame by frame with the creature.

#include "demo/demo_paint.h"
#include "model/md2_format.h"
#include "skins/skin.h"

namespace pelt {

inline constexpr int kWeaponSkinSize = 128;

// Weapon skin layout: the barrel unrolled breech (left) to muzzle (right),
// top in the middle; the muzzle and the breech seen head-on; the mount.
inline constexpr SkinRect kBarrelRect{0, 0, 128, 64};
inline constexpr SkinRect kMuzzleRect{0, 64, 48, 48};
inline constexpr SkinRect kBreechRect{48, 64, 48, 48};
inline constexpr SkinRect kMountRect{96, 64, 32, 64};

// Same frame count and names as the creature.
Md2Data makeDemoWeapon();

Skin makeWeaponSkin(const Palette& palette);

}  // namespace pelt
