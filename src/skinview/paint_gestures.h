#pragma once
// The skin view's paint gestures in Mesh Paint mode with the camera override
// off: the left button paints with the current brush, the right button picks
// the paint colour. The view calls these by its drag state; a gesture that
// starts calls view.beginDrag with its state. Abort (the capture was lost)
// cleans up as a release does.

#include "platform/core_view.h"

namespace pelt {

class SkinView;

namespace paint {

void pressPaint(SkinView& view, const MouseEvent& event);
void movePaint(SkinView& view, const MouseEvent& event);
void releasePaint(SkinView& view);
void abortPaint(SkinView& view);

void pressPick(SkinView& view, const MouseEvent& event);
void movePick(SkinView& view, const MouseEvent& event);
void releasePick(SkinView& view);
void abortPick(SkinView& view);

}  // namespace paint
}  // namespace pelt
