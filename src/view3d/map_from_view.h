#pragma once
// Planar-projection mapping: the selected triangles are projected as the 3D
// view sees them and stretched into the skin view's mapping rectangle.

#include <array>

#include "platform/dialog_values.h"

namespace pelt {

struct Model;

inline constexpr int kProjectionPerspective = 0;
inline constexpr int kProjectionParallel = 1;

// In skin pixels; either corner may come first.
struct MapRectangle {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  friend bool operator==(const MapRectangle&, const MapRectangle&) = default;
};

struct MapCamera {
  int viewWidth = 0;
  int viewHeight = 0;
  std::array<float, 3> eye{};
  std::array<float, 3> target{};
  float fieldOfView = 0;
};

// What the dialog shows each time it opens: nothing is remembered.
MapFromViewValues defaultMapFromViewValues();

// Rewrites the corners of the selected triangles (unless skipped as back
// faces) and rebuilds the st table; orders the rectangle's corners in place.
// False, with nothing changed, without a frame or a usable camera.
bool mapFromView(Model& model, const MapCamera& camera, MapRectangle& rect,
                 const MapFromViewValues& options);

}  // namespace pelt
