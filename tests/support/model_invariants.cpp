#include "support/model_invariants.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pelt::test {

namespace {

std::string triangleFault(const Model& m, int i, bool settled) {
  const ModelTriangle& tri = m.triangles[static_cast<size_t>(i)];
  const std::string at = "triangle " + std::to_string(i) + ": ";
  for (size_t k = 0; k < 3; ++k) {
    if (tri.vertexIndex[k] < 0 || tri.vertexIndex[k] >= m.vertexCount) return at + "vertex index";
    if (tri.stIndex[k] < 0 || tri.stIndex[k] >= m.stCount) return at + "st index";
    if (settled && tri.cornerSt[k] != m.stCoords[static_cast<size_t>(tri.stIndex[k])])
      return at + "corner st";
    if (!std::isfinite(tri.normal[k])) return at + "normal";
  }
  return "";
}

std::string compactFault(const Model& m) {
  std::vector<StCoord> firstUse;
  for (int i = 0; i < m.triangleCount; ++i)
    for (const StCoord& st : m.triangles[static_cast<size_t>(i)].cornerSt)
      if (std::find(firstUse.begin(), firstUse.end(), st) == firstUse.end()) firstUse.push_back(st);
  if (static_cast<int>(firstUse.size()) != m.stCount) return "st table not compact";
  for (size_t i = 0; i < firstUse.size(); ++i)
    if (m.stCoords[i] != firstUse[i]) return "st table not in first-use order";
  return "";
}

}  // namespace

std::string modelFault(const Model& m, bool settled) {
  if (m.vertexCount < 0 || m.vertexCount > kMaxVertices || m.triangleCount < 0 ||
      m.triangleCount > kMaxTriangles || m.stCount < 0 || m.stCount > kMaxStCoords)
    return "counts";
  if (m.stCoords.size() != kMaxStCoords || m.triangles.size() != kMaxTriangles) return "tables";
  for (int i = 0; i < m.triangleCount; ++i)
    if (std::string fault = triangleFault(m, i, settled); !fault.empty()) return fault;
  if (settled)
    if (std::string fault = compactFault(m); !fault.empty()) return fault;
  for (const ModelFrame& frame : m.frames) {
    if (static_cast<int>(frame.vertices.size()) != m.vertexCount)
      return "frame " + frame.name + " size";
    for (const Vec3& v : frame.vertices)
      if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
        return "frame not finite";
  }
  if (m.currentFrameIndex < 0 ||
      (!m.frames.empty() && m.currentFrameIndex >= static_cast<int>(m.frames.size())))
    return "current frame";
  if (m.skins.empty()
          ? m.currentSkinIndex != -1
          : (m.currentSkinIndex < 0 || m.currentSkinIndex >= static_cast<int>(m.skins.size())))
    return "current skin";
  for (const auto& skin : m.skins) {
    const auto area = static_cast<size_t>(skin->width) * static_cast<size_t>(skin->height);
    if (skin->pixels.size() != area || skin->storedPixels.size() != area)
      return "skin buffers of " + skin->name;
    if (skin->width != m.skinWidth || skin->height != m.skinHeight)
      return "skin size of " + skin->name;
  }
  return "";
}

}  // namespace pelt::test
