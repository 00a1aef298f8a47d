// The skin view's zoom: wheel notches, zooming about the pointer, and the
// fit that shows the whole skin.

#include <algorithm>

#include "skinview/skin_view.h"

namespace pelt {

namespace {

constexpr int kWheelNotch = 120;
constexpr float kNotchIn = 1.1f;
constexpr float kNotchOut = 0.9090909f;
constexpr int kFitMargin = 1;

// Whole notches only, each a step of the same rounding.
void stepZoom(float& zoom, int delta) {
  const int steps = delta / kWheelNotch;
  for (int i = 0; i < steps; ++i) zoom *= kNotchIn;
  for (int i = 0; i > steps; --i) zoom *= kNotchOut;
  zoom = std::clamp(zoom, kMinSkinZoom, kMaxSkinZoom);
}

}  // namespace

void SkinView::wheel(int delta) {
  stepZoom(zoom, delta);
  redrawNow();
}

void SkinView::wheelAt(const WheelEvent& event) {
  // The skin point under the pointer's pixel centre, by the inverse of
  // skinToBuffer (the buffer counts rows from the bottom).
  const float column = static_cast<float>(event.x) + 0.5f - static_cast<float>(halfWidth());
  const float row =
      static_cast<float>(viewHeight - 1 - event.y) + 0.5f - static_cast<float>(halfHeight());
  const float s = panS + column / zoom;
  const float t = panT - row / zoom;
  const std::int32_t shown = texelAt(event.x, event.y);
  stepZoom(zoom, event.delta);
  panS = s - column / zoom;
  panT = t + row / zoom;
  redrawNow();
  // The filler places texels up to a pixel off that point; a nudge of a
  // pixel either way keeps the very texel that was under the pointer.
  if (shown < 0 || texelAt(event.x, event.y) == shown) return;
  const float baseS = panS, baseT = panT;
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy) {
      if (dx == 0 && dy == 0) continue;
      panS = baseS + static_cast<float>(dx) / zoom;
      panT = baseT + static_cast<float>(dy) / zoom;
      renderSkinView(0);
      if (texelAt(event.x, event.y) == shown) return redrawNow();
    }
  panS = baseS;
  panT = baseT;
  redrawNow();
}

bool SkinView::fitSkin() {
  const Skin* skin = currentSkin();
  const int w = skin ? skin->width : in_.model.skinWidth;
  const int h = skin ? skin->height : in_.model.skinHeight;
  if (w <= 0 || h <= 0 || clientWidth_ <= 0 || viewHeight <= 0) return false;
  // The skin's quad covers w x h skin pixels and one more column and row of
  // the view; it keeps a pixel off each edge.
  const float fit =
      std::min(static_cast<float>(clientWidth_ - 1 - 2 * kFitMargin) / static_cast<float>(w),
               static_cast<float>(viewHeight - 1 - 2 * kFitMargin) / static_cast<float>(h));
  zoom = std::clamp(fit, kMinSkinZoom, kMaxSkinZoom);
  // The skin's middle on the middle of the columns and rows the window shows.
  const float middleColumn = static_cast<float>(clientWidth_ - 1) * 0.5f;
  const float middleRow = static_cast<float>(viewHeight - 1) * 0.5f;
  panS = static_cast<float>(w) * 0.5f - (middleColumn - static_cast<float>(halfWidth())) / zoom;
  panT = static_cast<float>(h) * 0.5f + (middleRow - static_cast<float>(halfHeight())) / zoom;
  return true;
}

}  // namespace pelt
