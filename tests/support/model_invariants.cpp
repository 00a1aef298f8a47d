#include "support/model_invariants.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pelt::test {

std::string modelFault(const Model& m, bool settled) {
  if (m.vertexCount < 0 || m.vertexCount > kMaxVertices || m.triangleCount < 0 ||
      m.triangleCount > kMaxTriangles || m.stCount < 0 || m.stCount > kMaxStCoords)
    return "counts";
  std::vector<StCoord> firstUse;
  // A vertex drag in progress points its triangles at an entry appended
  // after the table, until the release folds it in.
  const int stEntries = settled ? m.stCount : m.stCount + 1;
  for (int i = 0; i < m.triangleCount; ++i) {
    const ModelTriangle& tri = m.triangles[static_cast<size_t>(i)];
    for (size_t k = 0; k < 3; ++k) {
      if (tri.vertexIndex[k] < 0 || tri.vertexIndex[k] >= m.vertexCount || tri.stIndex[k] < 0 ||
          tri.stIndex[k] >= stEntries || !std::isfinite(tri.normal[k]) ||
          (settled && tri.cornerSt[k] != m.stCoords[static_cast<size_t>(tri.stIndex[k])]))
        return "triangle " + std::to_string(i) + " (indices, normal or corner st)";
      if (std::find(firstUse.begin(), firstUse.end(), tri.cornerSt[k]) == firstUse.end())
        firstUse.push_back(tri.cornerSt[k]);
    }
  }
  if (settled && !std::equal(firstUse.begin(), firstUse.end(), m.stCoords.begin(),
                             m.stCoords.begin() + m.stCount))
    return "st table not compact or not in first-use order";
  for (const ModelFrame& frame : m.frames) {
    if (static_cast<int>(frame.vertices.size()) != m.vertexCount) return "frame size";
    for (const Vec3& v : frame.vertices)
      if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
        return "frame not finite";
  }
  if (m.currentFrameIndex < 0 || (!m.frames.empty() && !m.currentFrame())) return "current frame";
  if (m.skins.empty() ? m.currentSkinIndex != -1 : !m.currentSkin()) return "current skin";
  for (const auto& skin : m.skins) {
    const auto area = static_cast<size_t>(m.skinWidth) * static_cast<size_t>(m.skinHeight);
    if (skin->width != m.skinWidth || skin->pixels.size() != area ||
        skin->storedPixels.size() != area)
      return "skin size or buffers of " + skin->name;
  }
  return "";
}

}  // namespace pelt::test
