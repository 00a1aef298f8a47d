#pragma once
// Frames as animations: a run of neighbouring frames whose names differ only
// in their trailing digits ("run1".."run6") plays as one, and between two
// frames the vertices blend linearly, as the games draw them.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "model/model.h"

namespace pelt {

// The frame after the shown one and how far toward it the vertices are
// blended; t = 0 (or no next frame) shows the current frame alone.
struct FrameBlend {
  int next = -1;
  float t = 0.0f;
  bool active() const { return next >= 0 && t > 0.0f; }
};

struct FrameRun {
  int first = 0;
  int count = 0;
  friend bool operator==(const FrameRun&, const FrameRun&) = default;
};

// "run12" -> "run", "idle" -> "idle", "007" -> "".
std::string_view animationName(std::string_view frameName);

// The neighbours of frame `index` sharing its animation name, `index`
// included; empty when there is no such frame.
FrameRun animationRun(const std::vector<ModelFrame>& frames, int index);

// a + (b - a) * t per vertex, over the shorter of the two.
void blendVertices(std::span<const Vec3> a, std::span<const Vec3> b, float t,
                   std::vector<Vec3>& out);

struct PlaybackPosition {
  int frame = 0;  // the whole frame shown
  FrameBlend blend;
  friend bool operator==(const PlaybackPosition& a, const PlaybackPosition& b) {
    return a.frame == b.frame && a.blend.next == b.blend.next && a.blend.t == b.blend.t;
  }
};

// Where a loop over `run` stands `elapsedMs` after it started on `startFrame`
// at `fps` frames per second; the last frame blends back into the first.
PlaybackPosition playbackPosition(FrameRun run, int startFrame, std::int64_t elapsedMs, int fps,
                                  bool interpolate);

}  // namespace pelt
