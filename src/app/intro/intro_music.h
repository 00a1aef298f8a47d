#pragma once
// The intro's two music clips, synthesised rather than stored: 16-bit mono
// PCM in a WAVE file that loops without a click.

#include <cstdint>

#include "platform/file_io.h"

namespace pelt {

inline constexpr int kMusicSampleRate = 22050;

// The WAVE file of clip 153 or 154; empty for any other id.
Bytes introMusicWave(int clipId);

}  // namespace pelt
