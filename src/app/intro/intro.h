#pragma once
// The start-up title card: a turning wireframe logo over a receding floor,
// film noise, a rolling flicker band and a bevel, with looping music. It
// ends on a key or a click, or after 59.1 seconds.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/core_view.h"
#include "platform/platform.h"

namespace pelt {

class Rasterizer;

inline constexpr int kIntroWidth = 320;
inline constexpr int kIntroHeight = 240;
inline constexpr std::int64_t kIntroLongest = 59100;  // milliseconds
inline constexpr int kIntroFramePause = 15;           // milliseconds
inline constexpr int kIntroClipMidsummer = 153;       // played on 20 June
inline constexpr int kIntroClipEveryDay = 154;
inline constexpr int kIntroFlickerPeriod = 237;
inline constexpr double kIntroTilt = 0.25;
inline constexpr double kIntroTurnPerMillisecond = 0.002857142857142857;  // 1/350 rad

// 5-5-5 colours of the card.
inline constexpr std::uint16_t kIntroLogoColour = 0x0380;
inline constexpr std::uint16_t kIntroFloorColour = 0x0300;

int introClipFor(UtcDate date);

class IntroCard {
 public:
  IntroCard(Rasterizer& rasterizer, std::uint32_t seed);

  // The logo is drawn only once painting has begun.
  void showLogo(bool shown) { logoShown_ = shown; }
  // angle: the logo's turn in radians; flickerRow: first row of the band.
  void drawFrame(double angle, int flickerRow);

  std::span<const std::uint16_t> pixels() const { return pixels_; }
  std::uint16_t pixel(int x, int row) const {
    return pixels_[static_cast<size_t>(row) * kIntroWidth + static_cast<size_t>(x)];
  }
  // Bottom-up, like every image handed to the blitter.
  ViewImage image() const;

 private:
  std::uint32_t random(std::uint32_t count);
  void line(int x0, int y0, int x1, int y1, std::uint16_t colour);
  void drawLogo(double angle);
  void drawFloor();
  void addNoise();
  void brightenRow(int row);
  void flicker(int flickerRow);
  void drawBevel();

  Rasterizer& raster_;
  std::vector<std::uint16_t> pixels_;
  std::uint32_t state_;
  bool logoShown_ = false;
};

// Runs the whole intro; returns how many frames were shown (0 when the
// platform had no window for it).
int runIntro(Platform& platform, Rasterizer& rasterizer);

}  // namespace pelt
