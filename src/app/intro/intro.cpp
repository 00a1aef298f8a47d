#include "app/intro/intro.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app/intro/intro_logo.h"
#include "raster/clipping.h"
#include "raster/rasterizer.h"

namespace pelt {

namespace {

// Logo placement: centre of the card, and the distance the view backs off.
constexpr double kLogoCentreX = 1.5;
constexpr double kLogoCentreY = 5.0;
constexpr double kLogoCentreZ = 3.1;
constexpr double kLogoDistance = 15.0;
constexpr double kLogoScale = 220.0;
constexpr int kScreenCentreX = kIntroWidth / 2;
constexpr int kScreenCentreY = kIntroHeight / 2;

constexpr int kFloorTop = 130;
constexpr int kFloorLeft = 4;
constexpr int kFloorRight = 315;
constexpr int kNoiseLeft = 4;
constexpr int kNoiseWidth = 312;

constexpr int channel(std::uint16_t colour, int shift) { return (colour >> shift) & 0x1F; }
constexpr std::array<int, 3> kChannelShifts = {10, 5, 0};

template <class Change>
std::uint16_t perChannel(std::uint16_t colour, Change change) {
  std::uint16_t out = 0;
  for (int shift : kChannelShifts)
    out = static_cast<std::uint16_t>(out | (change(channel(colour, shift)) << shift));
  return out;
}

}  // namespace

int introClipFor(UtcDate date) {
  return date.month == 6 && date.day == 20 ? kIntroClipMidsummer : kIntroClipEveryDay;
}

IntroCard::IntroCard(Rasterizer& rasterizer, std::uint32_t seed)
    : raster_(rasterizer),
      pixels_(static_cast<size_t>(kIntroWidth) * kIntroHeight),
      state_(seed | 1u) {}

ViewImage IntroCard::image() const {
  ViewImage out;
  out.width = kIntroWidth;
  out.height = kIntroHeight;
  out.format = ImageFormat::Rgb555;
  out.pixels = reinterpret_cast<const std::uint8_t*>(pixels_.data());
  return out;
}

// xorshift32: cheap, and the card needs no quality beyond "looks random".
std::uint32_t IntroCard::random(std::uint32_t count) {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_ % count;
}

void IntroCard::line(int x0, int y0, int x1, int y1, std::uint16_t colour) {
  ScreenLine l{x0, y0, x1, y1};
  if (raster_.clipLine(l)) raster_.drawLine16(l, colour);
}

void IntroCard::drawFrame(double angle, int flickerRow) {
  raster_.setSize(kIntroWidth, kIntroHeight);
  raster_.bindAux16(pixels_.data());
  std::fill(pixels_.begin(), pixels_.end(), std::uint16_t{0});
  if (logoShown_) drawLogo(angle);
  drawFloor();
  addNoise();
  flicker(flickerRow);
  drawBevel();
}

void IntroCard::drawLogo(double a) {
  const double ca = std::cos(a), sa = std::sin(a);
  const double cb = std::cos(kIntroTilt), sb = std::sin(kIntroTilt);
  std::array<Point3f, kLogoVertexCount> view;
  for (int i = 0; i < kLogoVertexCount; ++i) {
    const LogoVertex& p = logoVertices()[static_cast<size_t>(i)];
    const double u = p.x - kLogoCentreX, v = p.y - kLogoCentreY, w = p.z - kLogoCentreZ;
    const double d = u * ca - v * sa;
    view[static_cast<size_t>(i)] = {static_cast<float>(u * sa + v * ca),
                                    static_cast<float>(d * sb + w * cb),
                                    static_cast<float>(d * cb - w * sb + kLogoDistance)};
  }
  auto project = [](const Point3f& p, int centre, float value) {
    return centre + static_cast<int>(value * kLogoScale / p.z);
  };
  for (const LogoTriangle& tri : logoTriangles()) {
    for (int k = 0; k < 3; ++k) {
      Point3f from = view[static_cast<size_t>(tri[static_cast<size_t>(k)])];
      Point3f to = view[static_cast<size_t>(tri[static_cast<size_t>((k + 1) % 3)])];
      if (!clipNearZ(from, to)) continue;
      line(project(from, kScreenCentreX, from.x), project(from, kScreenCentreY, from.y),
           project(to, kScreenCentreX, to.x), project(to, kScreenCentreY, to.y), kIntroLogoColour);
    }
  }
}

// Lines crowd toward the horizon like a floor seen at a low angle.
void IntroCard::drawFloor() {
  int y = kFloorTop;
  for (int k = 0; y > 0; ++k) {
    line(kFloorLeft, y, kFloorRight, y, kIntroFloorColour);
    y -= k;
  }
}

void IntroCard::addNoise() {
  for (int row = 4; row <= 235; ++row) {
    const std::uint32_t spread = row % 2 == 0 ? 24 : 15;
    std::uint16_t* p = &pixels_[static_cast<size_t>(row) * kIntroWidth + kNoiseLeft];
    for (int x = 0; x < kNoiseWidth; ++x) {
      const int r = static_cast<int>(random(spread));
      p[x] = perChannel(p[x], [r](int c) { return (2 * c + r) / 3; });
    }
  }
}

void IntroCard::brightenRow(int row) {
  std::uint16_t* p = &pixels_[static_cast<size_t>(row) * kIntroWidth];
  for (int x = 0; x < kIntroWidth; ++x) {
    const int r = static_cast<int>(random(10));
    p[x] = perChannel(p[x], [r](int c) { return std::min(31, (2 * c + r) / 2); });
  }
}

void IntroCard::flicker(int flickerRow) {
  auto band = [&](int first, int rows) {
    for (int i = 0; i < rows; ++i) {
      if (random(100) <= 50) continue;
      int row = first + i;
      if (row > kIntroFlickerPeriod) row -= kIntroFlickerPeriod;
      brightenRow(row);
    }
  };
  band(flickerRow, 40);
  band(flickerRow + 10, 20);
}

// Rows count from the bottom, so the lit edges are the top and the left.
void IntroCard::drawBevel() {
  struct Ring {
    int inset;
    std::uint16_t lit, shaded;
  };
  constexpr Ring kRings[] = {{0, 0x3DEF, 0x1CE7}, {1, 0x739C, 0x5294}, {2, 0x6318, 0x6318}};
  for (const Ring& ring : kRings) {
    const int left = ring.inset, right = kIntroWidth - 1 - ring.inset;
    const int bottom = ring.inset, top = kIntroHeight - 1 - ring.inset;
    line(left, top, right, top, ring.lit);
    line(left, bottom, left, top, ring.lit);
    line(left, bottom, right, bottom, ring.shaded);
    line(right, bottom, right, top, ring.shaded);
  }
}

int runIntro(Platform& platform, Rasterizer& rasterizer) {
  if (!platform.openIntroWindow(kIntroWidth, kIntroHeight)) return 0;
  platform.stopSound();
  platform.playLoopingSound(introClipFor(platform.todayUtc()));
  const std::int64_t start = platform.nowMilliseconds();
  IntroCard card(rasterizer, static_cast<std::uint32_t>(start));
  card.showLogo(true);
  int frames = 0;
  for (;;) {
    const std::int64_t elapsed = platform.nowMilliseconds() - start;
    const int flickerRow =
        static_cast<int>(static_cast<std::int64_t>(elapsed * 0.1) % kIntroFlickerPeriod);
    card.drawFrame(static_cast<double>(elapsed) * kIntroTurnPerMillisecond, flickerRow);
    platform.presentIntroFrame(card.image());
    ++frames;
    if (platform.takePendingInput() || elapsed > kIntroLongest) break;
    platform.sleepMilliseconds(kIntroFramePause);
  }
  platform.stopSound();
  platform.closeIntroWindow();
  return frames;
}

}  // namespace pelt
