#pragma once
// The brush commands: size steps, round or square, soft, mirror painting
// and its axis. Each says the brush in the status line.

namespace pelt {

class App;

void largerBrush(App& app);
void smallerBrush(App& app);
void toggleRoundBrush(App& app);
// The soft brush's strengths are built while it is on.
void toggleSoftBrush(App& app);
void toggleMirrorPainting(App& app);
void setMirrorAxis(App& app, int axis);
// A size typed into the tool bar's box, held to 1 .. 64.
void setBrushSize(App& app, int size);

}  // namespace pelt
