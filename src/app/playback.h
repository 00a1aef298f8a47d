#pragma once
// Playing the model's frames in a loop: the current animation (the run of
// frames named like the current one) or every frame. The shell's timer calls
// tickPlayback; each tick picks the frame (and the blend into the next one)
// the clock says, lets the frame list and the companions follow, and redraws
// the 3D view.

#include <cstdint>

#include "model/animation.h"

namespace pelt {

class App;

inline constexpr int kDefaultFramesPerSecond = 10;  // the rate the games animate at
inline constexpr int kMinFramesPerSecond = 1;
inline constexpr int kMaxFramesPerSecond = 60;

enum class PlaybackKind { Stopped, Animation, AllFrames };

struct Playback {
  PlaybackKind kind = PlaybackKind::Stopped;
  FrameRun run;
  int startFrame = 0;
  std::int64_t startMs = 0;
  int framesPerSecond = kDefaultFramesPerSecond;
  bool interpolate = true;
  // What the 3D view and the companions blend toward; none when stopped.
  FrameBlend blend;

  bool playing() const { return kind != PlaybackKind::Stopped; }
};

// P and Shift+P: start that kind of playback from the current frame, or
// stop it when it is the one playing.
void togglePlayback(App& app, PlaybackKind kind);
void tickPlayback(App& app);
// Stops on the whole frame shown, which becomes the current frame.
void stopPlayback(App& app);

// Milliseconds between ticks: a smooth rate when blending, else one tick
// per frame.
int playbackTickMs(const Playback& playback);

// Commands that change only what is shown or chosen, not the document, and
// so leave playback running. Every other command stops it first.
bool commandKeepsPlayback(int commandId);

}  // namespace pelt
