#include "model/surface_grid.h"

#include <algorithm>
#include <cmath>

namespace pelt {

namespace {

constexpr int kMaxCellsPerAxis = 64;

struct D3 {
  double x, y, z;
};
D3 minus(const Vec3& a, const Vec3& b) {
  return {double(a.x) - b.x, double(a.y) - b.y, double(a.z) - b.z};
}
double dot(const D3& a, const D3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double ratio(double num, double den) { return den != 0 ? num / den : 0; }

std::array<float, 3> weights(double u, double v, double w) {
  return {static_cast<float>(u), static_cast<float>(v), static_cast<float>(w)};
}

float axis(const Vec3& v, size_t k) { return k == 0 ? v.x : k == 1 ? v.y : v.z; }

Vec3 blend(const std::array<Vec3, 3>& c, const std::array<float, 3>& w) {
  return {w[0] * c[0].x + w[1] * c[1].x + w[2] * c[2].x,
          w[0] * c[0].y + w[1] * c[1].y + w[2] * c[2].y,
          w[0] * c[0].z + w[1] * c[1].z + w[2] * c[2].z};
}

}  // namespace

// By the Voronoi regions of the corners, the edges and the face.
std::array<float, 3> nearestWeights(const Vec3& p, const Vec3& a, const Vec3& b, const Vec3& c) {
  const D3 ab = minus(b, a), ac = minus(c, a), ap = minus(p, a);
  const double d1 = dot(ab, ap), d2 = dot(ac, ap);
  if (d1 <= 0 && d2 <= 0) return weights(1, 0, 0);
  const D3 bp = minus(p, b);
  const double d3 = dot(ab, bp), d4 = dot(ac, bp);
  if (d3 >= 0 && d4 <= d3) return weights(0, 1, 0);
  const double vc = d1 * d4 - d3 * d2;
  if (vc <= 0 && d1 >= 0 && d3 <= 0) {
    const double v = ratio(d1, d1 - d3);
    return weights(1 - v, v, 0);
  }
  const D3 cp = minus(p, c);
  const double d5 = dot(ab, cp), d6 = dot(ac, cp);
  if (d6 >= 0 && d5 <= d6) return weights(0, 0, 1);
  const double vb = d5 * d2 - d1 * d6;
  if (vb <= 0 && d2 >= 0 && d6 <= 0) {
    const double w = ratio(d2, d2 - d6);
    return weights(1 - w, 0, w);
  }
  const double va = d3 * d6 - d5 * d4;
  if (va <= 0 && d4 - d3 >= 0 && d5 - d6 >= 0) {
    const double w = ratio(d4 - d3, (d4 - d3) + (d5 - d6));
    return weights(0, 1 - w, w);
  }
  const double sum = va + vb + vc;
  const double v = ratio(vb, sum), w = ratio(vc, sum);
  return weights(1 - v - w, v, w);
}

SurfaceGrid::SurfaceGrid(std::span<const Vec3> vertices, std::span<const ModelTriangle> triangles) {
  for (size_t t = 0; t < triangles.size(); ++t) {
    const auto& index = triangles[t].vertexIndex;
    if (std::any_of(index.begin(), index.end(), [&](std::int16_t i) {
          return i < 0 || static_cast<size_t>(i) >= vertices.size();
        }))
      continue;
    corners_.push_back({vertices[static_cast<size_t>(index[0])],
                        vertices[static_cast<size_t>(index[1])],
                        vertices[static_cast<size_t>(index[2])]});
    ids_.push_back(static_cast<int>(t));
  }
  if (corners_.empty()) return;
  low_ = high_ = corners_[0][0];
  for (const auto& c : corners_)
    for (const Vec3& v : c) {
      low_ = {std::min(low_.x, v.x), std::min(low_.y, v.y), std::min(low_.z, v.z)};
      high_ = {std::max(high_.x, v.x), std::max(high_.y, v.y), std::max(high_.z, v.z)};
    }
  // About one triangle per cell; a flat model still gets cells across its plane.
  const float longest = std::max({high_.x - low_.x, high_.y - low_.y, high_.z - low_.z, 1e-3f});
  double volume = 1;
  for (size_t k = 0; k < 3; ++k) volume *= std::max(axis(high_, k) - axis(low_, k), longest / 64);
  const double edge = std::cbrt(volume / static_cast<double>(corners_.size()));
  for (size_t k = 0; k < 3; ++k) {
    const double extent = std::max(axis(high_, k) - axis(low_, k), longest / 64);
    dims_[k] = std::clamp(static_cast<int>(std::ceil(extent / edge)), 1, kMaxCellsPerAxis);
    cellSize_[k] = static_cast<float>(extent / dims_[k]);
  }
  const size_t cells = static_cast<size_t>(dims_[0]) * dims_[1] * dims_[2];
  // Two passes: count the entries of each cell, then place them.
  std::vector<int> counts(cells + 1, 0);
  auto forCells = [&](const std::array<Vec3, 3>& c, auto&& visit) {
    const Vec3 lo{std::min({c[0].x, c[1].x, c[2].x}), std::min({c[0].y, c[1].y, c[2].y}),
                  std::min({c[0].z, c[1].z, c[2].z})};
    const Vec3 hi{std::max({c[0].x, c[1].x, c[2].x}), std::max({c[0].y, c[1].y, c[2].y}),
                  std::max({c[0].z, c[1].z, c[2].z})};
    const auto a = cellOf(lo), b = cellOf(hi);
    for (int z = a[2]; z <= b[2]; ++z)
      for (int y = a[1]; y <= b[1]; ++y)
        for (int x = a[0]; x <= b[0]; ++x) visit(cellIndex(x, y, z));
  };
  for (const auto& c : corners_) forCells(c, [&](size_t cell) { ++counts[cell + 1]; });
  for (size_t i = 1; i <= cells; ++i) counts[i] += counts[i - 1];
  cellStart_ = counts;
  cellEntries_.resize(static_cast<size_t>(counts[cells]));
  for (size_t e = 0; e < corners_.size(); ++e)
    forCells(corners_[e], [&](size_t cell) {
      cellEntries_[static_cast<size_t>(counts[cell]++)] = static_cast<int>(e);
    });
}

float SurfaceGrid::diagonal() const {
  const float dx = high_.x - low_.x, dy = high_.y - low_.y, dz = high_.z - low_.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

std::array<int, 3> SurfaceGrid::cellOf(const Vec3& p) const {
  std::array<int, 3> out{};
  for (size_t k = 0; k < 3; ++k) {
    const double at = (static_cast<double>(axis(p, k)) - axis(low_, k)) / cellSize_[k];
    out[k] = static_cast<int>(std::clamp(std::floor(at), 0.0, static_cast<double>(dims_[k] - 1)));
  }
  return out;
}

size_t SurfaceGrid::cellIndex(int x, int y, int z) const {
  return (static_cast<size_t>(z) * static_cast<size_t>(dims_[1]) + static_cast<size_t>(y)) *
             static_cast<size_t>(dims_[0]) +
         static_cast<size_t>(x);
}

std::optional<SurfaceHit> SurfaceGrid::nearest(const Vec3& p, float radius) const {
  if (empty() || !(radius >= 0)) return std::nullopt;
  for (size_t k = 0; k < 3; ++k)
    if (!(axis(p, k) + radius >= axis(low_, k) && axis(p, k) - radius <= axis(high_, k)))
      return std::nullopt;
  const auto a = cellOf({p.x - radius, p.y - radius, p.z - radius});
  const auto b = cellOf({p.x + radius, p.y + radius, p.z + radius});
  std::optional<SurfaceHit> best;
  float bestDistance2 = radius * radius;
  for (int z = a[2]; z <= b[2]; ++z)
    for (int y = a[1]; y <= b[1]; ++y)
      for (int x = a[0]; x <= b[0]; ++x) {
        const size_t cell = cellIndex(x, y, z);
        for (int i = cellStart_[cell]; i < cellStart_[cell + 1]; ++i) {
          const auto& c = corners_[static_cast<size_t>(cellEntries_[static_cast<size_t>(i)])];
          const std::array<float, 3> w = nearestWeights(p, c[0], c[1], c[2]);
          const Vec3 q = blend(c, w);
          const float dx = q.x - p.x, dy = q.y - p.y, dz = q.z - p.z;
          const float d2 = dx * dx + dy * dy + dz * dz;
          if (d2 > bestDistance2 || (best && d2 == bestDistance2)) continue;
          bestDistance2 = d2;
          best = SurfaceHit{ids_[static_cast<size_t>(cellEntries_[static_cast<size_t>(i)])], w, 0};
        }
      }
  if (best) best->distance = std::sqrt(bestDistance2);
  return best;
}

}  // namespace pelt
