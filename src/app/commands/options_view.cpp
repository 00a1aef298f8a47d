#include "app/commands/options_view.h"

#include "app/app.h"
#include "app/main_frame.h"
#include "app/refresh.h"
#include "platform/platform.h"
#include "skinview/skin_view.h"
#include "view3d/model_view.h"

namespace pelt {

void fitSkinCommand(MainFrame& frame) {
  if (frame.skinView() && frame.skinView()->fitSkin())
    frame.app.platform.postRefresh(0, kRefreshSkinView);
}

void frameModelCommand(MainFrame& frame) {
  if (frame.modelView() && frame.modelView()->frameModel())
    frame.app.platform.postRefresh(0, kRefreshModelView);
}

void playAnimationCommand(App& app) { togglePlayback(app, PlaybackKind::Animation); }
void playAllFramesCommand(App& app) { togglePlayback(app, PlaybackKind::AllFrames); }

bool playingAnimation(const App& app) { return app.playback.kind == PlaybackKind::Animation; }
bool playingAllFrames(const App& app) { return app.playback.kind == PlaybackKind::AllFrames; }

}  // namespace pelt
