#pragma once
// A uniform grid over the triangles of one frame, so the point of the
// surface nearest to a place is found by looking at a few cells instead of
// every triangle.

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "model/model.h"

namespace pelt {

struct SurfaceHit {
  int triangle = -1;               // index into the model's triangles
  std::array<float, 3> weights{};  // of the triangle's three corners
  float distance = 0;
};

// The point of triangle a b c nearest to p, as weights of the corners.
std::array<float, 3> nearestWeights(const Vec3& p, const Vec3& a, const Vec3& b, const Vec3& c);

class SurfaceGrid {
 public:
  SurfaceGrid() = default;
  // Triangles naming a vertex outside `vertices` are left out.
  SurfaceGrid(std::span<const Vec3> vertices, std::span<const ModelTriangle> triangles);

  bool empty() const { return corners_.empty(); }
  const Vec3& low() const { return low_; }
  const Vec3& high() const { return high_; }
  float diagonal() const;
  // The nearest point of the surface no farther than `radius` from p.
  std::optional<SurfaceHit> nearest(const Vec3& p, float radius) const;

 private:
  std::array<int, 3> cellOf(const Vec3& p) const;
  size_t cellIndex(int x, int y, int z) const;

  Vec3 low_, high_;
  std::array<float, 3> cellSize_{1, 1, 1};
  std::array<int, 3> dims_{1, 1, 1};
  std::vector<std::array<Vec3, 3>> corners_;
  std::vector<int> ids_;          // model triangle of each entry of corners_
  std::vector<int> cellStart_;    // per cell, into cellEntries_; one extra at the end
  std::vector<int> cellEntries_;  // indices into corners_
};

}  // namespace pelt
