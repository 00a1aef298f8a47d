#pragma once
// The model's texture mapping as one value: st tables, what each triangle
// uses of them, and the triangles' flags. Face normals follow the vertex
// indices and are recomputed, not kept.

#include <cstdint>
#include <vector>

#include "history/step.h"

namespace pelt {

struct TriangleMapping {
  std::uint32_t flags = 0;
  std::array<std::int16_t, 3> vertexIndex{};
  std::array<std::int16_t, 3> stIndex{};
  std::array<std::int16_t, 3> storedStIndex{};
  std::array<std::int16_t, 3> storedVertexIndex{};
  std::array<StCoord, 3> cornerSt{};
  friend bool operator==(const TriangleMapping&, const TriangleMapping&) = default;
};

struct MappingState {
  int stCount = 0;
  int storedStCount = 0;
  // Up to the last entry that is not zero; the rest of each table is zero.
  std::vector<StCoord> st;
  std::vector<StCoord> storedSt;
  std::vector<TriangleMapping> triangles;

  std::int64_t bytes() const;
};

MappingState captureMapping(const Model& model);
void applyMapping(Model& model, const MappingState& state);
// Equal apart from which triangles are selected or moving: selecting is
// not an edit.
bool sameMapping(const MappingState& a, const MappingState& b);

// The mapping before or after an edit; undo and redo exchange it with the
// model's.
class MappingPart : public StepPart {
 public:
  explicit MappingPart(MappingState other) : other_(std::move(other)) {}
  void undo(Document& doc) override { exchange(doc.model); }
  void redo(Document& doc) override { exchange(doc.model); }
  std::int64_t bytes() const override { return other_.bytes(); }

 private:
  void exchange(Model& model);
  MappingState other_;
};

}  // namespace pelt
