// The three textured modes: plain, Gouraud-lit and phong-lit, with their
// mapping overlay, light pass, background and retexture levels.

#include <algorithm>
#include <limits>

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
    tilesIndexed_ = trianglesIndexed_ = false;
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
  auto recolour = [&](size_t begin, size_t end) {
    for (size_t i = begin; i < end; ++i) {
      const std::int32_t p = pickBuffer_[i];
      if (p < 0 || p >= texelCount) continue;
      if (lit)
        pixelBuffer_[i] =
            colormap[std::min<int>(lightBuffer_[i], kLightLevels - 1) * 256 + texels[p]];
      else
        pixelBuffer_[i] = texels[p];
    }
  };
  if (!skin->changedRegion) return recolour(0, pixelBuffer_.size());
  // A paint stroke names the pixels it changed: only tiles showing texels
  // in their offset range can change.
  const PixelRect& changed = *skin->changedRegion;
  if (changed.empty()) return;
  if (!tilesIndexed_) indexTexelTiles();
  const std::int32_t low = changed.y0 * skin->width + changed.x0;
  const std::int32_t high = changed.y1 * skin->width + changed.x1;
  const int columns = (viewWidth_ + kTexelTile - 1) / kTexelTile;
  for (size_t tile = 0; tile < tileLow_.size(); ++tile) {
    if (tileHigh_[tile] < low || tileLow_[tile] > high) continue;
    const int x = static_cast<int>(tile % static_cast<size_t>(columns)) * kTexelTile;
    const int y = static_cast<int>(tile / static_cast<size_t>(columns)) * kTexelTile;
    const int width = std::min(kTexelTile, viewWidth_ - x);
    for (int row = y; row < std::min(y + kTexelTile, viewHeight_); ++row) {
      const size_t start = static_cast<size_t>(row) * static_cast<size_t>(viewWidth_) +
                           static_cast<size_t>(x);
      recolour(start, start + static_cast<size_t>(width));
    }
  }
}

void ModelView::indexTexelTiles() {
  const int columns = (viewWidth_ + kTexelTile - 1) / kTexelTile;
  const int rows = (viewHeight_ + kTexelTile - 1) / kTexelTile;
  const auto count =
      static_cast<size_t>(std::max(columns, 0)) * static_cast<size_t>(std::max(rows, 0));
  tileLow_.assign(count, std::numeric_limits<std::int32_t>::max());
  tileHigh_.assign(count, -1);
  for (int y = 0; y < viewHeight_; ++y) {
    const std::int32_t* picks = pickBuffer_.data() + static_cast<size_t>(y) * viewWidth_;
    const size_t tileRow = static_cast<size_t>(y / kTexelTile) * static_cast<size_t>(columns);
    for (int x = 0; x < viewWidth_; ++x) {
      const std::int32_t p = picks[x];
      if (p < 0) continue;
      const size_t tile = tileRow + static_cast<size_t>(x / kTexelTile);
      tileLow_[tile] = std::min(tileLow_[tile], p);
      tileHigh_[tile] = std::max(tileHigh_[tile], p);
    }
  }
  tilesIndexed_ = true;
}

}  // namespace pelt
