#include "history/mapping_state.h"

#include <algorithm>

namespace pelt {

namespace {

constexpr std::uint32_t kTransientFlags = kTriangleSelected | kTriangleMoving;

std::vector<StCoord> usedPrefix(const std::vector<StCoord>& table) {
  auto last = std::find_if(table.rbegin(), table.rend(), [](StCoord c) { return c != StCoord{}; });
  return {table.begin(), last.base()};
}

void putPrefix(std::vector<StCoord>& table, const std::vector<StCoord>& prefix) {
  const auto n = std::min(prefix.size(), table.size());
  std::copy_n(prefix.begin(), n, table.begin());
  std::fill(table.begin() + static_cast<std::ptrdiff_t>(n), table.end(), StCoord{});
}

}  // namespace

std::int64_t MappingState::bytes() const {
  return static_cast<std::int64_t>(sizeof(MappingState) +
                                   (st.capacity() + storedSt.capacity()) * sizeof(StCoord) +
                                   triangles.capacity() * sizeof(TriangleMapping));
}

MappingState captureMapping(const Model& model) {
  MappingState state;
  state.stCount = model.stCount;
  state.storedStCount = model.storedStCount;
  state.st = usedPrefix(model.stCoords);
  state.storedSt = usedPrefix(model.storedStCoords);
  const auto count = static_cast<size_t>(std::clamp(model.triangleCount, 0, kMaxTriangles));
  state.triangles.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const ModelTriangle& t = model.triangles[i];
    state.triangles.push_back({t.flags & ~kTriangleMoving, t.vertexIndex, t.stIndex,
                               t.storedStIndex, t.storedVertexIndex, t.cornerSt});
  }
  return state;
}

void applyMapping(Model& model, const MappingState& state) {
  model.stCount = state.stCount;
  model.storedStCount = state.storedStCount;
  putPrefix(model.stCoords, state.st);
  putPrefix(model.storedStCoords, state.storedSt);
  const size_t count = std::min(state.triangles.size(), model.triangles.size());
  for (size_t i = 0; i < count; ++i) {
    const TriangleMapping& m = state.triangles[i];
    ModelTriangle& t = model.triangles[i];
    t.flags = m.flags;
    t.vertexIndex = m.vertexIndex;
    t.stIndex = m.stIndex;
    t.storedStIndex = m.storedStIndex;
    t.storedVertexIndex = m.storedVertexIndex;
    t.cornerSt = m.cornerSt;
  }
  computeFaceNormals(model);
}

bool sameMapping(const MappingState& a, const MappingState& b) {
  if (a.stCount != b.stCount || a.storedStCount != b.storedStCount || a.st != b.st ||
      a.storedSt != b.storedSt || a.triangles.size() != b.triangles.size())
    return false;
  for (size_t i = 0; i < a.triangles.size(); ++i) {
    TriangleMapping x = a.triangles[i], y = b.triangles[i];
    x.flags &= ~kTransientFlags;
    y.flags &= ~kTransientFlags;
    if (x != y) return false;
  }
  return true;
}

void MappingPart::exchange(Model& model) {
  MappingState mine = captureMapping(model);
  applyMapping(model, other_);
  other_ = std::move(mine);
}

}  // namespace pelt
