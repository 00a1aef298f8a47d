// The map rectangle's gestures: a press outside it starts a new one, inside
// moves it, near a side moves that side.

#include <cstdlib>

#include "skinview/mapping_edits.h"
#include "skinview/mapping_gestures.h"
#include "skinview/skin_view.h"

namespace pelt::mapping {

namespace {

constexpr int kOutside = 2;    // farther than this from every side starts a new rectangle
constexpr int kSideReach = 3;  // a side is grabbed from closer than this

std::int32_t gestureFor(const MapRect& r, SkinCell c) {
  if (c.s < r.x0 - kOutside || c.s > r.x1 + kOutside || c.t < r.y0 - kOutside ||
      c.t > r.y1 + kOutside)
    return kDragNewMapRect;
  if (r.x0 + kOutside < c.s && c.s < r.x1 - kOutside && r.y0 + kOutside < c.t &&
      c.t < r.y1 - kOutside)
    return kDragMoveMapRect;
  if (std::abs(c.s - r.x0) < kSideReach) return kDragMapRectLeft;
  if (std::abs(c.s - r.x1) < kSideReach) return kDragMapRectRight;
  if (std::abs(c.t - r.y0) < kSideReach) return kDragMapRectTop;
  return kDragMapRectBottom;
}

}  // namespace

void pressMapRect(SkinView& view, const MouseEvent& event) {
  const SkinCell cell = skinCellAt(view, event.x, event.y);
  const std::int32_t gesture = gestureFor(view.mapRect, cell);
  if (gesture == kDragNewMapRect) {
    view.mapRect = {cell.s, cell.t, cell.s, cell.t};
    view.redrawNow();
  }
  view.beginDrag(gesture, false);
}

void moveMapRect(SkinView& view, const MouseEvent& event) {
  const SkinCell p = skinCellAt(view, event.x, event.y);
  MapRect& r = view.mapRect;
  switch (view.dragState) {
    case kDragNewMapRect: {
      const SkinCell press = skinCellAt(view, view.pressX, view.pressY);
      r = {p.s, p.t, press.s, press.t};
      break;
    }
    case kDragMoveMapRect: {
      const SkinCell prev = skinCellAt(view, view.prevX, view.prevY);
      const int ds = p.s - prev.s, dt = p.t - prev.t;
      r = {r.x0 + ds, r.y0 + dt, r.x1 + ds, r.y1 + dt};
      break;
    }
    case kDragMapRectLeft:
      r.x0 = p.s;
      break;
    case kDragMapRectRight:
      r.x1 = p.s;
      break;
    case kDragMapRectTop:
      r.y0 = p.t;
      break;
    default:
      r.y1 = p.t;
      break;
  }
  view.redrawNow();
}

void releaseMapRect(SkinView&) {}
void abortMapRect(SkinView& view) { releaseMapRect(view); }

}  // namespace pelt::mapping
