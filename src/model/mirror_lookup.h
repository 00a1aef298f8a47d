#pragma once
// Mirror painting: a point on the current frame's surface, reflected across
// the model's plane through the middle of its bounds, and the surface point
// nearest to that reflection. Asymmetric models have none near, and then
// nothing is mirrored.

#include <array>
#include <cstdint>
#include <optional>

#include "model/model.h"
#include "model/surface_grid.h"

namespace pelt {

enum MirrorAxis : int { kMirrorX = 0, kMirrorY = 1, kMirrorZ = 2 };

// A reflection farther than this share of the bounds' diagonal from the
// surface mirrors nothing.
inline constexpr float kMirrorTolerance = 0.02f;

// A point on a triangle of the model, as weights of its three corners.
struct SurfacePoint {
  int triangle = -1;
  std::array<float, 3> weights{};
};

// The point on the current frame, and where the mapping puts it on the skin
// (in texels: texel x covers x .. x + 1).
Vec3 surfacePosition(const Model& model, const SurfacePoint& point);
std::array<double, 2> surfaceSkinPoint(const Model& model, const SurfacePoint& point);
std::array<int, 2> surfaceTexel(const Model& model, const SurfacePoint& point);
// Where skin point (s, t) lies in the plane of a triangle's mapping, as
// weights of its corners (outside it when one is negative); none when the
// mapping has no area.
std::optional<std::array<double, 3>> skinWeights(const Model& model, int triangle, double s,
                                                 double t);
// The first triangle whose mapping covers skin point (s, t).
std::optional<SurfacePoint> surfaceAtSkinPoint(const Model& model, double s, double t);
// Skin texels per model unit along the surface of a triangle (0 when flat).
double texelsPerUnit(const Model& model, int triangle);

class MirrorLookup {
 public:
  // Indexes the current frame for mirroring across `axis`; cheap when
  // neither the frame nor the axis changed since the last call.
  void prepare(const Model& model, int axis);
  bool ready() const { return !grid_.empty(); }
  std::optional<SurfacePoint> mirror(const Model& model, const SurfacePoint& point) const;
  // The texel across from texel (x, y), through the triangle whose mapping
  // covers it.
  std::optional<std::array<int, 2>> mirrorTexel(const Model& model, int x, int y) const;

 private:
  SurfaceGrid grid_;
  int axis_ = kMirrorX;
  float centre_ = 0;
  std::uint64_t key_ = 0;
};

// The axis across which the current frame is most nearly symmetric (X on a tie).
int mostSymmetricAxis(const Model& model);

}  // namespace pelt
