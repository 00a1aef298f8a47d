#pragma once
// The colour tables that follow the current skin, its palette and the colour
// slots. Commands call these after every such change.

namespace pelt {

class App;

void buildBlendTable(App& app);
void rebuildShadeRamps(App& app);
void rebuildShadeCurve(App& app);

}  // namespace pelt
