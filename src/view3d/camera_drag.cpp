#include "view3d/camera_drag.h"

#include <algorithm>
#include <cmath>

#include "view3d/view_basis.h"

namespace pelt {

namespace {

constexpr double kDegreesPerRadian = -180 * 0.3183099524062959;  // negated
constexpr double kZoomIn = 0.998004;
constexpr double kZoomOut = 1.002;
constexpr double kDollyOut = 1.001;
constexpr double kDollyIn = 0.99900097;
constexpr double kFieldOfViewPerPixel = 0.1;
constexpr double kLightRadiansPerPixel = 0.04;
constexpr int kWheelNotch = 120;
constexpr double kWheelNotchDegrees = 35.34291;
constexpr double kWheelDollyStep = 0.9;
// The eye stops short of the target: on it the view has no direction.
constexpr double kNearestEyeDistance = 0.01;

double wrapDegrees(double degrees) {
  degrees = std::fmod(degrees, 360.0);
  return degrees < 0 ? degrees + 360 : degrees;
}

Vec3f difference(const Vec3f& a, const Vec3f& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3f sum(const Vec3f& a, const Vec3f& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }

}  // namespace

CameraDrag startCameraDrag(const Vec3f& d) {
  CameraDrag drag;
  const double a = -std::atan2(static_cast<double>(d[1]), static_cast<double>(d[0]));
  double yaw = a * kDegreesPerRadian;
  if (yaw < 0)
    yaw += 360;
  else if (yaw > 360)
    yaw -= 360;
  const double h = std::cos(a) * d[0] - std::sin(a) * d[1];
  double pitch = std::atan2(static_cast<double>(d[2]), h) * kDegreesPerRadian;
  drag.dragVector = d;
  drag.upSign = 1;
  if (yaw > 90 && yaw < 270) {
    // From behind: the same direction, mirrored through the pole.
    drag.upSign = -1;
    yaw -= 180;
    if (pitch < 0)
      pitch += 360;
    else if (pitch > 360)
      pitch -= 360;
    if (pitch < 90)
      pitch = 90 - (pitch - 90);
    else if (pitch > 270)
      pitch = 270 - (pitch - 270);
  }
  drag.yawDeg = static_cast<float>(yaw);
  drag.pitchDeg = static_cast<float>(pitch);
  return drag;
}

Vec3f turnCameraDrag(CameraDrag& drag, double yawStep, double pitchStep) {
  const Vec3f& v = drag.dragVector;
  const double r = std::sqrt(double{v[0]} * v[0] + double{v[1]} * v[1] + double{v[2]} * v[2]);
  drag.yawDeg = static_cast<float>(wrapDegrees(drag.yawDeg + yawStep));
  drag.pitchDeg = static_cast<float>(wrapDegrees(drag.pitchDeg + pitchStep));
  const double y = drag.yawDeg * kPi / 180;
  const double p = drag.pitchDeg * kPi / 180;
  return {static_cast<float>(r * std::cos(p) * std::cos(y)),
          static_cast<float>(r * std::cos(p) * std::sin(y)), static_cast<float>(-r * std::sin(p))};
}

void scaleRepeatedly(Vec3f& v, double factor, int times) {
  for (int i = 0; i < times; ++i)
    for (float& c : v) c = static_cast<float>(c * factor);
}

void zoomEye(Vec3f& eye, const Vec3f& target, CameraDrag& drag, int dy) {
  Vec3f d = difference(eye, target);
  scaleRepeatedly(d, dy < 0 ? kZoomIn : kZoomOut, std::abs(dy));
  eye = sum(target, d);
  drag.dragVector = d;
}

void dollyTarget(const Vec3f& eye, Vec3f& target, CameraDrag& drag, int dy) {
  Vec3f d = difference(target, eye);
  scaleRepeatedly(d, dy < 0 ? kDollyOut : kDollyIn, std::abs(dy));
  target = sum(eye, d);
  // Looking on keeps the new distance instead of snapping back to the old.
  drag.dragVector = d;
}

float dragFieldOfView(float fieldOfView, int dx) {
  const double wanted = fieldOfView + kFieldOfViewPerPixel * dx;
  return static_cast<float>(std::clamp<double>(wanted, kMinFieldOfView, kMaxFieldOfView));
}

void turnLight(Vec3f& light, int dx, int dy) {
  const double a = kLightRadiansPerPixel * dx;
  const double b = kLightRadiansPerPixel * dy;
  const double x = std::cos(a) * light[0] - std::sin(a) * light[1];
  const double y1 = std::cos(a) * light[1] + std::sin(a) * light[0];
  const double y = std::cos(b) * y1 - std::sin(b) * light[2];
  const double z = std::sin(b) * y1 + std::cos(b) * light[2];
  light = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

void turnEyeByWheel(Vec3f& eye, const Vec3f& target, std::int16_t delta) {
  const int notches = delta / kWheelNotch;
  const double theta = notches * kWheelNotchDegrees * kOneOver180;
  const double dx = eye[0] - target[0];
  const double dy = eye[1] - target[1];
  eye[0] = static_cast<float>(target[0] + dx * std::cos(theta) - dy * std::sin(theta));
  eye[1] = static_cast<float>(target[1] + dx * std::sin(theta) + dy * std::cos(theta));
}

void dollyEyeByWheel(Vec3f& eye, const Vec3f& target, std::int16_t delta) {
  const int notches = delta / kWheelNotch;
  if (notches == 0) return;
  const Vec3f d = difference(eye, target);
  const double length = std::hypot(static_cast<double>(d[0]), d[1], d[2]);
  if (!(length > 0)) return;
  const double wanted = std::max(length * std::pow(kWheelDollyStep, notches), kNearestEyeDistance);
  const double scale = wanted / length;
  eye = {static_cast<float>(target[0] + d[0] * scale), static_cast<float>(target[1] + d[1] * scale),
         static_cast<float>(target[2] + d[2] * scale)};
}

void panCamera(Vec3f& eye, Vec3f& target, float fieldOfView, int viewSide, int dx, int dy) {
  const ViewBasis b = computeViewBasis(eye, target);
  if (viewSide <= 0 || !(b.dist > 0)) return;
  const double unitsPerPixel =
      2 * b.dist * std::tan(fieldOfView * 0.5 * kPi * kOneOver180) / viewSide;
  // The world directions of view-space X (to the screen's left) and Y (up).
  const double left[3] = {b.s1, b.c1, 0};
  const double up[3] = {b.s2 * b.c1, -b.s2 * b.s1, b.c2};
  for (size_t k = 0; k < 3; ++k) {
    const double move = (dx * left[k] + dy * up[k]) * unitsPerPixel;
    eye[k] = static_cast<float>(eye[k] + move);
    target[k] = static_cast<float>(target[k] + move);
  }
}

}  // namespace pelt
