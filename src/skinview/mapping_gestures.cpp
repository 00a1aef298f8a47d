#include "skinview/mapping_gestures.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "model/model.h"
#include "raster/clipping.h"
#include "skinview/mapping_edits.h"
#include "skinview/skin_view.h"

namespace pelt::mapping {

namespace {

constexpr int kPickRadiusSquared = 36;  // six window pixels

Point2f screenOf(const SkinView& view, StCoord st) {
  return {(static_cast<float>(st.s) - view.panS + 0.5f) * view.zoom +
              static_cast<float>(view.halfWidth()),
          (static_cast<float>(st.t) - view.panT + 0.5f) * view.zoom +
              static_cast<float>(view.halfHeight())};
}

Model& modelOf(SkinView& view) { return view.inputs().model; }

// The st entry nearest to a window point within the pick radius, or -1.
int nearestEntry(const SkinView& view, int wx, int wy) {
  const Model& model = view.inputs().model;
  int best = kPickRadiusSquared;
  int found = -1;
  for (int i = 0; i < model.stCount; ++i) {
    const Point2f p = screenOf(view, model.stCoords[static_cast<size_t>(i)]);
    const int dx = std::abs(static_cast<int>(static_cast<float>(wx) - p.x));
    const int dy = std::abs(static_cast<int>(static_cast<float>(wy) - p.y));
    const int d = dx * dx + dy * dy;
    if (d < best) best = d, found = i;
  }
  return found;
}

void selectUnder(SkinView& view, int wx, int wy) {
  Model& model = modelOf(view);
  const bool add = view.dragState == kDragAddSelection;
  for (int i = 0; i < model.triangleCount; ++i) {
    ModelTriangle& tri = model.triangles[static_cast<size_t>(i)];
    std::array<Point2f, 3> corners;
    for (size_t k = 0; k < 3; ++k)
      corners[k] = screenOf(view, model.stCoords[static_cast<size_t>(tri.stIndex[k])]);
    if (!pointInPolygon(static_cast<float>(wx), static_cast<float>(wy), corners)) continue;
    if (add)
      tri.flags |= kTriangleSelected;
    else
      tri.flags &= ~kTriangleSelected;
  }
}

// Holds the skin's pixels (and the mapping they belong to) while they follow
// the mapping.
void keepPixels(SkinView& view) {
  const Skin* skin = view.currentSkin();
  if (!view.inputs().dragPixelsWithMapping || !skin) return;
  view.pixelBackup = skin->pixels;
  view.stBackup = modelOf(view).stCoords;
}

void warp(SkinView& view) {
  Skin* skin = view.currentSkin();
  if (!view.inputs().dragPixelsWithMapping || !skin) return;
  warpPixels(view.inputs().rasterizer, modelOf(view), view.stBackup, view.pixelBackup, *skin);
}

void beginEdit(SkinView& view) {
  if (view.inputs().edits.begins) view.inputs().edits.begins();
}

const char* editName(const SkinView& view) {
  if (view.dragState == kDragStVertex) return "Vertex Drag";
  if (view.shiftHeld) return "Rotate Mapping";
  return view.ctrlHeld ? "Scale Mapping" : "Move Mapping";
}

void endMappingDrag(SkinView& view) {
  view.pixelBackup.clear();
  view.pixelBackup.shrink_to_fit();
  rebuildStTable(modelOf(view));
  clearMoving(modelOf(view));
  if (view.inputs().edits.ends) view.inputs().edits.ends(editName(view));
  view.sendRefresh(0, kMappingRefreshDone);
}

}  // namespace

void pressSelect(SkinView& view, const MouseEvent& event) {
  view.dragState = view.shiftHeld ? kDragAddSelection : kDragRemoveSelection;
  selectUnder(view, event.x, event.y);
  view.sendRefresh(1, kMappingRefreshDone);
  view.beginDrag(view.dragState, false);
}

void moveSelect(SkinView& view, const MouseEvent& event) {
  selectUnder(view, event.x, event.y);
  view.sendRefresh(1, kMappingRefreshDone);
}

void releaseSelect(SkinView& view) { view.sendRefresh(0, kMappingRefreshDone); }
void abortSelect(SkinView& view) { releaseSelect(view); }

void pressVertex(SkinView& view, const MouseEvent& event) {
  Model& model = modelOf(view);
  const SkinCell cell = skinCellAt(view, event.x, event.y);
  if (cell.s < 0 || cell.s >= model.skinWidth || cell.t < 0 || cell.t >= model.skinHeight) return;
  const int entry = nearestEntry(view, event.x, event.y);
  if (entry < 0) return;
  beginEdit(view);
  if (!detachEntry(model, entry)) return;
  view.sendRefresh(1, kMappingRefreshDone);
  keepPixels(view);
  view.beginDrag(kDragStVertex, false);
}

void moveVertex(SkinView& view, const MouseEvent& event) {
  Model& model = modelOf(view);
  const SkinCell cell = skinCellAt(view, event.x, event.y);
  const StCoord moved{static_cast<std::int16_t>(std::clamp(cell.s, 0, model.skinWidth - 1)),
                      static_cast<std::int16_t>(std::clamp(cell.t, 0, model.skinHeight - 1))};
  StCoord& detached = model.stCoords[static_cast<size_t>(model.stCount)];
  if (moved == detached) return;
  detached = moved;
  warp(view);
  view.sendRefresh(1, kMappingRefreshMoving);
}

void releaseVertex(SkinView& view) { endMappingDrag(view); }
void abortVertex(SkinView& view) { releaseVertex(view); }

void pressTransform(SkinView& view, const MouseEvent& event) {
  Model& model = modelOf(view);
  SkinTransformState& state = view.transform;
  if (view.shiftHeld)
    state.angle = 0;
  else if (view.ctrlHeld)
    state.scaleS = state.scaleT = 1.0;
  const SkinCell pivot = skinCellAt(view, event.x, event.y);
  state.pivotS = pivot.s;
  state.pivotT = pivot.t;
  beginEdit(view);
  view.stBackup = model.stCoords;
  markSelection(model, state);
  keepPixels(view);
  view.sendRefresh(1, kMappingRefreshMoving);
  view.beginDrag(kDragTransform, true);
}

void moveTransform(SkinView& view, const MouseEvent& event) {
  const int dx = view.dragDx(event);
  const int dy = view.dragDy(event);
  if (dx == 0 && dy == 0) return;  // the pointer's own return to the press point
  view.pinPointer();
  Model& model = modelOf(view);
  SkinTransformState& state = view.transform;
  bool changed;
  if (view.shiftHeld)
    changed = rotateSelection(model, view.stBackup, state, state.angle + dy * kRotatePerPixel);
  else if (view.ctrlHeld)
    changed = scaleSelection(model, view.stBackup, state, state.scaleS + dx * kScalePerPixel,
                             state.scaleT + dy * kScalePerPixel);
  else
    changed = translateSelection(model, state, static_cast<int>(dx / view.zoom),
                                 static_cast<int>(dy / view.zoom));
  if (!changed) return;
  warp(view);
  view.sendRefresh(1, kMappingRefreshMoving);
}

void releaseTransform(SkinView& view) { endMappingDrag(view); }
void abortTransform(SkinView& view) { releaseTransform(view); }

}  // namespace pelt::mapping
