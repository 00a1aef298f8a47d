#pragma once
// What the 3D view needs of one shown companion model: the vertices of the
// frame at the model's frame index, its triangles (whose render scratch the
// view writes), its st table, skin and offset.

#include <span>

#include "model/model.h"
#include "skins/skin.h"

namespace pelt {

struct CompanionScene {
  std::span<const Vec3> vertices;
  std::span<ModelTriangle> triangles;
  std::span<const StCoord> stCoords;
  Skin* skin = nullptr;
  Vec3 offset;
};

}  // namespace pelt
