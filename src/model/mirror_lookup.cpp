#include "model/mirror_lookup.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>

namespace pelt {

namespace {

// Vertices whose reflections the symmetry guess looks at, at most.
constexpr size_t kSymmetrySamples = 1024;
// How far the guess looks for the surface, as a share of the diagonal.
constexpr float kSymmetryReach = 0.05f;

std::span<const ModelTriangle> usedTriangles(const Model& model) {
  return std::span<const ModelTriangle>(model.triangles)
      .first(static_cast<size_t>(std::clamp(model.triangleCount, 0, kMaxTriangles)));
}

std::span<const Vec3> frameVertices(const Model& model) {
  const ModelFrame* frame = model.currentFrame();
  if (frame == nullptr) return {};
  return std::span<const Vec3>(frame->vertices)
      .first(std::min(frame->vertices.size(), static_cast<size_t>(std::max(model.vertexCount, 0))));
}

const ModelTriangle* triangleOf(const Model& model, int index) {
  return index >= 0 && index < std::clamp(model.triangleCount, 0, kMaxTriangles)
             ? &model.triangles[static_cast<size_t>(index)]
             : nullptr;
}

float& component(Vec3& v, int axis) {
  return axis == kMirrorX ? v.x : axis == kMirrorY ? v.y : v.z;
}

// FNV-1a over the words of the frame and the triangles' corners.
std::uint64_t geometryKey(const Model& model, int axis) {
  std::uint64_t h = 1469598103934665603ull;
  auto mix = [&h](std::uint64_t word) {
    h ^= word;
    h *= 1099511628211ull;
  };
  mix(static_cast<std::uint64_t>(axis));
  mix(static_cast<std::uint64_t>(model.currentFrameIndex));
  for (const Vec3& v : frameVertices(model)) {
    std::uint32_t bits[3];
    std::memcpy(bits, &v, sizeof bits);
    mix((std::uint64_t{bits[0]} << 32) | bits[1]);
    mix(bits[2]);
  }
  for (const ModelTriangle& tri : usedTriangles(model))
    mix((static_cast<std::uint64_t>(static_cast<std::uint16_t>(tri.vertexIndex[0])) << 32) |
        (static_cast<std::uint64_t>(static_cast<std::uint16_t>(tri.vertexIndex[1])) << 16) |
        static_cast<std::uint16_t>(tri.vertexIndex[2]));
  return h;
}

StCoord cornerSt(const Model& model, const ModelTriangle& tri, size_t k) {
  const auto index = static_cast<size_t>(tri.stIndex[k]);
  return index < model.stCoords.size() ? model.stCoords[index] : StCoord{};
}

}  // namespace

Vec3 surfacePosition(const Model& model, const SurfacePoint& point) {
  const ModelTriangle* tri = triangleOf(model, point.triangle);
  const std::span<const Vec3> vertices = frameVertices(model);
  Vec3 out;
  if (tri == nullptr) return out;
  for (size_t k = 0; k < 3; ++k) {
    const auto i = static_cast<size_t>(tri->vertexIndex[k]);
    if (i >= vertices.size()) return {};
    out.x += point.weights[k] * vertices[i].x;
    out.y += point.weights[k] * vertices[i].y;
    out.z += point.weights[k] * vertices[i].z;
  }
  return out;
}

std::array<double, 2> surfaceSkinPoint(const Model& model, const SurfacePoint& point) {
  const ModelTriangle* tri = triangleOf(model, point.triangle);
  if (tri == nullptr) return {0, 0};
  double s = 0, t = 0;
  for (size_t k = 0; k < 3; ++k) {
    const StCoord st = cornerSt(model, *tri, k);
    s += point.weights[k] * st.s;
    t += point.weights[k] * st.t;
  }
  return {s, t};
}

std::array<int, 2> surfaceTexel(const Model& model, const SurfacePoint& point) {
  const std::array<double, 2> st = surfaceSkinPoint(model, point);
  return {static_cast<int>(std::floor(st[0])), static_cast<int>(std::floor(st[1]))};
}

std::optional<std::array<double, 3>> skinWeights(const Model& model, int triangle, double s,
                                                 double t) {
  const ModelTriangle* tri = triangleOf(model, triangle);
  if (tri == nullptr) return std::nullopt;
  const StCoord a = cornerSt(model, *tri, 0), b = cornerSt(model, *tri, 1),
                c = cornerSt(model, *tri, 2);
  const double area = double(b.s - a.s) * (c.t - a.t) - double(c.s - a.s) * (b.t - a.t);
  if (area == 0) return std::nullopt;
  const double wb = ((s - a.s) * (c.t - a.t) - (c.s - a.s) * (t - a.t)) / area;
  const double wc = ((b.s - a.s) * (t - a.t) - (s - a.s) * (b.t - a.t)) / area;
  return std::array<double, 3>{1 - wb - wc, wb, wc};
}

std::optional<SurfacePoint> surfaceAtSkinPoint(const Model& model, double s, double t) {
  constexpr double kEdge = -1e-9;
  const std::span<const ModelTriangle> triangles = usedTriangles(model);
  for (size_t i = 0; i < triangles.size(); ++i) {
    const StCoord a = cornerSt(model, triangles[i], 0);
    const StCoord b = cornerSt(model, triangles[i], 1);
    const StCoord c = cornerSt(model, triangles[i], 2);
    if (s < std::min({a.s, b.s, c.s}) || s > std::max({a.s, b.s, c.s}) ||
        t < std::min({a.t, b.t, c.t}) || t > std::max({a.t, b.t, c.t}))
      continue;
    const auto w = skinWeights(model, static_cast<int>(i), s, t);
    if (!w || (*w)[0] < kEdge || (*w)[1] < kEdge || (*w)[2] < kEdge) continue;
    return SurfacePoint{
        static_cast<int>(i),
        {static_cast<float>((*w)[0]), static_cast<float>((*w)[1]), static_cast<float>((*w)[2])}};
  }
  return std::nullopt;
}

double texelsPerUnit(const Model& model, int triangle) {
  const ModelTriangle* tri = triangleOf(model, triangle);
  const std::span<const Vec3> v = frameVertices(model);
  if (tri == nullptr) return 0;
  std::array<Vec3, 3> p;
  for (size_t k = 0; k < 3; ++k) {
    const auto i = static_cast<size_t>(tri->vertexIndex[k]);
    if (i >= v.size()) return 0;
    p[k] = v[i];
  }
  const double ux = p[1].x - p[0].x, uy = p[1].y - p[0].y, uz = p[1].z - p[0].z;
  const double wx = p[2].x - p[0].x, wy = p[2].y - p[0].y, wz = p[2].z - p[0].z;
  const double cx = uy * wz - uz * wy, cy = uz * wx - ux * wz, cz = ux * wy - uy * wx;
  const double surface = std::sqrt(cx * cx + cy * cy + cz * cz);
  const StCoord a = cornerSt(model, *tri, 0), b = cornerSt(model, *tri, 1),
                c = cornerSt(model, *tri, 2);
  const double skin = std::abs(double(b.s - a.s) * (c.t - a.t) - double(c.s - a.s) * (b.t - a.t));
  return surface > 0 ? std::sqrt(skin / surface) : 0;
}

void MirrorLookup::prepare(const Model& model, int axis) {
  const std::uint64_t key = geometryKey(model, axis);
  if (key == key_ && ready()) return;
  key_ = key;
  axis_ = std::clamp(axis, 0, 2);
  grid_ = SurfaceGrid(frameVertices(model), usedTriangles(model));
  Vec3 middle{(grid_.low().x + grid_.high().x) / 2, (grid_.low().y + grid_.high().y) / 2,
              (grid_.low().z + grid_.high().z) / 2};
  centre_ = component(middle, axis_);
}

std::optional<SurfacePoint> MirrorLookup::mirror(const Model& model,
                                                 const SurfacePoint& point) const {
  if (!ready() || triangleOf(model, point.triangle) == nullptr) return std::nullopt;
  Vec3 p = surfacePosition(model, point);
  float& across = component(p, axis_);
  across = 2 * centre_ - across;
  const std::optional<SurfaceHit> hit = grid_.nearest(p, kMirrorTolerance * grid_.diagonal());
  if (!hit) return std::nullopt;
  return SurfacePoint{hit->triangle, hit->weights};
}

std::optional<std::array<int, 2>> MirrorLookup::mirrorTexel(const Model& model, int x,
                                                            int y) const {
  constexpr double kTexelCentre = 0.5;
  const std::optional<SurfacePoint> at =
      surfaceAtSkinPoint(model, x + kTexelCentre, y + kTexelCentre);
  if (!at) return std::nullopt;
  const std::optional<SurfacePoint> across = mirror(model, *at);
  if (!across) return std::nullopt;
  return surfaceTexel(model, *across);
}

int mostSymmetricAxis(const Model& model) {
  const std::span<const Vec3> vertices = frameVertices(model);
  const SurfaceGrid grid(vertices, usedTriangles(model));
  if (grid.empty()) return kMirrorX;
  const float reach = kSymmetryReach * grid.diagonal();
  const size_t step = std::max<size_t>(1, vertices.size() / kSymmetrySamples);
  int best = kMirrorX;
  double bestScore = 0;
  for (int axis = kMirrorX; axis <= kMirrorZ; ++axis) {
    Vec3 low = grid.low(), high = grid.high();
    const float centre = (component(low, axis) + component(high, axis)) / 2;
    double score = 0;
    for (size_t i = 0; i < vertices.size(); i += step) {
      Vec3 p = vertices[i];
      component(p, axis) = 2 * centre - component(p, axis);
      const std::optional<SurfaceHit> hit = grid.nearest(p, reach);
      score += hit ? hit->distance : reach;
    }
    if (axis == kMirrorX || score < bestScore) {
      best = axis;
      bestScore = score;
    }
  }
  return best;
}

}  // namespace pelt
