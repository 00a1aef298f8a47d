#include "view3d/map_from_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "model/model.h"
#include "view3d/view_basis.h"

namespace pelt {

namespace {

struct Projected {
  double x = 0, y = 0;
};

double backFaceDet(const Point3d& p0, const Point3d& p1, const Point3d& p2) {
  return (p0.y * p1.x - p0.x * p1.y) * p2.z + (p0.z * p1.y - p0.y * p1.z) * p2.x +
         (p0.x * p1.z - p0.z * p1.x) * p2.y;
}

// Marks the selected triangles (and their vertices) that take part.
std::vector<bool> markTriangles(const Model& model, const std::vector<Point3d>& view,
                                bool noBackfaces, std::vector<bool>& vertexMarks) {
  std::vector<bool> marks(static_cast<size_t>(model.triangleCount));
  for (int i = 0; i < model.triangleCount; ++i) {
    const ModelTriangle& tri = model.triangles[static_cast<size_t>(i)];
    if ((tri.flags & kTriangleSelected) == 0) continue;
    auto at = [&](int k) {
      return view[static_cast<size_t>(tri.vertexIndex[static_cast<size_t>(k)])];
    };
    if (noBackfaces && backFaceDet(at(0), at(1), at(2)) >= 0) continue;
    marks[static_cast<size_t>(i)] = true;
    for (std::int16_t v : tri.vertexIndex) vertexMarks[static_cast<size_t>(v)] = true;
  }
  return marks;
}

Projected project(const Point3d& p, const Projection& proj, int projection, double uSign,
                  double vSign) {
  if (projection == kProjectionParallel)
    return {proj.centreX + p.x * uSign * proj.k, proj.centreY + p.y * vSign * proj.k};
  if (p.z <= 0) return {static_cast<double>(proj.centreX), static_cast<double>(proj.centreY)};
  const double f = p.z / proj.dist;
  return {proj.centreX + (p.x / f) * uSign * proj.k, proj.centreY + (p.y / f) * vSign * proj.k};
}

void orderCorners(MapRectangle& rect) {
  if (rect.x0 > rect.x1) std::swap(rect.x0, rect.x1);
  if (rect.y0 > rect.y1) std::swap(rect.y0, rect.y1);
}

std::int16_t toSt(double value) {
  return static_cast<std::int16_t>(std::clamp(std::trunc(value), -32768.0, 32767.0));
}

}  // namespace

MapFromViewValues defaultMapFromViewValues() {
  MapFromViewValues values;
  values.projection = kProjectionParallel;
  return values;
}

bool mapFromView(Model& model, const MapCamera& camera, MapRectangle& rect,
                 const MapFromViewValues& options) {
  const ModelFrame* frame = model.currentFrame();
  if (!frame || camera.viewWidth <= 0 || camera.viewHeight <= 0) return false;
  const ViewBasis basis = computeViewBasis(camera.eye, camera.target);
  const Projection proj =
      makeProjection(camera.viewWidth, camera.viewHeight, camera.fieldOfView, basis.dist);
  if (!(basis.dist > 0) || !std::isfinite(proj.k)) return false;  // eye on the target

  std::vector<Point3d> view(static_cast<size_t>(model.vertexCount));
  for (size_t v = 0; v < view.size(); ++v)
    view[v] = toViewSpaceExact(basis, camera.target, frame->vertices[v]);
  std::vector<bool> vertexMarks(view.size());
  std::vector<bool> marks = markTriangles(model, view, options.noBackfaces, vertexMarks);

  const double uSign = options.mirror ? 1.0 : -1.0;
  const double vSign = options.flip ? 1.0 : -1.0;
  std::vector<Projected> screen(view.size());
  double minX = std::numeric_limits<double>::max(), maxX = std::numeric_limits<double>::lowest();
  double minY = minX, maxY = maxX;
  for (size_t v = 0; v < view.size(); ++v) {
    if (!vertexMarks[v]) continue;
    screen[v] = project(view[v], proj, options.projection, uSign, vSign);
    minX = std::min(minX, screen[v].x), maxX = std::max(maxX, screen[v].x);
    minY = std::min(minY, screen[v].y), maxY = std::max(maxY, screen[v].y);
  }

  orderCorners(rect);
  const double rangeX = maxX - minX, rangeY = maxY - minY;
  const double scaleX = rangeX > 0 ? (rect.x1 - rect.x0) / rangeX : 0.0;
  const double scaleY = rangeY > 0 ? (rect.y1 - rect.y0) / rangeY : 0.0;
  std::vector<StCoord> st(view.size());
  for (size_t v = 0; v < view.size(); ++v)
    if (vertexMarks[v])
      st[v] = {toSt((screen[v].x - minX) * scaleX + rect.x0),
               toSt((screen[v].y - minY) * scaleY + rect.y0)};

  for (int i = 0; i < model.triangleCount; ++i) {
    if (!marks[static_cast<size_t>(i)]) continue;
    ModelTriangle& tri = model.triangles[static_cast<size_t>(i)];
    for (size_t k = 0; k < 3; ++k) tri.cornerSt[k] = st[static_cast<size_t>(tri.vertexIndex[k])];
  }
  rebuildStIndices(model);
  return true;
}

}  // namespace pelt
