#pragma once
// Moves the 3D view's camera to show a whole frame: the target to the centre
// of its bounds and the eye back along its line of sight until every vertex
// projects inside the shown part of the view.

#include <optional>
#include <span>

#include "model/model.h"
#include "view3d/camera_drag.h"

namespace pelt {

struct CameraPlacement {
  Vec3f eye{};
  Vec3f target{};
};

// viewWidth is the buffer width, clientWidth the columns the window shows;
// nothing when there are no finite points or no room.
std::optional<CameraPlacement> frameCamera(const Vec3f& eye, const Vec3f& target, float fieldOfView,
                                           std::span<const Vec3> points, int viewWidth,
                                           int clientWidth, int viewHeight);

// Pixels per model unit at the target's distance.
double pixelsPerUnit(const Vec3f& eye, const Vec3f& target, float fieldOfView, int viewWidth,
                     int viewHeight);

}  // namespace pelt
