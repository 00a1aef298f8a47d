#pragma once
// The edits behind the skin view's mapping gestures, apart from the mouse:
// detaching an st entry for a vertex drag, the selection box, the clamped
// move, the refused-when-leaving rotation and scale, and the pixels that
// follow the mapping.

#include <cstdint>
#include <vector>

#include "model/model.h"
#include "skinview/skin_view.h"

namespace pelt {

class Rasterizer;

// Redraws the mapping gestures ask for: while moving (the 3D view too) and
// when a step is done.
inline constexpr int kMappingRefreshMoving = 0x13;
inline constexpr int kMappingRefreshDone = 0x23;

inline constexpr double kRotatePerPixel = 0.005;  // radians
inline constexpr double kScalePerPixel = 0.004;

struct SkinCell {
  std::int32_t s = 0;
  std::int32_t t = 0;
};

// The skin pixel under a window point, truncated toward zero.
inline SkinCell skinCellAt(const SkinView& view, int wx, int wy) {
  const SkinPoint p = view.windowToSkin(wx, wy);
  return {static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y)};
}

// Appends a copy of entry v (stCount stays) and points the selected
// triangles' first corner using v at it, or every triangle's when no
// selected one uses v; those triangles are marked moving. False, with
// nothing changed, when the table has no room left.
bool detachEntry(Model& model, int v);

// Marks the st entries of the selected triangles (hidden ones too), flags
// every triangle touching them as moving, and sets the box around them.
void markSelection(Model& model, SkinTransformState& state);

// Moves the marked entries and the box, stopping at the skin's edges.
bool translateSelection(Model& model, SkinTransformState& state, int ds, int dt);
// Turn and stretch the marked entries' backup values about the pivot; a
// step that would take a box corner off the skin changes nothing.
bool rotateSelection(Model& model, const std::vector<StCoord>& backup, SkinTransformState& state,
                     double angle);
bool scaleSelection(Model& model, const std::vector<StCoord>& backup, SkinTransformState& state,
                    double scaleS, double scaleT);

void clearMoving(Model& model);

// Puts the held pixels back, then carries the texture under every moving
// triangle from its backup place to its current one.
void warpPixels(Rasterizer& rasterizer, const Model& model, const std::vector<StCoord>& backup,
                const std::vector<std::uint8_t>& heldPixels, Skin& skin);

}  // namespace pelt
