#include "app/playback.h"

#include <algorithm>
#include <array>

#include "app/app.h"
#include "app/command_table.h"
#include "app/refresh.h"
#include "platform/platform.h"
#include "platform/settings_keys.h"
#include "view3d/model_view.h"

namespace pelt {

namespace {

constexpr int kSmoothTickMs = 16;  // about the display's rate

void startPlayback(App& app, PlaybackKind kind) {
  Model& model = app.model;
  const int frames = static_cast<int>(model.frames.size());
  if (model.currentFrame() == nullptr) return;
  Playback& p = app.playback;
  Platform& platform = app.platform;
  p.kind = kind;
  p.run = kind == PlaybackKind::AllFrames ? FrameRun{0, frames}
                                          : animationRun(model.frames, model.currentFrameIndex);
  p.startFrame = model.currentFrameIndex;
  p.startMs = platform.nowMilliseconds();
  p.framesPerSecond = std::clamp(
      platform.readInt(settings::kPreferences, settings::kFramesPerSecond, kDefaultFramesPerSecond),
      kMinFramesPerSecond, kMaxFramesPerSecond);
  p.interpolate = platform.readInt(settings::kPreferences, settings::kInterpolateFrames, 1) != 0;
  p.blend = {};
  platform.startPlaybackTimer(playbackTickMs(p));
}

}  // namespace

void togglePlayback(App& app, PlaybackKind kind) {
  const bool same = app.playback.kind == kind;
  stopPlayback(app);
  if (!same) startPlayback(app, kind);
}

void tickPlayback(App& app) {
  Playback& p = app.playback;
  if (!p.playing()) return;
  Model& model = app.model;
  // A model opened meanwhile ends the loop.
  if (p.run.first + p.run.count > static_cast<int>(model.frames.size())) return stopPlayback(app);
  const PlaybackPosition at =
      playbackPosition(p.run, p.startFrame, app.platform.nowMilliseconds() - p.startMs,
                       p.framesPerSecond, p.interpolate);
  const bool newFrame = at.frame != model.currentFrameIndex;
  model.currentFrameIndex = at.frame;
  p.blend = at.blend;
  // A blended pose brings its own normals; a whole frame needs the frame's.
  if (!p.blend.active()) computeFaceNormals(model);
  if (newFrame) app.platform.showCurrentFrame();
  app.platform.sendRefresh(kRedrawFull, kRefreshModelView);
}

void stopPlayback(App& app) {
  Playback& p = app.playback;
  if (!p.playing()) return;
  p.kind = PlaybackKind::Stopped;
  p.blend = {};
  computeFaceNormals(app.model);
  app.platform.stopPlaybackTimer();
  app.platform.refillLists();
  app.platform.sendRefresh(kRedrawFull, kRefreshModelView);
}

int playbackTickMs(const Playback& playback) {
  if (playback.interpolate) return kSmoothTickMs;
  return std::max(kSmoothTickMs, 1000 / std::max(playback.framesPerSecond, 1));
}

bool commandKeepsPlayback(int commandId) {
  // clang-format off
  static constexpr std::array kViewOnly = {
      32858, 32859, 32862, 32860, 32861, 32863,  // phong and environment maps
      32775, 32857, 32779, 32780, 32781,         // swap, snapshot, camera override, modes
      32802, 32800, 32801,                       // brushes
      33240, 33241, 33242, 33243, 33244, 33245, 33246, 33247, 33248,  // and their settings
      32811,                                     // hide or show the companion
      32796, 32797, 32798, 32837, 32838, 32839,  // selection
      32832, 32834, 32833, 32835,                // colour keys
      32836, 32866, 32850, 32868, 32869,         // tool-bar toggles and blend modes
      57664,                                     // About
      kFitSkinId, kFrameModelId, kPlayAnimationId, kPlayAllFramesId, kKeysAndMouseId,
      kUserGuideId};
  // clang-format on
  return std::find(kViewOnly.begin(), kViewOnly.end(), commandId) != kViewOnly.end();
}

}  // namespace pelt
