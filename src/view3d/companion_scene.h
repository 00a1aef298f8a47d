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
  // While an animation plays: the companion's next frame and how far the
  // vertices blend toward it (0: not at all).
  std::span<const Vec3> nextVertices{};
  float blend = 0.0f;
};

}  // namespace pelt
