#include "app/intro/intro_music.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <vector>

#include "app/intro/intro.h"
#include "skins/byte_order.h"

namespace pelt {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kBeatsPerMinute = 96.0;
constexpr int kBeats = 16;  // four bars of four; the clip is one loop

enum class Voice { Pluck, Bass, Pad };

struct Note {
  double beat;
  double length;  // beats
  int key;        // MIDI note number
  Voice voice;
  double loudness;
};

double frequency(int key) { return 440.0 * std::pow(2.0, (key - 69) / 12.0); }

// One chord per bar: root for the bass, three keys for the pad and the
// arpeggio that climbs through them.
struct Bar {
  int root;
  std::array<int, 3> chord;
};

std::vector<Note> compose(std::span<const Bar, 4> bars, bool lively) {
  std::vector<Note> notes;
  for (int b = 0; b < 4; ++b) {
    const Bar& bar = bars[static_cast<size_t>(b)];
    const double first = b * 4.0;
    notes.push_back({first, 2.0, bar.root, Voice::Bass, 0.55});
    notes.push_back({first + 2.0, 1.5, bar.root + 7, Voice::Bass, 0.45});
    for (int key : bar.chord) notes.push_back({first, 3.9, key, Voice::Pad, 0.12});
    const int steps = lively ? 8 : 6;
    for (int i = 0; i < steps; ++i) {
      const int key = bar.chord[static_cast<size_t>(i % 3)] + 12 * (1 + i / 3 % 2);
      notes.push_back({first + i * 4.0 / steps, 0.6, key, Voice::Pluck, 0.3});
    }
  }
  return notes;
}

double voiceSample(Voice voice, double phase, double t, double length) {
  switch (voice) {
    case Voice::Pluck:
      return (std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.1 * std::sin(3 * phase)) *
             std::exp(-t * 6.0);
    case Voice::Bass: {
      const double tri = 2.0 / kPi * std::asin(std::sin(phase));
      return tri * std::min(1.0, t * 60.0) * std::exp(-t * 1.5);
    }
    case Voice::Pad: {
      const double swell = std::sin(kPi * std::clamp(t / length, 0.0, 1.0));
      return (std::sin(phase) + 0.5 * std::sin(phase * 1.003)) * swell;
    }
  }
  return 0.0;
}

std::vector<double> render(const std::vector<Note>& notes) {
  const double secondsPerBeat = 60.0 / kBeatsPerMinute;
  const auto total = static_cast<size_t>(kBeats * secondsPerBeat * kMusicSampleRate);
  std::vector<double> mix(total);
  for (const Note& note : notes) {
    const double seconds = note.length * secondsPerBeat;
    const auto first = static_cast<size_t>(note.beat * secondsPerBeat * kMusicSampleRate);
    const auto count = static_cast<size_t>(seconds * kMusicSampleRate);
    const double step = 2.0 * kPi * frequency(note.key) / kMusicSampleRate;
    for (size_t i = 0; i < count; ++i) {
      const double t = static_cast<double>(i) / kMusicSampleRate;
      // Fade the last few milliseconds so no note ends in a click; notes
      // that run past the loop's end wrap round to its start.
      const double release = std::min(1.0, (seconds - t) * 200.0);
      mix[(first + i) % total] +=
          note.loudness * release *
          voiceSample(note.voice, step * static_cast<double>(i), t, seconds);
    }
  }
  return mix;
}

constexpr size_t kWaveHeaderSize = 44;

void putTag(Bytes& out, size_t at, const char (&tag)[5]) {
  for (size_t i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(tag[i]);
}

Bytes waveFile(const std::vector<double>& mix) {
  double peak = 1e-9;
  for (double s : mix) peak = std::max(peak, std::abs(s));
  const auto dataSize = static_cast<std::uint32_t>(mix.size() * 2);
  Bytes out(kWaveHeaderSize + dataSize);
  putTag(out, 0, "RIFF");
  writeU32(out.data() + 4, 36 + dataSize);
  putTag(out, 8, "WAVE");
  putTag(out, 12, "fmt ");
  writeU32(out.data() + 16, 16);
  writeU16(out.data() + 20, 1);  // PCM
  writeU16(out.data() + 22, 1);  // mono
  writeU32(out.data() + 24, kMusicSampleRate);
  writeU32(out.data() + 28, kMusicSampleRate * 2);
  writeU16(out.data() + 32, 2);
  writeU16(out.data() + 34, 16);
  putTag(out, 36, "data");
  writeU32(out.data() + 40, dataSize);
  for (size_t i = 0; i < mix.size(); ++i)
    writeU16(out.data() + kWaveHeaderSize + 2 * i,
          static_cast<std::uint16_t>(static_cast<std::int16_t>(mix[i] / peak * 26000.0)));
  return out;
}

// A bright major walk for midsummer, a darker minor one for every other day.
constexpr std::array<Bar, 4> kMidsummer = {
    {{48, {60, 64, 67}}, {53, {60, 65, 69}}, {55, {59, 62, 67}}, {48, {60, 64, 67}}}};
constexpr std::array<Bar, 4> kEveryDay = {
    {{45, {57, 60, 64}}, {41, {57, 60, 65}}, {43, {55, 59, 62}}, {40, {56, 59, 64}}}};

}  // namespace

Bytes introMusicWave(int clipId) {
  if (clipId == kIntroClipMidsummer) return waveFile(render(compose(kMidsummer, true)));
  if (clipId == kIntroClipEveryDay) return waveFile(render(compose(kEveryDay, false)));
  return {};
}

}  // namespace pelt
