// The three textured modes: plain, Gouraud-lit and phong-lit, with their
// mapping overlay, light pass, background and retexture levels.

#include <algorithm>

#include "view3d/corner_attributes.h"
#include "view3d/model_view.h"

namespace pelt {

namespace {

using namespace corner;

enum class PickKind { None, Id, Texel };

}  // namespace

void ModelView::renderTextured(int mode, int level) {
  if (level == kRedrawBackground) return clearUnpicked();
  if (level == kRedrawRetexture) return retexture(mode);
  const bool full = level == kRedrawFull;
  const bool mapping = mappingMode();
  beginFilled(full || mapping, slot(kBackgroundSlot));
  Skin* skin = in_.model.currentSkin();
  Skin* phong = in_.phongMap;
  const bool lit = mode != kModeTextured;
  if (skin == nullptr || (lit && !hasLightTable()) || (mode == kModeTexturedPhong && !phong))
    return;
  const ShadingKind kind = mode == kModeTextured         ? ShadingKind::None
                           : mode == kModeTexturedGouraud ? ShadingKind::Gouraud
                                                          : ShadingKind::Map;
  if (!prepareScene(kind, true)) return;
  Rasterizer& r = in_.rasterizer;
  if (lit) r.bindColormap(lightTable_->pixels.data(), kLightLevels);
  if (phong && mode == kModeTexturedPhong) {
    if (!hasLitPlane(*phong)) buildLitPlane(in_.shading.shadeCurve, *phong);
    r.bindShadeMap({phong->storedPixels.data(), nullptr, kShadeMapSize, kShadeMapSize});
  }
  drawTexturedMesh(mode, meshes_[0], full, mapping);
  if (mapping) drawOverlay();
  for (Mesh& c : companions()) drawTexturedMesh(mode, c, full, mapping);
  if (full && !mapping) {
    pickHoldsTexels_ = true;
    if (lit) drawLightPass(mode);
  }
}

void ModelView::drawTexturedMesh(int mode, Mesh& mesh, bool full, bool mapping) {
  if (mesh.skin == nullptr || mesh.visible.empty()) return;
  bindSkin(*mesh.skin);
  Rasterizer& r = in_.rasterizer;
  PickKind pick = PickKind::None;
  if (mapping || (full && mesh.companion)) pick = PickKind::Id;
  else if (full) pick = PickKind::Texel;
  for (std::int16_t t : mesh.visible) {
    const ModelTriangle& tri = mesh.triangles[static_cast<size_t>(t)];
    const std::int32_t id = mesh.companion ? kPickCompanion : t;
    if (mode == kModeTextured) {
      const auto c = corners<3>(mesh, tri, [&](size_t k, auto& a) {
        const auto st = skinCoords(mesh, tri, static_cast<int>(k));
        a[0] = st[0];
        a[1] = st[1];
      });
      if (pick == PickKind::Id) r.fillTextureDepthPick(c, id);
      else if (pick == PickKind::Texel) r.fillTextureDepthTexel(c);
      else r.fillTextureDepth(c);
    } else if (mode == kModeTexturedGouraud) {
      const auto c = corners<4>(mesh, tri, [&](size_t k, auto& a) {
        const auto st = skinCoords(mesh, tri, static_cast<int>(k));
        a[0] = st[0];
        a[1] = st[1];
        a[2] = light(tri, k);
      });
      if (pick == PickKind::Id) r.fillTextureLitDepthPick(c, id);
      else if (pick == PickKind::Texel) r.fillTextureLitDepthTexel(c);
      else r.fillTextureLitDepth(c);
    } else {
      const auto c = corners<5>(mesh, tri, [&](size_t k, auto& a) {
        const auto st = skinCoords(mesh, tri, static_cast<int>(k));
        a[0] = st[0];
        a[1] = st[1];
        a[2] = mapCoord(tri, k, 0);
        a[3] = mapCoord(tri, k, 1);
      });
      if (pick == PickKind::Id) r.fillTextureMapLitDepthPick(c, id);
      else if (pick == PickKind::Texel) r.fillTextureMapLitDepthTexel(c);
      else r.fillTextureMapLitDepth(c);
    }
  }
}

void ModelView::drawOverlay() {
  const Mesh& model = meshes_[0];
  auto pass = [&](std::uint8_t colour, auto matches) {
    for (std::int16_t t : model.visible) {
      const ModelTriangle& tri = model.triangles[static_cast<size_t>(t)];
      const std::int32_t id = t;
      if (matches(tri.flags)) drawEdges(model, tri, colour, &id);
    }
  };
  pass(slot(kMeshSlot), [](std::uint32_t f) { return f == 0; });
  pass(slot(kSelectedSlot), [](std::uint32_t f) { return f == kTriangleSelected; });
  pass(slot(kDraggedSlot), [](std::uint32_t f) { return (f & kTriangleMoving) != 0; });
}

// Records the light level of every model pixel so a retexture can relight
// painted texels without rasterizing.
void ModelView::drawLightPass(int mode) {
  if (lightBuffer_.size() != pixelBuffer_.size()) return;
  Rasterizer& r = in_.rasterizer;
  r.bindPixels(lightBuffer_.data());
  r.clearDepth(kDepthFar);
  r.resetSpans();
  const Mesh& model = meshes_[0];
  for (std::int16_t t : model.visible) {
    const ModelTriangle& tri = model.triangles[static_cast<size_t>(t)];
    if (mode == kModeTexturedGouraud) {
      r.fillGouraudDepth(
          corners<2>(model, tri, [&](size_t k, auto& a) { a[0] = light(tri, k); }));
    } else {
      r.fillMapDepth(corners<3>(model, tri, [&](size_t k, auto& a) {
        a[0] = mapCoord(tri, k, 0);
        a[1] = mapCoord(tri, k, 1);
      }));
    }
  }
  r.bindPixels(pixelBuffer_.data());
}

void ModelView::clearUnpicked() {
  const std::uint8_t background = slot(kBackgroundSlot);
  for (size_t i = 0; i < pixelBuffer_.size(); ++i)
    if (pickBuffer_[i] == kPickNothing) pixelBuffer_[i] = background;
}

// Only texel offsets can be recoloured from the skin; after a render that
// left triangle indices there is nothing to do.
void ModelView::retexture(int mode) {
  const Skin* skin = in_.model.currentSkin();
  if (skin == nullptr || !pickHoldsTexels_) return;
  const bool lit = mode != kModeTextured;
  if (lit && (!hasLightTable() || lightBuffer_.size() != pixelBuffer_.size())) return;
  const std::uint8_t* texels = skin->pixels.data();
  const auto texelCount = static_cast<std::int32_t>(skin->pixels.size());
  const std::uint8_t* colormap = lit ? lightTable_->pixels.data() : nullptr;
  for (size_t i = 0; i < pixelBuffer_.size(); ++i) {
    const std::int32_t p = pickBuffer_[i];
    if (p < 0 || p >= texelCount) continue;
    if (lit)
      pixelBuffer_[i] = colormap[std::min<int>(lightBuffer_[i], kLightLevels - 1) * 256 + texels[p]];
    else
      pixelBuffer_[i] = texels[p];
  }
}

}  // namespace pelt
