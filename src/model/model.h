#pragma once
// The one loaded model: counts, the shared st table, triangles, frames, skins.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skins/skin.h"

namespace pelt {

inline constexpr int kMaxVertices = 4096;
inline constexpr int kMaxTriangles = 4096;
inline constexpr int kMaxStCoords = 12288;

struct StCoord {
  std::int16_t s = 0;
  std::int16_t t = 0;
  friend bool operator==(const StCoord&, const StCoord&) = default;
};

enum TriangleFlag : std::uint32_t {
  kTriangleSelected = 1,
  kTriangleMoving = 2,
  kTriangleHidden = 4,
};

struct ModelTriangle {
  std::uint32_t flags = 0;
  std::array<std::int16_t, 3> vertexIndex{};
  std::array<std::int16_t, 3> stIndex{};
  std::array<std::int16_t, 3> storedStIndex{};
  // An imported mapping may change which vertices a triangle uses.
  std::array<std::int16_t, 3> storedVertexIndex{};
  std::array<StCoord, 3> cornerSt{};
  std::array<float, 3> normal{};
  // Render scratch of the 3D view.
  std::array<std::uint8_t, 3> cornerShade{};
  std::array<float, 2> mapNormal{};
  std::array<std::array<std::uint8_t, 2>, 3> cornerMapSt{};
};

struct Vec3 {
  float x = 0, y = 0, z = 0;
  friend bool operator==(const Vec3&, const Vec3&) = default;
};

struct ModelFrame {
  std::string name;            // at most 16 characters
  std::vector<Vec3> vertices;  // vertexCount entries
};

struct Model {
  int vertexCount = 0;
  int triangleCount = 0;
  int stCount = 0;
  int storedStCount = 0;
  int skinWidth = 0;
  int skinHeight = 0;
  std::vector<StCoord> stCoords = std::vector<StCoord>(kMaxStCoords);
  std::vector<StCoord> storedStCoords = std::vector<StCoord>(kMaxStCoords);
  std::vector<std::uint8_t> stMarks = std::vector<std::uint8_t>(kMaxStCoords);
  std::vector<ModelTriangle> triangles = std::vector<ModelTriangle>(kMaxTriangles);
  std::vector<ModelFrame> frames;
  // Shared with the undo history, which keeps a closed skin for its undo.
  std::vector<std::shared_ptr<Skin>> skins;
  int currentFrameIndex = 0;
  int currentSkinIndex = -1;
  bool modelLoaded = false;

  ModelFrame* currentFrame() {
    return currentFrameIndex >= 0 && currentFrameIndex < static_cast<int>(frames.size())
               ? &frames[static_cast<size_t>(currentFrameIndex)]
               : nullptr;
  }
  const ModelFrame* currentFrame() const { return const_cast<Model*>(this)->currentFrame(); }
  Skin* currentSkin() const {
    return currentSkinIndex >= 0 && currentSkinIndex < static_cast<int>(skins.size())
               ? skins[static_cast<size_t>(currentSkinIndex)].get()
               : nullptr;
  }
};

// Re-derives every corner's st value and compacts the st table: no unused or
// duplicate entries, entries in order of first use.
void rebuildStTable(Model& model);

// The second half of rebuildStTable: the table is rebuilt from the corner
// values as they stand, for tools that write corners directly.
void rebuildStIndices(Model& model);

// Unit face normals from the current frame; degenerate triangles keep theirs.
void computeFaceNormals(Model& model);

// One triangle's unit normal from these corner positions, unless degenerate.
void updateFaceNormal(ModelTriangle& tri, const std::vector<Vec3>& vertices);

// Makes the current mapping the stored one.
void storeMapping(Model& model);

// Restores the stored mapping, vertex indices included, and the face
// normals that follow them (the caller refreshes the views).
void revertMapping(Model& model);

}  // namespace pelt
