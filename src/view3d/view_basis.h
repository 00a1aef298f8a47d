#pragma once
// The look-at camera: the rotation and distance from eye and target, the
// transform of model points into view space, and the perspective projection
// to integer screen positions and 16.16 depth. Map from 3D View repeats the
// same formulas, so they live apart from the view.

#include <array>
#include <cstdint>

#include "model/model.h"
#include "raster/clipping.h"

namespace pelt {

inline constexpr double kPi = 3.141592;
inline constexpr double kOneOver180 = 0.005555555555555556;

struct ViewBasis {
  double yaw = 0, pitch = 0;
  double c1 = 1, s1 = 0;  // cos and sin of -yaw
  double c2 = 1, s2 = 0;  // cos and sin of -pitch
  double dist = 0;
};

ViewBasis computeViewBasis(const std::array<float, 3>& eye, const std::array<float, 3>& target);

struct Point3d {
  double x = 0, y = 0, z = 0;
};

// X to the screen's left, Y up, Z the distance from the eye along the view.
Point3d toViewSpaceExact(const ViewBasis& basis, const std::array<float, 3>& target, const Vec3& v,
                         const Vec3& offset = {});
Point3f toViewSpace(const ViewBasis& basis, const std::array<float, 3>& target, const Vec3& v,
                    const Vec3& offset = {});

struct Projection {
  int centreX = 0;
  int centreY = 0;
  double k = 0;
  double dist = 1;
  double depthMin = 0;
  double depthScale = 0;

  // Rows count from the bottom. Points far outside the view are held to a
  // range the clippers can bisect without overflow.
  std::int32_t x(double X, double Z) const;
  std::int32_t y(double Y, double Z) const;
  std::int32_t depth(double Z) const;
};

Projection makeProjection(int width, int height, double fieldOfView, double dist);

}  // namespace pelt
