#pragma once
// The skin view's mapping gestures with the camera override off. In Mapping
// Adjustment mode the left button adds to the selection (Shift), removes
// from it (Ctrl) or drags an st vertex, the right button transforms the
// selection. With the rectangle tool on, the left button edits the map
// rectangle in either mode. The view calls these by its drag state; a
// gesture that starts calls view.beginDrag with its state. Abort (the
// capture was lost) cleans up as a release does.

#include "platform/core_view.h"

namespace pelt {

class SkinView;

namespace mapping {

// Shift: add to the selection, else Ctrl: remove from it.
void pressSelect(SkinView& view, const MouseEvent& event);
void moveSelect(SkinView& view, const MouseEvent& event);
void releaseSelect(SkinView& view);
void abortSelect(SkinView& view);

void pressVertex(SkinView& view, const MouseEvent& event);
void moveVertex(SkinView& view, const MouseEvent& event);
void releaseVertex(SkinView& view);
void abortVertex(SkinView& view);

void pressTransform(SkinView& view, const MouseEvent& event);
void moveTransform(SkinView& view, const MouseEvent& event);
void releaseTransform(SkinView& view);
void abortTransform(SkinView& view);

// Every map rectangle state: new, move, and the four sides.
void pressMapRect(SkinView& view, const MouseEvent& event);
void moveMapRect(SkinView& view, const MouseEvent& event);
void releaseMapRect(SkinView& view);
void abortMapRect(SkinView& view);

}  // namespace mapping
}  // namespace pelt
