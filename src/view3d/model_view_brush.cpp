// Painting on the model: the brush in window pixels through the pick
// buffer, skin lines that join walk points the skin shows far apart, the
// mirrored dab, the fill, and the outline and status text of the brush.

#include <algorithm>
#include <cmath>

#include "platform/platform.h"
#include "view3d/model_view.h"

namespace pelt {

namespace {

// Skin view and 3D view recolour through their texel maps.
constexpr int kPaintMask = 0x13;

// Two triangles continue each other on the skin when a corner of one lies
// on the skin where a corner of the other does.
bool continuousOnSkin(const Model& model, int a, int b) {
  if (a == b) return true;
  auto st = [&](int t, size_t k) {
    const auto i = static_cast<size_t>(model.triangles[static_cast<size_t>(t)].stIndex[k]);
    return i < model.stCoords.size() ? model.stCoords[i] : StCoord{};
  };
  for (size_t i = 0; i < 3; ++i)
    for (size_t j = 0; j < 3; ++j)
      if (st(a, i) == st(b, j)) return true;
  return false;
}

WindowPoint texelPoint(std::int32_t texel, int width) { return {texel % width, texel / width}; }

// Weights of the corners of triangle x, y at point (px, py); a triangle
// without area gives its first corner.
std::array<double, 3> screenWeights(const std::array<double, 3>& x, const std::array<double, 3>& y,
                                    double px, double py) {
  const double area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
  if (area == 0) return {1, 0, 0};
  const double wb = ((px - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (py - y[0])) / area;
  const double wc = ((x[1] - x[0]) * (py - y[0]) - (px - x[0]) * (y[1] - y[0])) / area;
  return {1 - wb - wc, wb, wc};
}

}  // namespace

bool ModelView::paintingPossible() const {
  const ModelViewMouseInputs& mouse = in_.mouse;
  return mouse.cameraOverride != nullptr && !*mouse.cameraOverride && !mappingMode() &&
         pickHoldsTexels_ && in_.model.currentSkin() != nullptr;
}

bool ModelView::paintStroke(bool pressed, WindowPoint point) {
  const ModelViewMouseInputs& mouse = in_.mouse;
  if (mouse.blendTable == nullptr || mouse.protectedColors == nullptr) return false;
  if (pressed) {
    Skin* skin = in_.model.currentSkin();
    if (skin == nullptr) return false;
    stroke_.begin(*skin, mouse.brushKind ? *mouse.brushKind : kBrushPoint, point,
                  mouse.brush.currentShape());
    if (mouse.brush.mirrors()) mirror_.prepare(in_.model, *mouse.brush.mirrorAxis);
  }
  if (!stroke_.paints(in_.model.currentSkin())) stroke_.drop();
  if (!stroke_.active()) return false;
  const PaintTables tables{*mouse.blendTable, *mouse.protectedColors, mouse.brush.softTables};
  if (stroke_.brush() == kBrushFill) return pressed && fillAt(point, tables);
  // Only the pencil's walks continue each other.
  if (pressed || stroke_.brush() != kBrushPencil) lastSample_.reset();
  auto dab = [&](int x, int y) { return dabAt(x, y, tables); };
  const PaintSurface<decltype(dab)> surface{in_.rasterizer, std::min(clientWidth_, viewWidth_),
                                            viewHeight_, dab};
  const bool refresh = pressed ? stroke_.press(surface) : stroke_.moveTo(surface, point);
  if (refresh) stroke_.recolour([this] { in_.platform.sendRefresh(kRedrawRetexture, kPaintMask); });
  return refresh;
}

// The dab in window pixels; where the skin shows this walk point and the
// last one more than a texel apart, the texels between them as well, so a
// stroke far from the eye leaves no dots.
bool ModelView::dabAt(int x, int y, const PaintTables& tables) {
  const WindowPoint here{x, y};
  bool changed = stroke_.dabWindow(
      x, y, [this](int px, int py) { return texelAt(px, py); }, tables);
  if (texelAt(x, y) < 0) {
    lastSample_.reset();
    return changed;
  }
  if (lastSample_) changed |= joinSamples(*lastSample_, here, tables);
  lastSample_ = here;
  if (in_.mouse.brush.mirrors() && mirror_.ready())
    if (const std::optional<SurfacePoint> point = surfaceAt(here))
      changed |= mirrorDab(*point, tables);
  return changed;
}

bool ModelView::joinSamples(WindowPoint from, WindowPoint to, const PaintTables& tables) {
  const Skin* skin = stroke_.skin();
  const std::int32_t a = texelAt(from.x, from.y), b = texelAt(to.x, to.y);
  if (skin == nullptr || skin->width <= 0 || a < 0 || b < 0) return false;
  const WindowPoint ta = texelPoint(a, skin->width), tb = texelPoint(b, skin->width);
  if (std::abs(ta.x - tb.x) <= 1 && std::abs(ta.y - tb.y) <= 1) return false;
  const std::optional<SurfacePoint> p = surfaceAt(from), q = surfaceAt(to);
  if (!p || !q) return false;
  if (!continuousOnSkin(in_.model, p->triangle, q->triangle)) return false;
  return stroke_.lineTexels(ta, tb, texelFootprint(*q), tables);
}

bool ModelView::mirrorDab(const SurfacePoint& point, const PaintTables& tables) {
  const std::optional<SurfacePoint> across = mirror_.mirror(in_.model, point);
  if (!across) return false;
  const std::array<int, 2> texel = surfaceTexel(in_.model, *across);
  return stroke_.dabTexels(texel[0], texel[1], texelFootprint(*across), tables);
}

bool ModelView::fillAt(WindowPoint point, const PaintTables& tables) {
  const Skin* skin = stroke_.skin();
  const std::int32_t seed = texelAt(point.x, point.y);
  if (skin == nullptr || skin->width <= 0 || seed < 0) return false;
  const BrushInputs& brush = in_.mouse.brush;
  std::vector<std::uint8_t> allowed;
  if (ctrlAtPress_ && brush.selectionMask) allowed = brush.selectionMask();
  bool changed = stroke_.fill(seed % skin->width, seed / skin->width, tables, allowed);
  if (brush.mirrors() && mirror_.ready())
    if (const std::optional<SurfacePoint> here = surfaceAt(point))
      if (const std::optional<SurfacePoint> across = mirror_.mirror(in_.model, *here)) {
        const std::array<int, 2> t = surfaceTexel(in_.model, *across);
        changed |= stroke_.fill(t[0], t[1], tables, allowed);
      }
  if (changed) stroke_.recolour([this] { in_.platform.sendRefresh(kRedrawRetexture, kPaintMask); });
  return changed;
}

// The window size times the model units a pixel spans at the point's depth
// times the triangle's texels per unit.
const Footprint& ModelView::texelFootprint(const SurfacePoint& point) {
  BrushShape shape = in_.mouse.brush.currentShape();
  const Point3d p = toViewSpaceExact(basis_, target, surfacePosition(in_.model, point));
  const double unitsPerPixel = proj_.k > 0 && proj_.dist > 0 ? p.z / (proj_.k * proj_.dist) : 0;
  const double texels = shape.size * unitsPerPixel * texelsPerUnit(in_.model, point.triangle);
  shape.size = std::isfinite(texels)
                   ? static_cast<int>(
                         std::clamp(std::lround(texels), long{kMinBrushSize}, long{kMaxBrushSize}))
                   : kMinBrushSize;
  if (scaledFootprint_.shape() != shape) scaledFootprint_ = Footprint(shape);
  return scaledFootprint_;
}

std::optional<SurfacePoint> ModelView::surfaceAt(WindowPoint p) {
  if (!pickHoldsTexels_ || !inClient(p) || meshes_.empty()) return std::nullopt;
  const int row = viewHeight_ - p.y - 1;
  const int t = triangleAt(p.x, row);
  if (t < 0) return std::nullopt;
  // Where the texel shown there lies on the triangle; where the mapping has
  // no area, where the pixel lies on the screen.
  const Skin* skin = in_.model.currentSkin();
  const std::int32_t texel = texelAt(p.x, p.y);
  std::optional<std::array<double, 3>> w;
  if (skin != nullptr && skin->width > 0 && texel >= 0)
    w = skinWeights(in_.model, t, texel % skin->width + 0.5, texel / skin->width + 0.5);
  if (!w) {
    const auto it = std::find_if(screenTriangles_.begin(), screenTriangles_.end(),
                                 [t](const ScreenTriangle& s) { return s.index == t; });
    if (it == screenTriangles_.end()) return std::nullopt;
    w = screenWeights(it->x, it->y, p.x, row);
  }
  // Edge pixels may lie just outside the exact triangle.
  const double wb = std::clamp((*w)[1], 0.0, 1.0);
  const double wc = std::clamp((*w)[2], 0.0, 1.0 - wb);
  return SurfacePoint{
      t, {static_cast<float>(1 - wb - wc), static_cast<float>(wb), static_cast<float>(wc)}};
}

// The fillers cover a triangle's edge pixels too: a triangle within a pixel
// of the point counts when none contains it.
int ModelView::triangleAt(int x, int row) {
  constexpr double kEdgePixels = 1.0;
  if (!trianglesIndexed_) indexTriangles();
  int inside = -1, near = -1;
  double insideDepth = 0, nearDepth = 0;
  for (const ScreenTriangle& s : screenTriangles_) {
    if (x < s.left - 1 || x > s.right + 1 || row < s.bottom - 1 || row > s.top + 1) continue;
    const std::array<double, 3> w = screenWeights(s.x, s.y, x, row);
    double reach = 0;  // how far outside its nearest edge, in pixels
    for (size_t k = 0; k < 3; ++k) {
      const size_t a = (k + 1) % 3, b = (k + 2) % 3;
      const double edge = std::hypot(s.x[b] - s.x[a], s.y[b] - s.y[a]);
      const double height = edge > 0 ? std::abs((s.x[a] - s.x[k]) * (s.y[b] - s.y[k]) -
                                                (s.x[b] - s.x[k]) * (s.y[a] - s.y[k])) /
                                           edge
                                     : 0;
      reach = std::max(reach, -w[k] * height);
    }
    const double depth = w[0] * s.z[0] + w[1] * s.z[1] + w[2] * s.z[2];
    if (reach <= 0 && (inside < 0 || depth < insideDepth)) {
      inside = s.index;
      insideDepth = depth;
    } else if (reach > 0 && reach <= kEdgePixels && (near < 0 || depth < nearDepth)) {
      near = s.index;
      nearDepth = depth;
    }
  }
  return inside >= 0 ? inside : near;
}

void ModelView::indexTriangles() {
  screenTriangles_.clear();
  const Mesh& mesh = meshes_[0];
  for (std::int16_t t : mesh.visible) {
    const ModelTriangle& tri = mesh.triangles[static_cast<size_t>(t)];
    ScreenTriangle s;
    s.index = t;
    for (size_t k = 0; k < 3; ++k) {
      const Point3f& v = mesh.view[static_cast<size_t>(tri.vertexIndex[k])];
      s.x[k] = proj_.x(v.x, v.z);
      s.y[k] = proj_.y(v.y, v.z);
      s.z[k] = v.z;
    }
    s.left = static_cast<int>(std::min({s.x[0], s.x[1], s.x[2]}));
    s.right = static_cast<int>(std::max({s.x[0], s.x[1], s.x[2]}));
    s.bottom = static_cast<int>(std::min({s.y[0], s.y[1], s.y[2]}));
    s.top = static_cast<int>(std::max({s.y[0], s.y[1], s.y[2]}));
    screenTriangles_.push_back(s);
  }
  trianglesIndexed_ = true;
}

std::string ModelView::statusText(int, int) const {
  if (!paintingPossible()) return {};
  const ModelViewMouseInputs& mouse = in_.mouse;
  return brushText(mouse.brush.currentShape(), mouse.brushKind ? *mouse.brushKind : kBrushPoint);
}

std::optional<BrushOutline> ModelView::brushOutline(int x, int y) const {
  const ModelViewMouseInputs& mouse = in_.mouse;
  if (!paintingPossible() || !inClient({x, y}) ||
      (mouse.brushKind && *mouse.brushKind == kBrushFill))
    return std::nullopt;
  const BrushShape shape = mouse.brush.currentShape();
  const int low = -((shape.size - 1) / 2);
  return BrushOutline{x + low, y + low, x + low + shape.size - 1, y + low + shape.size - 1,
                      shape.round};
}

}  // namespace pelt
