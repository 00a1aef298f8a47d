#pragma once
// The colour keys, the paint blend mode buttons and the skin view's
// tool-bar toggles.

namespace pelt {

class App;

// Adds `step` to the current slot's palette index, wrapping at 256.
void nudgeCurrentColor(App& app, int step);

// Acts only when the mode changes.
void setBlendMode(App& app, int mode);

void toggleShowMeshWhilePainting(App& app);
void toggleDragPixelsWithMapping(App& app);
void toggleMapRectangle(App& app);

}  // namespace pelt
