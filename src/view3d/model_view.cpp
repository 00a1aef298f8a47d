#include "view3d/model_view.h"

#include <algorithm>

#include "raster/clipping.h"

namespace pelt {

namespace {

// Buffers of a view whose size is not known yet.
constexpr size_t kPlaceholderPixels = 1024;
constexpr double kNearestFilled = 1.0;
constexpr double kDepthRange = 1073741824.0;
constexpr double kNoDepth = 9999999999.0;

}  // namespace

ModelView::ModelView(ModelViewInputs inputs)
    : in_(std::move(inputs)),
      pixelBuffer_(kPlaceholderPixels),
      depthBuffer_(kPlaceholderPixels),
      pickBuffer_(kPlaceholderPixels) {}

void ModelView::resize(int clientWidth, int clientHeight) {
  int width = std::max(clientWidth, 0);
  while (width % 4 != 0) ++width;
  const int height = std::max(clientHeight, 0);
  clientWidth_ = std::max(clientWidth, 0);
  clientHeight_ = height;
  if (width == viewWidth_ && height == viewHeight_) return;
  const auto count = static_cast<size_t>(width) * static_cast<size_t>(height);
  pixelBuffer_.assign(count, 0);
  depthBuffer_.assign(count, kDepthFar);
  pickBuffer_.assign(count, kPickNothing);
  if (in_.renderMode == kModeTexturedGouraud || in_.renderMode == kModeTexturedPhong)
    lightBuffer_.assign(count, 0);
  pickHoldsTexels_ = false;
  viewWidth_ = width;
  viewHeight_ = height;
}

void ModelView::render(int level, int) { render(level); }

ViewImage ModelView::image() const {
  ViewImage out;
  if (viewWidth_ <= 0 || viewHeight_ <= 0) return out;
  out.width = viewWidth_;
  out.height = viewHeight_;
  out.format = ImageFormat::Indexed8;
  out.pixels = pixelBuffer_.data();
  out.colors = &viewPalette_;
  return out;
}

void ModelView::computeViewBasis() { basis_ = pelt::computeViewBasis(eye, target); }

void ModelView::transformToView() {
  for (Mesh& mesh : meshes_) {
    mesh.view.resize(mesh.vertices.size());
    for (size_t i = 0; i < mesh.vertices.size(); ++i)
      mesh.view[i] = toViewSpace(basis_, target, mesh.vertices[i], mesh.offset);
  }
}

void ModelView::buildVisibleList() {
  depthMin_ = kNoDepth;
  depthMax_ = -kNoDepth;
  bool any = false;
  for (Mesh& mesh : meshes_) {
    mesh.visible.clear();
    const auto vertexCount = mesh.view.size();
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
      const ModelTriangle& tri = mesh.triangles[t];
      if (!mesh.companion && (tri.flags & kTriangleHidden) != 0) continue;
      const auto [i0, i1, i2] = tri.vertexIndex;
      if (static_cast<size_t>(i0) >= vertexCount || static_cast<size_t>(i1) >= vertexCount ||
          static_cast<size_t>(i2) >= vertexCount)
        continue;
      const Point3f& p0 = mesh.view[static_cast<size_t>(i0)];
      const Point3f& p1 = mesh.view[static_cast<size_t>(i1)];
      const Point3f& p2 = mesh.view[static_cast<size_t>(i2)];
      if (!(p2.z >= kNearestFilled && p1.z >= kNearestFilled && p0.z >= kNearestFilled)) continue;
      const double x0 = p0.x, y0 = p0.y, z0 = p0.z, x1 = p1.x, y1 = p1.y, z1 = p1.z;
      const double x2 = p2.x, y2 = p2.y, z2 = p2.z;
      const double det =
          (y0 * x1 - x0 * y1) * z2 + (z0 * y1 - y0 * z1) * x2 + (x0 * z1 - z0 * x1) * y2;
      if (det >= 0) continue;
      for (double z : {z0, z1, z2}) {
        depthMin_ = std::min(depthMin_, z);
        depthMax_ = std::max(depthMax_, z);
      }
      mesh.visible.push_back(static_cast<std::int16_t>(t));
      any = true;
    }
  }
  // One shared depth puts every corner at depth 0, nearer than the cleared buffer.
  if (any) depthScale_ = depthMax_ > depthMin_ ? kDepthRange / (depthMax_ - depthMin_) : 0.0;
}

std::span<const Point3f> ModelView::viewVertices() const {
  return meshes_.empty() ? std::span<const Point3f>{} : std::span<const Point3f>(meshes_[0].view);
}

std::span<const std::int16_t> ModelView::visibleTriangles() const {
  return meshes_.empty() ? std::span<const std::int16_t>{}
                         : std::span<const std::int16_t>(meshes_[0].visible);
}

Projection ModelView::projection() const {
  Projection p = makeProjection(viewWidth_, viewHeight_, fieldOfView, basis_.dist);
  p.depthMin = depthMin_;
  p.depthScale = depthScale_;
  return p;
}

bool ModelView::gatherMeshes() {
  for (Mesh& mesh : meshes_) mesh.visible.clear();
  Model& model = in_.model;
  ModelFrame* frame = model.currentFrame();
  if (frame == nullptr) {
    meshes_.resize(0);
    return false;
  }
  std::vector<CompanionScene> shown;
  if (in_.shownCompanions) shown = in_.shownCompanions();
  meshes_.resize(1 + shown.size());
  Mesh& main = meshes_[0];
  const auto vertexCount = std::min(frame->vertices.size(), static_cast<size_t>(model.vertexCount));
  main.vertices = std::span<const Vec3>(frame->vertices).first(vertexCount);
  main.triangles = std::span<ModelTriangle>(model.triangles)
                       .first(static_cast<size_t>(std::clamp(model.triangleCount, 0, kMaxTriangles)));
  main.stCoords = model.stCoords;
  main.skin = model.currentSkin();
  main.offset = {};
  main.companion = false;
  std::int32_t nextLineId = kFirstCompanionLineId;
  for (size_t i = 0; i < shown.size(); ++i) {
    Mesh& mesh = meshes_[i + 1];
    mesh.vertices = shown[i].vertices;
    mesh.triangles = shown[i].triangles;
    mesh.stCoords = shown[i].stCoords;
    mesh.skin = shown[i].skin;
    mesh.offset = shown[i].offset;
    mesh.companion = true;
    mesh.firstLineId = nextLineId;
    nextLineId -= static_cast<std::int32_t>(mesh.triangles.size());
    if (shown[i].blend > 0) poseMesh(mesh, shown[i].nextVertices, shown[i].blend);
  }
  const FrameBlend* blend = in_.frameBlend;
  if (blend && blend->active() && blend->next < static_cast<int>(model.frames.size()))
    poseMesh(main, model.frames[static_cast<size_t>(blend->next)].vertices, blend->t);
  return true;
}

// The blended pose replaces the frame's vertices for this render, and the
// lit modes shade it by its own face normals.
void ModelView::poseMesh(Mesh& mesh, std::span<const Vec3> next, float t) {
  if (next.size() < mesh.vertices.size()) return;
  blendVertices(mesh.vertices, next, t, mesh.posed);
  mesh.vertices = mesh.posed;
  const auto count = static_cast<size_t>(mesh.posed.size());
  for (ModelTriangle& tri : mesh.triangles)
    if (std::all_of(tri.vertexIndex.begin(), tri.vertexIndex.end(),
                    [count](std::int16_t i) { return i >= 0 && static_cast<size_t>(i) < count; }))
      updateFaceNormal(tri, mesh.posed);
}

void ModelView::shadeMeshes(ShadingKind kind, bool phong) {
  if (kind == ShadingKind::Map) {
    const MapAngles angles =
        phong ? phongAngles(basis_, in_.shading.lightDirection) : environmentAngles(basis_);
    for (Mesh& mesh : meshes_) writeMapNormals(mesh.triangles, angles);
  }
  for (Mesh& mesh : meshes_)
    computeShading(kind, mesh.triangles, static_cast<int>(mesh.vertices.size()), in_.shading,
                   mesh.companion);
}

bool ModelView::prepareScene(ShadingKind kind, bool phong) {
  if (!gatherMeshes()) return false;
  computeViewBasis();
  shadeMeshes(kind, phong);
  transformToView();
  buildVisibleList();
  updateProjection();
  return true;
}

void ModelView::beginFilled(bool withPick, std::uint8_t background) {
  Rasterizer& r = in_.rasterizer;
  r.setSize(viewWidth_, viewHeight_);
  r.bindPixels(pixelBuffer_.data());
  r.bindDepth(depthBuffer_.data());
  r.bindPick(withPick ? pickBuffer_.data() : nullptr);
  r.clearPixels(background);
  r.clearDepth(kDepthFar);
  if (withPick) {
    r.clearPick(kPickNothing);
    pickHoldsTexels_ = false;
  }
  r.resetSpans();
  for (Mesh& mesh : meshes_) mesh.visible.clear();
}

void ModelView::bindSkin(Skin& skin) {
  if (skin.rowOffsets.size() != static_cast<size_t>(std::max(skin.height, 0))) buildRowOffsets(&skin);
  in_.rasterizer.bindTexture({skin.pixels.data(), skin.rowOffsets.data(), skin.width, skin.height});
}

std::array<std::int32_t, 2> ModelView::skinCoords(const Mesh& mesh, const ModelTriangle& tri,
                                                  int k) const {
  const auto index = static_cast<size_t>(tri.stIndex[static_cast<size_t>(k)]);
  const StCoord st = index < mesh.stCoords.size() ? mesh.stCoords[index] : StCoord{};
  // The fillers read the skin unchecked: keep the corners on it.
  const int maxS = mesh.skin ? std::max(mesh.skin->width - 1, 0) : 0;
  const int maxT = mesh.skin ? std::max(mesh.skin->height - 1, 0) : 0;
  return {std::clamp<std::int32_t>(st.s, 0, maxS) << kFixedShift,
          std::clamp<std::int32_t>(st.t, 0, maxT) << kFixedShift};
}

void ModelView::drawEdges(const Mesh& mesh, const ModelTriangle& tri, std::uint8_t colour,
                          const std::int32_t* pickId) {
  const Projection& p = proj_;
  for (size_t k = 0; k < 3; ++k) {
    const auto a = static_cast<size_t>(tri.vertexIndex[k]);
    const auto b = static_cast<size_t>(tri.vertexIndex[(k + 1) % 3]);
    if (a >= mesh.view.size() || b >= mesh.view.size()) return;
    Point3f from = mesh.view[a], to = mesh.view[b];
    if (!clipNearZ(from, to)) continue;
    ScreenLine line{p.x(from.x, from.z), p.y(from.y, from.z), p.x(to.x, to.z), p.y(to.y, to.z)};
    if (!in_.rasterizer.clipLine(line)) continue;
    if (pickId)
      in_.rasterizer.drawLinePick(line, colour, *pickId);
    else
      in_.rasterizer.drawLine(line, colour);
  }
}

void ModelView::drawEdgesWhere(const Mesh& mesh, std::uint8_t colour,
                               bool (*pick)(std::uint32_t flags)) {
  for (const ModelTriangle& tri : mesh.triangles)
    if (pick(tri.flags)) drawEdges(mesh, tri, colour, nullptr);
}

}  // namespace pelt
