#include "skinview/skin_view.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "raster/screen_vertex.h"

namespace pelt {

namespace {

// Buffers of a view whose size is not known yet.
constexpr size_t kPlaceholderPixels = 1024;
// Keeps truncated coordinates far inside the rasterizer's fixed-point range
// however far the view was panned or zoomed.
constexpr float kCoordinateLimit = 1 << 20;

std::int32_t toBuffer(float value) {
  return static_cast<std::int32_t>(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}

bool flagsClear(std::uint32_t flags) { return flags == 0; }
bool flagsSelectedOnly(std::uint32_t flags) { return flags == kTriangleSelected; }
bool flagsMoving(std::uint32_t flags) { return (flags & kTriangleMoving) != 0; }

}  // namespace

SkinView::SkinView(SkinViewInputs inputs)
    : viewPixels(kPlaceholderPixels),
      texelMap(kPlaceholderPixels),
      mapRectShown(inputs.mapRectShown),
      in_(std::move(inputs)) {}

void SkinView::resize(int clientWidth, int clientHeight) {
  const int width = (std::max(clientWidth, 0) + 3) & ~3;
  const int height = std::max(clientHeight, 0);
  clientWidth_ = std::max(clientWidth, 0);
  if (width == viewWidth && height == viewHeight) return;
  mappedRows_.clear();
  rowsToNote_ = false;
  const auto count = static_cast<size_t>(width) * static_cast<size_t>(height);
  viewPixels.assign(count, slot(7));
  texelMap.assign(count, kPickNothing);
  viewWidth = static_cast<std::int16_t>(width);
  viewHeight = static_cast<std::int16_t>(height);
}

ViewImage SkinView::image() const {
  ViewImage out;
  if (viewWidth <= 0 || viewHeight <= 0) return out;
  const Skin* skin = currentSkin();
  shownColors_ = skin ? skin->palette : greyRampPalette();
  out.width = viewWidth;
  out.height = viewHeight;
  out.format = ImageFormat::Indexed8;
  out.pixels = viewPixels.data();
  out.colors = &shownColors_;
  return out;
}

BufferPoint SkinView::skinToBuffer(float x, float y) const {
  return {toBuffer((x - panS) * zoom + static_cast<float>(halfWidth())),
          toBuffer(-((y - panT) * zoom) + static_cast<float>(halfHeight()))};
}

BufferPoint SkinView::stToBuffer(std::int32_t s, std::int32_t t) const {
  return {toBuffer((static_cast<float>(s) + 0.5f - panS) * zoom + static_cast<float>(halfWidth())),
          toBuffer(-((static_cast<float>(t) + 0.5f - panT) * zoom) +
                   static_cast<float>(halfHeight()))};
}

SkinPoint SkinView::windowToSkin(int wx, int wy) const {
  return {static_cast<float>(wx - halfWidth()) / zoom + panS,
          static_cast<float>(wy - halfHeight()) / zoom + panT};
}

std::int32_t SkinView::texelAt(int wx, int wy) const {
  if (!insideView(wx, wy)) return kPickNothing;
  return texelMap[static_cast<size_t>(viewHeight - wy - 1) * viewWidth + static_cast<size_t>(wx)];
}

std::string SkinView::statusText(int x, int y) const {
  const Skin* skin = currentSkin();
  const std::int32_t texel = texelAt(x, y);
  if (skin == nullptr || skin->width <= 0 || texel < 0 ||
      static_cast<size_t>(texel) >= skin->pixels.size())
    return {};
  const int index = skin->pixels[static_cast<size_t>(texel)];
  const auto* rgb = &skin->palette[static_cast<size_t>(index) * 3];
  char text[64];
  std::snprintf(text, sizeof text, "%d, %d  %d (%d, %d, %d)", texel % skin->width,
                texel / skin->width, index, rgb[0], rgb[1], rgb[2]);
  if (!paintingPossible()) return text;
  return text + std::string("   ") + brushText(in_.brush.currentShape(), in_.brushKind);
}

bool SkinView::paintingPossible() const {
  return in_.interactionMode == 0 && !in_.cameraOverride && mapRectShown == 0 &&
         currentSkin() != nullptr;
}

// The window pixels that show the footprint's square of texels around the
// texel under the point, found along the point's row and column of the
// texel map.
std::optional<BrushOutline> SkinView::brushOutline(int x, int y) const {
  const Skin* skin = currentSkin();
  const std::int32_t texel = texelAt(x, y);
  if (!paintingPossible() || in_.brushKind == kBrushFill || texel < 0 || skin->width <= 0)
    return std::nullopt;
  const BrushShape shape = in_.brush.currentShape();
  const int low = -((shape.size - 1) / 2), high = low + shape.size - 1;
  auto within = [&](int wx, int wy, int centre, bool column) {
    const std::int32_t t = texelAt(wx, wy);
    if (t < 0) return false;
    const int at = column ? t % skin->width : t / skin->width;
    return at >= centre + low && at <= centre + high;
  };
  const int cx = texel % skin->width, cy = texel / skin->width;
  BrushOutline out{x, y, x, y, shape.round};
  while (within(out.left - 1, y, cx, true)) --out.left;
  while (within(out.right + 1, y, cx, true)) ++out.right;
  while (within(x, out.top - 1, cy, false)) --out.top;
  while (within(x, out.bottom + 1, cy, false)) ++out.bottom;
  return out;
}

void SkinView::normaliseMapRect() {
  // Before a model gives the skin its size the default stays as it is;
  // clamped to no skin at all it would shrink to a point.
  if (in_.model.skinWidth <= 0 || in_.model.skinHeight <= 0) return;
  const std::int32_t maxX = in_.model.skinWidth - 1;
  const std::int32_t maxY = in_.model.skinHeight - 1;
  MapRect& r = mapRect;
  r.x0 = std::clamp(r.x0, 0, maxX);
  r.x1 = std::clamp(r.x1, 0, maxX);
  r.y0 = std::clamp(r.y0, 0, maxY);
  r.y1 = std::clamp(r.y1, 0, maxY);
  if (r.x0 > r.x1) std::swap(r.x0, r.x1);
  if (r.y0 > r.y1) std::swap(r.y0, r.y1);
}

void SkinView::renderSkinView(int level, int) {
  if (viewWidth <= 0 || viewHeight <= 0) return;
  normaliseMapRect();
  switch (level) {
    case 0: renderFull(true); break;
    case 1: renderFull(false); break;
    case 2: renderBackground(); break;
    case 3: retexture(); break;
    default: return;
  }
  const Skin* skin = currentSkin();
  if (skin == nullptr) return;
  if (in_.interactionMode == 1 || in_.showMeshWhilePainting) drawOverlay();
  if (mapRectShown != 0) drawMapRect();
}

void SkinView::renderFull(bool writeTexels) {
  Rasterizer& r = in_.rasterizer;
  r.setSize(viewWidth, viewHeight);
  r.bindPixels(viewPixels.data());
  r.bindPick(texelMap.data());
  r.resetSpans();
  if (writeTexels) {
    mappedRows_.clear();
    rowsToNote_ = false;
  }
  Skin* skin = currentSkin();
  if (skin == nullptr || skin->width <= 0 || skin->height <= 0) {
    r.clearPixels(slot(7));
    if (writeTexels) r.clearPick(kPickNothing);
    return;
  }
  if (skin->rowOffsets.size() != static_cast<size_t>(skin->height)) buildRowOffsets(skin);
  r.bindTexture({skin->pixels.data(), skin->rowOffsets.data(), skin->width, skin->height});

  // The quad covers every skin pixel: its far corners lie past the last
  // pixel, whose texture coordinate they carry.
  const int w = skin->width, h = skin->height;
  const std::array<std::array<std::int32_t, 2>, 4> skinCorners = {{{0, 0}, {w, 0}, {w, h}, {0, h}}};
  std::array<ScreenVertex<2>, 5> quad;
  for (size_t k = 0; k < skinCorners.size(); ++k) {
    const auto [x, y] = skinCorners[k];
    const BufferPoint p = skinToBuffer(static_cast<float>(x), static_cast<float>(y));
    quad[k] = {p.x, p.y, {x * kFixedOne - (x == w ? 1 : 0), y * kFixedOne - (y == h ? 1 : 0)}};
  }
  quad[4] = quad[0];
  if (writeTexels) {
    r.fillTextureTexelOnClear(quad, slot(7), kPickNothing);
    // Noted on the first recolour: most Full renders are never recoloured.
    rowsToNote_ = true;
    mappedSkinPixels_ = skin->pixels.size();
  } else {
    r.fillTextureOnClear(quad, slot(7));
  }
}

// Magnified rows repeat: a row whose texels equal the row below's is, after
// a recolour, a copy of it. The filler writes each row's texels without
// gaps, so a row is one span.
void SkinView::noteMappedRows(const Skin& skin) {
  const auto w = static_cast<size_t>(viewWidth);
  rowsToNote_ = false;
  mappedRows_.assign(static_cast<size_t>(viewHeight), MappedRow{});
  mappedSkinPixels_ = skin.pixels.size();
  for (size_t y = 0; y < mappedRows_.size(); ++y) {
    const std::int32_t* texels = texelMap.data() + y * w;
    MappedRow& row = mappedRows_[y];
    size_t left = 0;
    while (left < w && texels[left] == kPickNothing) ++left;
    size_t right = w;
    while (right > left && texels[right - 1] == kPickNothing) --right;
    if (left == right) continue;
    row.left = static_cast<std::int32_t>(left);
    row.right = static_cast<std::int32_t>(right);
    const MappedRow* below = y > 0 ? &mappedRows_[y - 1] : nullptr;
    row.sameAsBelow = below != nullptr && below->left == row.left &&
                      below->right == row.right &&
                      std::memcmp(texels + left, texels - w + left,
                                  (right - left) * sizeof(std::int32_t)) == 0;
  }
}

void SkinView::renderBackground() {
  if (currentSkin() == nullptr) return;
  const std::uint8_t background = slot(7);
  const size_t count = viewPixels.size();
  for (size_t i = 0; i < count; ++i)
    if (texelMap[i] == kPickNothing) viewPixels[i] = background;
}

void SkinView::retexture() {
  const Skin* skin = currentSkin();
  if (skin == nullptr) return;
  if (rowsToNote_ && mappedSkinPixels_ == skin->pixels.size()) noteMappedRows(*skin);
  PixelRect box{0, 0, viewWidth - 1, viewHeight - 1};
  if (skin->changedRegion) {
    // A paint stroke names the pixels it changed; they show inside this box.
    const PixelRect& changed = *skin->changedRegion;
    if (changed.empty()) return;
    const BufferPoint a =
        skinToBuffer(static_cast<float>(changed.x0), static_cast<float>(changed.y0));
    const BufferPoint b =
        skinToBuffer(static_cast<float>(changed.x1 + 1), static_cast<float>(changed.y1 + 1));
    constexpr int kMargin = 2;
    box.x0 = std::max(box.x0, std::min(a.x, b.x) - kMargin);
    box.x1 = std::min(box.x1, std::max(a.x, b.x) + kMargin);
    box.y0 = std::max(box.y0, std::min(a.y, b.y) - kMargin);
    box.y1 = std::min(box.y1, std::max(a.y, b.y) + kMargin);
  }
  if (!mappedRows_.empty() && mappedSkinPixels_ == skin->pixels.size()) {
    retextureRows(*skin, box);
    return;
  }
  // The map may still hold offsets of a larger skin until the next Full render.
  const auto limit = static_cast<std::uint32_t>(skin->pixels.size());
  const std::uint8_t* source = skin->pixels.data();
  for (int row = box.y0; row <= box.y1; ++row) {
    const size_t start = static_cast<size_t>(row) * static_cast<size_t>(viewWidth);
    const std::int32_t* texels = texelMap.data() + start;
    std::uint8_t* out = viewPixels.data() + start;
    for (int x = box.x0; x <= box.x1; ++x) {
      const auto texel = static_cast<std::uint32_t>(texels[x]);
      if (texel < limit) out[x] = source[texel];
    }
  }
}

// A row the same as the one below copies it: that row is either recoloured
// just now or shows none of the changed texels, so it is current either way.
void SkinView::retextureRows(const Skin& skin, const PixelRect& box) {
  const auto w = static_cast<size_t>(viewWidth);
  const std::uint8_t* source = skin.pixels.data();
  const int top = std::min(box.y1, static_cast<int>(mappedRows_.size()) - 1);
  for (int y = std::max(box.y0, 0); y <= top; ++y) {
    const MappedRow& row = mappedRows_[static_cast<size_t>(y)];
    const auto left = static_cast<size_t>(std::max(row.left, box.x0));
    const auto right = static_cast<size_t>(std::max(std::min(row.right, box.x1 + 1), box.x0));
    if (left >= right) continue;
    std::uint8_t* pixels = viewPixels.data() + static_cast<size_t>(y) * w;
    const std::int32_t* texels = texelMap.data() + static_cast<size_t>(y) * w;
    if (row.sameAsBelow) {
      std::memcpy(pixels + left, pixels - w + left, right - left);
      continue;
    }
    for (size_t x = left; x < right; ++x) pixels[x] = source[texels[x]];
  }
}

void SkinView::drawClipped(BufferPoint a, BufferPoint b, std::uint8_t colour) {
  ScreenLine line{a.x, a.y, b.x, b.y};
  Rasterizer& r = in_.rasterizer;
  if (r.clipLine(line)) r.drawLine(line, colour);
}

void SkinView::drawEdgesWhere(std::uint8_t colour, bool (*pick)(std::uint32_t flags)) {
  const Model& model = in_.model;
  const int count = std::min<int>(model.triangleCount, static_cast<int>(model.triangles.size()));
  for (int i = 0; i < count; ++i) {
    const ModelTriangle& tri = model.triangles[static_cast<size_t>(i)];
    if (!pick(tri.flags)) continue;
    std::array<BufferPoint, 3> ends;
    for (size_t k = 0; k < 3; ++k) {
      const auto index = static_cast<size_t>(tri.stIndex[k]);
      const StCoord st = index < model.stCoords.size() ? model.stCoords[index] : StCoord{};
      ends[k] = stToBuffer(st.s, st.t);
    }
    drawClipped(ends[0], ends[1], colour);
    drawClipped(ends[1], ends[2], colour);
    drawClipped(ends[2], ends[0], colour);
  }
}

void SkinView::drawOverlay() {
  Rasterizer& r = in_.rasterizer;
  r.setSize(viewWidth, viewHeight);
  r.bindPixels(viewPixels.data());
  drawEdgesWhere(slot(1), flagsClear);
  drawEdgesWhere(slot(2), flagsSelectedOnly);
  drawEdgesWhere(slot(3), flagsMoving);
}

void SkinView::drawMapRect() {
  Rasterizer& r = in_.rasterizer;
  r.setSize(viewWidth, viewHeight);
  r.bindPixels(viewPixels.data());
  const MapRect& m = mapRect;
  auto at = [&](std::int32_t x, std::int32_t y) {
    return skinToBuffer(static_cast<float>(x), static_cast<float>(y));
  };
  const std::uint8_t colour = slot(1);
  drawClipped(at(m.x0, m.y0), at(m.x0, m.y1), colour);
  drawClipped(at(m.x1, m.y0), at(m.x1, m.y1), colour);
  drawClipped(at(m.x0, m.y0), at(m.x1, m.y0), colour);
  drawClipped(at(m.x0, m.y1), at(m.x1, m.y1), colour);
}

void SkinView::redrawNow() {
  renderSkinView(0);
  in_.platform.repaint(ViewId::SkinView);
}

void SkinView::sendRefresh(int level, int mask) { in_.platform.sendRefresh(level, mask); }

}  // namespace pelt
