#include "app/tables.h"

#include "app/app.h"

namespace pelt {

// The blend table arrives with the gradient box, the shading tables with the
// 3D view; until then there is nothing to rebuild.
void buildBlendTable(App&) {}
void rebuildShadeRamps(App&) {}
void rebuildShadeCurve(App&) {}

}  // namespace pelt
