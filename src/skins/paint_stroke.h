#pragma once
// One paint stroke on one skin, from button press to release, shared by the
// skin view and the 3D view. Painting passes each touched pixel through the
// blend table, never changes a protected colour, and changes a pixel at most
// once per stroke. begin() and end() are the only places a stroke starts and
// stops, so whole strokes can be recorded around them.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <span>
#include <vector>

#include "raster/segment_walk.h"
#include "skins/brush.h"
#include "skins/paint_rule.h"
#include "skins/skin.h"

namespace pelt {

inline constexpr std::int32_t kNoTexel = -1;

class PaintStroke;

struct PaintTables {
  const BlendTable& blendTable;
  const ProtectedColors& protectedColors;
  // The soft brush's strengths; without them every level paints at full strength.
  const SoftBlendTables* softTables = nullptr;
};

// What both views read of the brush; the owner keeps it alive. Without a
// shape the brush is one hard texel; without mirror settings nothing is
// mirrored.
struct BrushInputs {
  const BrushShape* shape = nullptr;
  const bool* mirror = nullptr;
  const int* mirrorAxis = nullptr;  // 0 X, 1 Y, 2 Z of the model
  const SoftBlendTables* softTables = nullptr;
  // One byte per texel of the current skin, nonzero where a selected
  // triangle covers it.
  std::function<std::vector<std::uint8_t>()> selectionMask;
  // A stroke that painted on the current skin is about to end.
  std::function<void(const PaintStroke&)> strokeEnds;

  BrushShape currentShape() const { return shape ? *shape : BrushShape{}; }
  bool mirrors() const { return mirror != nullptr && *mirror && mirrorAxis != nullptr; }
};

// The colour under a pick goes into the paint slot; true when the slot changed.
bool pickPaintColour(const Skin& skin, std::int32_t offset, std::uint8_t& slot);

// A view's client area as a paint target: dab(x, y) paints the brush at a
// client point and says whether a pixel changed.
template <class Dab>
struct PaintSurface {
  Rasterizer& rasterizer;  // clips segments to the client rectangle
  int width;
  int height;
  Dab dab;
};

class PaintStroke {
 public:
  // Starts a stroke at `press`; the line brush keeps the pixels it starts
  // from, and so does the soft brush, which paints from them.
  void begin(Skin& skin, int brushKind, WindowPoint press, BrushShape shape = {});
  // Ends the stroke and frees its buffers.
  void end();
  bool active() const { return skin_ != nullptr; }
  // Whether the stroke still paints `current`. A command may close or
  // replace the skin during the gesture; such a stroke is dropped without
  // touching the skin it started on.
  bool paints(const Skin* current) const;
  void drop();
  const Footprint& footprint() const { return footprint_; }
  int brush() const { return brush_; }
  const Skin* skin() const { return skin_; }
  // The pixels that differ from the stroke's start (a rubber band's earlier
  // lines are put back, so they are not among them).
  const PixelRect& changed() const { return sinceRestore_; }
  // The skin's pixels when the stroke began, kept until it ends.
  std::span<const std::uint8_t> startPixels() const { return pixelBackup_; }
  std::uint64_t startRevision() const { return startRevision_; }

  // The paint rule for this stroke at a strength level (kFullLevel unless
  // soft); true when the pixel changed. A soft stroke paints each texel
  // once, at the strongest level that reached it, from its colour before
  // the stroke, so dabs never build up.
  bool paintTexel(std::int32_t offset, const PaintTables& tables, int level = kFullLevel);

  // Dabs: the footprint (the stroke's own or another) around skin texel
  // (cx, cy), clipped to the skin; around client point (x, y) through
  // texelAt, so a dab crossing a seam paints both sides; or at every texel
  // of the skin line from a to b. True when a pixel changed.
  bool dabTexels(int cx, int cy, const PaintTables& tables) {
    return dabTexels(cx, cy, footprint_, tables);
  }
  bool dabTexels(int cx, int cy, const Footprint& footprint, const PaintTables& tables);
  template <class TexelAt>
  bool dabWindow(int x, int y, TexelAt&& texelAt, const PaintTables& tables);
  bool lineTexels(WindowPoint a, WindowPoint b, const Footprint& footprint,
                  const PaintTables& tables);

  // Fills the 4-connected region of the palette index of texel (x, y) (off
  // the skin: nothing); a non-empty `allowed` (one byte per texel) limits it
  // to its nonzero texels. True when a pixel changed.
  bool fill(int x, int y, const PaintTables& tables, std::span<const std::uint8_t> allowed);

  // The brush at the press point, then at each pointer move. True when the
  // views need a Retexture refresh.
  template <class Dab>
  bool press(const PaintSurface<Dab>& surface);
  template <class Dab>
  bool moveTo(const PaintSurface<Dab>& surface, WindowPoint point);

  // Runs `send` (the views' Retexture refresh) with the pixels changed since
  // the last one as the skin's changed region.
  template <class Send>
  void recolour(Send&& send);

 private:
  template <class Dab>
  bool segment(const PaintSurface<Dab>& surface, WindowPoint a, WindowPoint b);
  // Line brush: back to the pixels the stroke started from; true when that
  // changed the skin.
  bool restoreStart();
  bool paintAt(size_t offset, int level, const PaintTables& tables);
  void noteChanged(int x, int y);

  Skin* skin_ = nullptr;
  int brush_ = kBrushPoint;
  Footprint footprint_;
  WindowPoint press_;
  WindowPoint last_;
  PixelRect unsent_;                       // changed since the last recolour
  PixelRect sinceRestore_;                 // changed since the stroke's start or last restore
  std::vector<std::uint8_t> paintedMask_;  // 0, else the level painted + 1
  std::vector<std::uint8_t> pixelBackup_;
  std::uint64_t startRevision_ = 0;
};

template <class TexelAt>
bool PaintStroke::dabWindow(int x, int y, TexelAt&& texelAt, const PaintTables& tables) {
  bool changed = false;
  for (const FootprintRow& row : footprint_.rows())
    for (int dx = row.left; dx <= row.right; ++dx)
      changed |= paintTexel(texelAt(x + dx, y + row.dy), tables, footprint_.level(dx, row.dy));
  return changed;
}

template <class Dab>
bool PaintStroke::segment(const PaintSurface<Dab>& surface, WindowPoint a, WindowPoint b) {
  bool changed = false;
  const SegmentKind kind = walkSegment(surface.rasterizer, surface.width, surface.height, a, b,
                                       [&](int x, int y) { changed |= surface.dab(x, y); });
  return kind == SegmentKind::Line || (kind == SegmentKind::Point && changed);
}

template <class Dab>
bool PaintStroke::press(const PaintSurface<Dab>& surface) {
  if (!active()) return false;
  return segment(surface, press_, press_);
}

template <class Dab>
bool PaintStroke::moveTo(const PaintSurface<Dab>& surface, WindowPoint point) {
  if (!active()) return false;
  bool refresh = false;
  switch (brush_) {
    case kBrushPencil:
      refresh = segment(surface, last_, point);
      break;
    case kBrushLine: {
      // A rubber band: only the line from the press to here stays. The
      // restored pixels are unpainted again, the press pixel among them.
      const bool restored = restoreStart();
      std::fill(paintedMask_.begin(), paintedMask_.end(), 0);
      refresh = segment(surface, press_, point) || restored;
      break;
    }
    case kBrushFill:
      break;
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
