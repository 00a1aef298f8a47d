#pragma once
// The creature's skins, painted region by region over the layout its
// mapping uses.

#include "skins/skin.h"

namespace pelt {

inline constexpr int kCreatureSkinNormal = 0;
inline constexpr int kCreatureSkinPain = 1;  // the same creature, bruised and bleeding

Skin makeCreatureSkin(int variant, const Palette& palette);

}  // namespace pelt
