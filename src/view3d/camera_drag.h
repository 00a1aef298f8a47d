#pragma once
// The arithmetic of the 3D view's camera gestures: orbiting the eye about
// the target, looking about from the eye, zoom and dolly, the field of view,
// the light direction and the wheel turn. Every step is measured from the
// press point, so a drag has no end.

#include <array>
#include <cstdint>

namespace pelt {

using Vec3f = std::array<float, 3>;

inline constexpr float kMinFieldOfView = 1.0f;
inline constexpr float kMaxFieldOfView = 120.0f;

// The direction of a drag as yaw and pitch in degrees, with the yaw kept
// within +-90 degrees; upSign flips vertical motion when looking from behind
// so that it moves the same way as from the front.
struct CameraDrag {
  float yawDeg = 0;
  float pitchDeg = 0;
  int upSign = 1;
  Vec3f dragVector{};  // eye - target (orbit) or target - eye (look)
};

CameraDrag startCameraDrag(const Vec3f& dragVector);

// Turns the drag by the given degrees and returns the new vector, as long as
// dragVector.
Vec3f turnCameraDrag(CameraDrag& drag, double yawStep, double pitchStep);

// Multiplies v by `factor` `times` times, rounding each step as stored.
void scaleRepeatedly(Vec3f& v, double factor, int times);

// Orbit with the other button held: the eye nears (dy < 0) or backs off.
void zoomEye(Vec3f& eye, const Vec3f& target, CameraDrag& drag, int dy);
// Look with the other button held: the target moves away (dy < 0) or nearer.
void dollyTarget(const Vec3f& eye, Vec3f& target, CameraDrag& drag, int dy);

float dragFieldOfView(float fieldOfView, int dx);
void turnLight(Vec3f& light, int dx, int dy);

// One wheel notch (120) turns the eye 11.25 degrees about the vertical axis
// through the target; a partial notch turns nothing.
void turnEyeByWheel(Vec3f& eye, const Vec3f& target, std::int16_t delta);

// Ctrl with the wheel: each notch forward takes the eye a tenth of the way
// to the target, each notch back undoes one such step.
void dollyEyeByWheel(Vec3f& eye, const Vec3f& target, std::int16_t delta);

// Slides eye and target together across the view, so that the point at the
// target's distance follows the pointer by (dx, dy) window pixels.
void panCamera(Vec3f& eye, Vec3f& target, float fieldOfView, int viewSide, int dx, int dy);

}  // namespace pelt
