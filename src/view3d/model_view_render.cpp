// The nine render modes at their four redraw levels.

#include <algorithm>

#include "view3d/corner_attributes.h"
#include "view3d/model_view.h"

namespace pelt {

namespace {

using namespace corner;

constexpr std::uint8_t kShadedBackground = 255;
constexpr std::uint8_t kSelectedBase = 64;
constexpr std::uint8_t kDraggedBase = 128;

bool isPlain(std::uint32_t flags) { return flags == 0; }
bool isSelectedOnly(std::uint32_t flags) { return flags == kTriangleSelected; }
bool isDraggedShown(std::uint32_t flags) {
  return (flags & kTriangleMoving) != 0 && (flags & kTriangleHidden) == 0;
}
bool isShown(std::uint32_t flags) { return (flags & kTriangleHidden) == 0; }
bool isAny(std::uint32_t) { return true; }

}  // namespace

void ModelView::render(int level) {
  if (viewWidth_ <= 0 || viewHeight_ <= 0) return;
  fillViewPalette();
  switch (in_.renderMode) {
    case kModeWireframe: renderWireframe(level); break;
    case kModeWireframeSolid:
      if (level == kRedrawFull || level == kRedrawQuick) renderSolid();
      break;
    case kModeFlat:
    case kModeGouraud:
    case kModePhong: renderShaded(in_.renderMode, level); break;
    case kModeEnvironment:
      if (level != kRedrawRetexture) renderEnvironment();
      break;
    case kModeTextured:
    case kModeTexturedGouraud:
    case kModeTexturedPhong: renderTextured(in_.renderMode, level); break;
    default: break;
  }
}

void ModelView::fillViewPalette() {
  if (const Skin* skin = in_.model.currentSkin()) {
    viewPalette_ = skin->palette;
    return;
  }
  viewPalette_ = greyRampPalette();
}

void ModelView::renderWireframe(int level) {
  if (level == kRedrawRetexture) return;
  Rasterizer& r = in_.rasterizer;
  r.setSize(viewWidth_, viewHeight_);
  r.bindPixels(pixelBuffer_.data());
  r.clearPixels(slot(kBackgroundSlot));
  if (level == kRedrawFull) {
    r.bindPick(pickBuffer_.data());
    r.clearPick(kPickNothing);
    pickHoldsTexels_ = false;
  }
  if (!gatherMeshes()) return;
  computeViewBasis();
  transformToView();
  updateProjection();
  Mesh& model = meshes_[0];
  if (mappingMode()) {
    drawEdgesWhere(model, slot(kMeshSlot), isPlain);
    for (Mesh& c : companions()) drawEdgesWhere(c, slot(kMeshSlot), isAny);
    drawEdgesWhere(model, slot(kSelectedSlot), isSelectedOnly);
    drawEdgesWhere(model, slot(kDraggedSlot), isDraggedShown);
  } else {
    drawEdgesWhere(model, slot(kMeshSlot), isShown);
    for (Mesh& c : companions()) drawEdgesWhere(c, slot(kMeshSlot), isAny);
  }
}

void ModelView::renderSolid() {
  const std::uint8_t background = slot(kBackgroundSlot);
  beginFilled(true, background);
  if (!prepareScene(ShadingKind::None)) return;
  Rasterizer& r = in_.rasterizer;
  auto noAttributes = [](size_t, auto&) {};
  Mesh& model = meshes_[0];
  for (std::int16_t t : model.visible) {
    const ModelTriangle& tri = model.triangles[static_cast<size_t>(t)];
    std::uint8_t colour = slot(kMeshSlot);
    if (mappingMode() && tri.flags != 0)
      colour = slot((tri.flags & kTriangleMoving) != 0 ? kDraggedSlot : kSelectedSlot);
    r.fillFlatDepthPick(corners<1>(model, tri, noAttributes), colour, t);
  }
  for (Mesh& c : companions())
    for (std::int16_t t : c.visible)
      r.fillFlatDepthPick(corners<1>(c, c.triangles[static_cast<size_t>(t)], noAttributes),
                          slot(kMeshSlot), c.firstLineId - t);
  // Hidden-line edges: each shows only over its own triangle's pixels.
  for (std::int16_t t : model.visible) {
    const std::int32_t id = t;
    drawEdges(model, model.triangles[static_cast<size_t>(t)], background, &id);
  }
  for (Mesh& c : companions())
    for (std::int16_t t : c.visible) {
      const std::int32_t id = c.firstLineId - t;
      drawEdges(c, c.triangles[static_cast<size_t>(t)], background, &id);
    }
}

void ModelView::shadeRampPalette() {
  const auto& ramps = in_.shading.shadeRamps;
  for (size_t ramp = 0; ramp < ramps.size(); ++ramp)
    std::copy(ramps[ramp].begin(), ramps[ramp].end(),
              viewPalette_.begin() + static_cast<std::ptrdiff_t>(ramp * ramps[ramp].size()));
  if (const Skin* skin = in_.model.currentSkin()) {
    const size_t background = slot(kBackgroundSlot);
    for (size_t k = 0; k < 3; ++k)
      viewPalette_[kShadedBackground * 3 + k] = skin->palette[background * 3 + k];
  }
}

void ModelView::renderShaded(int mode, int level) {
  if (level == kRedrawRetexture) return;
  shadeRampPalette();
  if (level == kRedrawBackground) return;
  const bool full = level == kRedrawFull;
  beginFilled(full, kShadedBackground);
  const Skin* phong = in_.phongMap;
  if (mode == kModePhong && phong == nullptr) return;
  const ShadingKind kind = mode == kModeFlat      ? ShadingKind::Flat
                           : mode == kModeGouraud ? ShadingKind::Gouraud
                                                  : ShadingKind::Map;
  if (!prepareScene(kind, true)) return;
  if (phong) in_.rasterizer.bindShadeMap({phong->pixels.data(), nullptr, kShadeMapSize, kShadeMapSize});
  for (Mesh& mesh : meshes_) {
    for (std::int16_t t : mesh.visible) {
      const ModelTriangle& tri = mesh.triangles[static_cast<size_t>(t)];
      std::uint8_t base = 0;
      if (!mesh.companion && mappingMode() && tri.flags != 0)
        base = (tri.flags & kTriangleMoving) != 0 ? kDraggedBase : kSelectedBase;
      const std::int32_t id = mesh.companion ? kPickCompanion : t;
      drawShadedTriangle(mode, mesh, tri, base, full, id);
    }
  }
}

void ModelView::drawShadedTriangle(int mode, const Mesh& mesh, const ModelTriangle& tri,
                                   std::uint8_t base, bool full, std::int32_t id) {
  Rasterizer& r = in_.rasterizer;
  if (mode == kModeFlat) {
    const auto c = corners<1>(mesh, tri, [](size_t, auto&) {});
    const auto colour = static_cast<std::uint8_t>(base + (tri.cornerShade[0] >> 2));
    full ? r.fillFlatDepthPick(c, colour, id) : r.fillFlatDepth(c, colour);
  } else if (mode == kModeGouraud) {
    const auto c = corners<2>(mesh, tri, [&](size_t k, auto& a) {
      a[0] = ((tri.cornerShade[k] & 0xFC) + 4 * base) << 14;
    });
    full ? r.fillGouraudDepthPick(c, id) : r.fillGouraudDepth(c);
  } else {
    const auto c = corners<3>(mesh, tri, [&](size_t k, auto& a) {
      a[0] = mapCoord(tri, k, 0);
      a[1] = mapCoord(tri, k, 1);
    });
    if (mesh.companion)
      full ? r.fillMapDepthPick(c, id) : r.fillMapDepth(c);
    else
      full ? r.fillMapRampDepthPick(c, id, base) : r.fillMapRampDepth(c, base);
  }
}

void ModelView::renderEnvironment() {
  const Skin* env = in_.envMap;
  if (env) viewPalette_ = env->palette;
  beginFilled(true, slot(kBackgroundSlot));
  if (env == nullptr || !prepareScene(ShadingKind::Map, false)) return;
  Rasterizer& r = in_.rasterizer;
  r.bindShadeMap({env->pixels.data(), nullptr, kShadeMapSize, kShadeMapSize});
  for (Mesh& mesh : meshes_)
    for (std::int16_t t : mesh.visible) {
      const ModelTriangle& tri = mesh.triangles[static_cast<size_t>(t)];
      r.fillMapDepth(corners<3>(mesh, tri, [&](size_t k, auto& a) {
        a[0] = mapCoord(tri, k, 0);
        a[1] = mapCoord(tri, k, 1);
      }));
    }
}

}  // namespace pelt
