#include "skinview/mapping_gestures.h"

#include "skinview/skin_view.h"

namespace pelt::mapping {

void pressSelect(SkinView&, const MouseEvent&) {}
void moveSelect(SkinView&, const MouseEvent&) {}
void releaseSelect(SkinView&) {}
void abortSelect(SkinView& view) { releaseSelect(view); }

void pressVertex(SkinView&, const MouseEvent&) {}
void moveVertex(SkinView&, const MouseEvent&) {}
void releaseVertex(SkinView&) {}
void abortVertex(SkinView& view) { releaseVertex(view); }

void pressTransform(SkinView&, const MouseEvent&) {}
void moveTransform(SkinView&, const MouseEvent&) {}
void releaseTransform(SkinView&) {}
void abortTransform(SkinView& view) { releaseTransform(view); }

void pressMapRect(SkinView&, const MouseEvent&) {}
void moveMapRect(SkinView&, const MouseEvent&) {}
void releaseMapRect(SkinView&) {}
void abortMapRect(SkinView& view) { releaseMapRect(view); }

}  // namespace pelt::mapping
