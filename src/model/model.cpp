#include "model/model.h"

#include <algorithm>
#include <cmath>

namespace pelt {

void rebuildStTable(Model& model) {
  for (int i = 0; i < model.triangleCount; ++i) {
    ModelTriangle& tri = model.triangles[static_cast<size_t>(i)];
    for (int k = 0; k < 3; ++k) tri.cornerSt[k] = model.stCoords[static_cast<size_t>(tri.stIndex[k])];
  }
  rebuildStIndices(model);
}

void rebuildStIndices(Model& model) {
  model.stCount = 0;
  for (int i = 0; i < model.triangleCount; ++i) {
    ModelTriangle& tri = model.triangles[static_cast<size_t>(i)];
    for (int k = 0; k < 3; ++k) {
      auto begin = model.stCoords.begin();
      auto end = begin + model.stCount;
      auto found = std::find(begin, end, tri.cornerSt[k]);
      if (found == end) {
        *end = tri.cornerSt[k];
        ++model.stCount;
      }
      tri.stIndex[k] = static_cast<std::int16_t>(found - begin);
    }
  }
}

void updateFaceNormal(ModelTriangle& tri, const std::vector<Vec3>& vertices) {
  const Vec3& p0 = vertices[static_cast<size_t>(tri.vertexIndex[0])];
  const Vec3& p1 = vertices[static_cast<size_t>(tri.vertexIndex[1])];
  const Vec3& p2 = vertices[static_cast<size_t>(tri.vertexIndex[2])];
  float e1x = p1.x - p0.x, e1y = p1.y - p0.y, e1z = p1.z - p0.z;
  float e2x = p2.x - p1.x, e2y = p2.y - p1.y, e2z = p2.z - p1.z;
  float nx = e1y * e2z - e1z * e2y;
  float ny = e1z * e2x - e1x * e2z;
  float nz = e1x * e2y - e1y * e2x;
  float length = std::sqrt(nx * nx + ny * ny + nz * nz);
  // Far-apart corners overflow and tiny ones underflow; neither gives a
  // direction, so such a face keeps its normal like a degenerate one.
  if (!std::isfinite(length) || length == 0.0f) return;
  const std::array<float, 3> unit{nx / length, ny / length, nz / length};
  if (std::isfinite(unit[0]) && std::isfinite(unit[1]) && std::isfinite(unit[2])) tri.normal = unit;
}

void computeFaceNormals(Model& model) {
  const ModelFrame* frame = model.currentFrame();
  if (!frame) return;
  for (int i = 0; i < model.triangleCount; ++i)
    updateFaceNormal(model.triangles[static_cast<size_t>(i)], frame->vertices);
}

void storeMapping(Model& model) {
  rebuildStTable(model);
  model.storedStCount = model.stCount;
  model.storedStCoords = model.stCoords;
  for (int i = 0; i < model.triangleCount; ++i) {
    ModelTriangle& tri = model.triangles[static_cast<size_t>(i)];
    tri.storedStIndex = tri.stIndex;
    tri.storedVertexIndex = tri.vertexIndex;
  }
}

void revertMapping(Model& model) {
  model.stCount = model.storedStCount;
  model.stCoords = model.storedStCoords;
  for (int i = 0; i < model.triangleCount; ++i) {
    ModelTriangle& tri = model.triangles[static_cast<size_t>(i)];
    tri.stIndex = tri.storedStIndex;
    tri.vertexIndex = tri.storedVertexIndex;
    for (int k = 0; k < 3; ++k) tri.cornerSt[k] = model.stCoords[static_cast<size_t>(tri.stIndex[k])];
  }
  rebuildStTable(model);
  computeFaceNormals(model);
}

}  // namespace pelt
