#pragma once
// One paint stroke on one skin, from button press to release, shared by the
// skin view and the 3D view. Painting passes each touched pixel through the
// blend table, never changes a protected colour, and changes a pixel at most
// once per stroke. begin() and end() are the only places a stroke starts and
// stops, so whole strokes can be recorded around them.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "raster/segment_walk.h"
#include "skins/paint_rule.h"
#include "skins/skin.h"

namespace pelt {

enum BrushKind : int { kBrushPoint = 0, kBrushPencil = 1, kBrushLine = 2 };

inline constexpr std::int32_t kNoTexel = -1;

struct PaintTables {
  const BlendTable& blendTable;
  const ProtectedColors& protectedColors;
};

// The colour under a pick goes into the paint slot; true when the slot changed.
bool pickPaintColour(const Skin& skin, std::int32_t offset, std::uint8_t& slot);

// A view's client area as a paint target. texelAt(x, y) gives the skin
// offset shown at a client point, or kNoTexel.
template <class TexelAt>
struct PaintSurface {
  Rasterizer& rasterizer;  // clips segments to the client rectangle
  int width;
  int height;
  const PaintTables& tables;
  TexelAt texelAt;
};

class PaintStroke {
 public:
  // Starts a stroke at `press`; the line brush keeps the pixels it starts from.
  void begin(Skin& skin, int brushKind, WindowPoint press);
  // Ends the stroke and frees its buffers. True when it left an unmodified
  // skin modified (the skin list shows that).
  bool end();
  bool active() const { return skin_ != nullptr; }

  // The paint rule for this stroke; true when the pixel changed.
  bool paintTexel(std::int32_t offset, const PaintTables& tables);

  // The brush at the press point, then at each pointer move. True when the
  // views need a Retexture refresh.
  template <class TexelAt>
  bool press(const PaintSurface<TexelAt>& surface);
  template <class TexelAt>
  bool moveTo(const PaintSurface<TexelAt>& surface, WindowPoint point);

  // Runs `send` (the views' Retexture refresh) with the pixels changed since
  // the last one as the skin's changed region.
  template <class Send>
  void recolour(Send&& send);

 private:
  template <class TexelAt>
  bool segment(const PaintSurface<TexelAt>& surface, WindowPoint a, WindowPoint b);
  // Line brush: back to the pixels the stroke started from; true when that
  // changed the skin.
  bool restoreStart();

  Skin* skin_ = nullptr;
  int brush_ = kBrushPoint;
  WindowPoint press_;
  WindowPoint last_;
  bool wasModified_ = false;
  PixelRect unsent_;        // changed since the last recolour
  PixelRect sinceRestore_;  // changed since the stroke's start or last restore
  std::vector<std::uint8_t> paintedMask_;
  std::vector<std::uint8_t> pixelBackup_;
};

template <class TexelAt>
bool PaintStroke::segment(const PaintSurface<TexelAt>& surface, WindowPoint a, WindowPoint b) {
  bool changed = false;
  const SegmentKind kind = walkSegment(
      surface.rasterizer, surface.width, surface.height, a, b,
      [&](int x, int y) { changed |= paintTexel(surface.texelAt(x, y), surface.tables); });
  return kind == SegmentKind::Line || (kind == SegmentKind::Point && changed);
}

template <class TexelAt>
bool PaintStroke::press(const PaintSurface<TexelAt>& surface) {
  if (!active()) return false;
  return segment(surface, press_, press_);
}

template <class TexelAt>
bool PaintStroke::moveTo(const PaintSurface<TexelAt>& surface, WindowPoint point) {
  if (!active()) return false;
  bool refresh = false;
  switch (brush_) {
    case kBrushPencil:
      refresh = segment(surface, last_, point);
      break;
    case kBrushLine: {
      // A rubber band: only the line from the press to here stays.
      const bool restored = restoreStart();
      refresh = segment(surface, press_, point) || restored;
      std::fill(paintedMask_.begin(), paintedMask_.end(), 0);
      break;
    }
    default:
      refresh = segment(surface, point, point);
      break;
  }
  last_ = point;
  return refresh;
}

template <class Send>
void PaintStroke::recolour(Send&& send) {
  if (skin_ == nullptr) return send();
  skin_->changedRegion = unsent_;
  send();
  skin_->changedRegion.reset();
  unsent_ = {};
}

}  // namespace pelt
