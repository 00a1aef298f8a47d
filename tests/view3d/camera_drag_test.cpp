#include "view3d/camera_drag.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pelt {
namespace {

float length(const Vec3f& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

TEST(CameraDrag, StartKeepsTheDirectionAndTheYawWithinTheFrontHalf) {
  struct Case {
    Vec3f d;
    int upSign;
  } cases[] = {
      {{100, 0, 0}, 1},     {{10, 80, 30}, 1},   {{-100, 0, 0}, -1},
      {{-60, -20, 40}, -1}, {{-5, 50, -70}, -1},
  };
  for (const Case& c : cases) {
    CameraDrag drag = startCameraDrag(c.d);
    EXPECT_EQ(drag.upSign, c.upSign);
    EXPECT_LE(std::abs(drag.yawDeg), 90.001f);
    // No turn yet: the angles rebuild the same vector.
    Vec3f same = turnCameraDrag(drag, 0, 0);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(same[k], c.d[k], 1e-3f * length(c.d)) << k;
  }
}

TEST(CameraDrag, ZoomAndDollyFollowTheirMultipliers) {
  Vec3f eye{100, 0, 0}, target{0, 0, 0};
  CameraDrag drag = startCameraDrag(eye);
  zoomEye(eye, target, drag, -1);
  EXPECT_FLOAT_EQ(eye[0], 99.8004f);
  zoomEye(eye, target, drag, 1);  // not the reciprocal: no way back exactly
  EXPECT_FLOAT_EQ(eye[0], 99.8004f * 1.002f);
  EXPECT_FLOAT_EQ(drag.dragVector[0], eye[0]);

  Vec3f lookEye{0, 0, 0}, lookTarget{10, 0, 0};
  CameraDrag look = startCameraDrag(lookTarget);
  dollyTarget(lookEye, lookTarget, look, -2);
  EXPECT_NEAR(lookTarget[0], 10 * 1.001 * 1.001, 1e-5);
  // Looking on after the dolly keeps the new distance.
  EXPECT_NEAR(length(turnCameraDrag(look, 5, 0)), lookTarget[0], 1e-4);
}

TEST(CameraDrag, LightTurnsAboutBothAxesAndKeepsItsLength) {
  Vec3f light{1, 0, 0};
  turnLight(light, 0, 0);
  EXPECT_FLOAT_EQ(light[0], 1);
  light = {1, 0, 0};
  turnLight(light, 10, 0);  // 0.4 radians about the vertical axis
  EXPECT_NEAR(light[0], std::cos(0.4), 1e-6);
  EXPECT_NEAR(light[1], std::sin(0.4), 1e-6);
  turnLight(light, 0, 10);  // then about the horizontal axis
  EXPECT_NEAR(light[2], std::sin(0.4) * std::sin(0.4), 1e-6);
  EXPECT_NEAR(length(light), 1, 1e-6);
}

}  // namespace
}  // namespace pelt
