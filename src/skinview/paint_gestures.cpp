#include "skinview/paint_gestures.h"

#include "skinview/skin_view.h"

namespace pelt::paint {

void pressPaint(SkinView&, const MouseEvent&) {}
void movePaint(SkinView&, const MouseEvent&) {}
void releasePaint(SkinView&) {}
void abortPaint(SkinView& view) { releasePaint(view); }

void pressPick(SkinView&, const MouseEvent&) {}
void movePick(SkinView&, const MouseEvent&) {}
void releasePick(SkinView&) {}
void abortPick(SkinView& view) { releasePick(view); }

}  // namespace pelt::paint
