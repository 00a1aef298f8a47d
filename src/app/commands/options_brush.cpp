#include "app/commands/options_brush.h"

#include <algorithm>

#include "app/app.h"
#include "app/tables.h"
#include "platform/platform.h"

namespace pelt {

namespace {

constexpr const char* kAxisNames[] = {"X", "Y", "Z"};

void sayBrush(App& app) { app.platform.showStatusText(brushText(app.brush, app.brushKind)); }

}  // namespace

void setBrushSize(App& app, int size) {
  app.brush.size = std::clamp(size, kMinBrushSize, kMaxBrushSize);
  sayBrush(app);
}

void largerBrush(App& app) { setBrushSize(app, largerBrushSize(app.brush.size)); }
void smallerBrush(App& app) { setBrushSize(app, smallerBrushSize(app.brush.size)); }

void toggleRoundBrush(App& app) {
  app.brush.round = !app.brush.round;
  sayBrush(app);
}

void toggleSoftBrush(App& app) {
  app.brush.soft = !app.brush.soft;
  buildBlendTable(app);
  sayBrush(app);
}

void toggleMirrorPainting(App& app) {
  app.mirrorPainting = !app.mirrorPainting;
  app.platform.showStatusText(app.mirrorPainting ? std::string("Mirror painting across ") +
                                                       kAxisNames[std::clamp(app.mirrorAxis, 0, 2)]
                                                 : std::string("Mirror painting off"));
}

void setMirrorAxis(App& app, int axis) {
  app.mirrorAxis = std::clamp(axis, 0, 2);
  app.platform.showStatusText(std::string("Mirror axis ") + kAxisNames[app.mirrorAxis]);
}

}  // namespace pelt
