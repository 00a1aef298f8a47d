#include "demo/demo_creature_skin.h"

#include <algorithm>
#include <cmath>

#include "demo/demo_creature.h"
#include "demo/demo_paint.h"
#include "demo/demo_palette.h"

namespace pelt {

namespace {

// Position across a region the way the mapping places corners: 0 and 1 are
// one pixel inside the border.
double alongRect(int x, int start, int size) {
  return (x - start - 1) / static_cast<double>(size - 3);
}

// Distance in pixels (across the back) to the nearest segment line.
double segmentDistance(double along, int segments, int size) {
  double f = along * segments;
  return std::fabs(f - std::round(f)) * (size - 3) / segments;
}

int noiseShade(int x, int y, std::uint32_t seed, int spread) {
  return static_cast<int>(std::floor(hashNoise(x, y, seed) * spread));
}

void paintBack(Skin& skin) {
  const SkinRect r = kBackRect;
  paintRect(skin, r, [&](double, double, int x, int y) {
    double along = alongRect(x, r.x, r.w);
    double across = alongRect(y, r.y, r.h);  // 0 right flank, 0.5 spine, 1 left flank
    double fromSpine = std::fabs(across - 0.5) * 2;
    if (segmentDistance(along, kCreatureHeadRing, r.w) < 1.0) return rampColor(kRampOlive, 3);
    if (fromSpine < 0.07) return rampColor(kRampBrown, 5 + noiseShade(x, y, 3, 2));
    if (hashNoise(x / 3, y / 3, 7) < 0.05 && fromSpine < 0.8) return rampColor(kRampYellow, 9);
    int shade = 10 - static_cast<int>(fromSpine * 5) + noiseShade(x, y, 1, 2);
    return rampColor(kRampGreen, shade);
  });
}

void paintBelly(Skin& skin) {
  const SkinRect r = kBellyRect;
  paintRect(skin, r, [&](double, double, int x, int y) {
    double along = alongRect(x, r.x, r.w);
    double across = alongRect(y, r.y, r.h);
    double fromMiddle = std::fabs(across - 0.5) * 2;
    if (segmentDistance(along, kCreatureHeadRing, r.w) < 1.5) return rampColor(kRampTan, 7);
    if (fromMiddle > 0.85) return rampColor(kRampOlive, 8);  // where the flanks meet the back
    return rampColor(kRampTan, 12 - static_cast<int>(fromMiddle * 3) + noiseShade(x, y, 2, 2));
  });
}

void paintHead(Skin& skin) {
  const SkinRect r = kHeadRect;
  paintRect(skin, r, [&](double, double, int x, int y) {
    double around = alongRect(y, r.y, r.h);  // 0 chin, 0.5 top of the head, 1 chin
    double fromTop = std::fabs(around - 0.5) * 2;
    if (fromTop > 0.6) return rampColor(kRampTan, 11 + noiseShade(x, y, 4, 2));
    if (fromTop > 0.52) return rampColor(kRampOlive, 6);
    bool mottle = hashNoise(x / 4, y / 4, 9) < 0.3;
    return rampColor(mottle ? kRampBrown : kRampGreen, 9 - static_cast<int>(fromTop * 4));
  });
}

// A disc region seen head-on; paint(dx, dy, distance) with dx, dy in -1 .. 1, dy up.
template <typename Paint>
void paintDisc(Skin& skin, const SkinRect& r, Paint paint) {
  paintRect(skin, r, [&](double, double, int x, int y) {
    double dx = (x + 0.5 - (r.x + r.w / 2.0)) / (r.w / 2.0 - 2);
    double dy = ((r.y + r.h / 2.0) - (y + 0.5)) / (r.h / 2.0 - 2);
    return paint(dx, dy, std::sqrt(dx * dx + dy * dy), x, y);
  });
}

void paintFace(Skin& skin) {
  paintDisc(skin, kFaceRect, [](double dx, double dy, double d, int x, int y) {
    // A wide mouth below the middle, ringed by teeth, and two nostrils above.
    double mx = dx / 0.6, my = (dy + 0.25) / 0.28;
    double mouth = mx * mx + my * my;
    if (mouth < 1.0) {
      bool tooth =
          my > 0.45 && std::fmod(std::fabs(dx) + 0.05, 0.16) < 0.08 * (my - 0.45) / 0.55 + 0.02;
      return tooth ? rampColor(kRampTan, 15) : rampColor(kRampRed, 3 + static_cast<int>(mouth * 3));
    }
    if (mouth < 1.25) return rampColor(kRampRose, 8);
    for (double side : {-0.2, 0.2})
      if (std::hypot(dx - side, dy - 0.35) < 0.07) return rampColor(kRampGrey, 1);
    if (d > 0.92) return rampColor(kRampGreen, 5);
    return rampColor(dy < -0.6 ? kRampTan : kRampGreen,
                     11 - static_cast<int>(d * 4) + noiseShade(x, y, 5, 2));
  });
}

void paintTail(Skin& skin) {
  paintDisc(skin, kTailRect, [](double, double, double d, int, int) {
    int band = static_cast<int>(d * 5);
    return rampColor(band % 2 ? kRampOlive : kRampGreen, 10 - band);
  });
}

void paintEyes(Skin& skin) {
  paintDisc(skin, kEyeRect, [](double dx, double dy, double d, int, int) {
    if (std::hypot(dx + 0.25, dy - 0.3) < 0.15) return rampColor(kRampGrey, 15);  // glint
    if (std::fabs(dx) < 0.12 && d < 0.7) return rampColor(kRampGrey, 0);          // slit pupil
    if (d < 0.85) return rampColor(kRampYellow, 13 - static_cast<int>(d * 6));
    return rampColor(kRampOrange, 5);
  });
}

void paintPlates(Skin& skin) {
  for (int plate = 0; plate < kCreaturePlates; ++plate) {
    SkinRect cell = plateCell(plate);
    paintRect(skin, cell, [&](double u, double v, int x, int y) {
      // Four facets meeting at the apex (0.3, 0.5), lit from the upper left.
      double du = u < 0.3 ? (0.3 - u) / 0.3 : (u - 0.3) / 0.7;
      double dv = std::fabs(v - 0.5) * 2;
      double ring = std::max(du, dv);
      if (u < 0.02 || u > 0.98 || v < 0.02 || v > 0.98) return rampColor(kRampBrown, 3);
      if (std::fabs(du - dv) < 0.04) return rampColor(kRampBrown, 6);  // ridges
      int facet = du > dv ? (u < 0.3 ? 13 : 8) : (v < 0.5 ? 11 : 9);
      int growth = static_cast<int>(ring * 6) % 2;
      return rampColor(kRampOrange, facet - growth - noiseShade(x, y, 6, 2));
    });
  }
}

void paintLegs(Skin& skin) {
  for (int pair = 0; pair < kCreatureLegPairs; ++pair) {
    SkinRect column = legColumn(pair);
    paintRect(skin, column, [&](double, double, int x, int y) {
      double along = alongRect(y, column.y, column.h);
      double around = alongRect(x, column.x, column.w);
      if (x == column.x || x == column.x + column.w - 1) return rampColor(kRampGrey, 1);
      if (along > 0.86)
        return rampColor(kRampTan, 14 - static_cast<int>((along - 0.86) * 40));  // claw
      if (std::fabs(along - 0.45) < 0.03 || std::fabs(along - 0.85) < 0.015)
        return rampColor(kRampBrown, 2);
      int stripe = static_cast<int>(along * 12) % 2;
      int light = around < 0.5 ? 2 : 0;
      return rampColor(stripe ? kRampBrown : kRampOlive, 7 + light + noiseShade(x, y, 8, 2));
    });
  }
}

// Wounds for the pain skin: splashes of blood and a few scratches over
// back, belly and head.
void paintWounds(Skin& skin) {
  for (const SkinRect& r : {kBackRect, kBellyRect, kHeadRect}) {
    paintRect(skin, r, [&](double u, double v, int x, int y) {
      std::uint8_t under = skin.pixels[static_cast<std::size_t>(y) * skin.width + x];
      double splash = 0;
      for (int k = 0; k < 5; ++k) {
        double cx = hashNoise(k, r.y, 11), cy = hashNoise(k, r.y, 12);
        double radius = 0.05 + 0.06 * hashNoise(k, r.y, 13);
        double d = std::hypot((u - cx) * r.w, (v - cy) * r.h) / (radius * r.w);
        splash = std::max(splash, 1.0 - d + 0.25 * (hashNoise(x, y, 14) - 0.5));
      }
      if (splash > 0.3) return rampColor(kRampRed, 3 + static_cast<int>(splash * 6));
      if (splash > 0.1) return rampColor(kRampRed, 8);
      double scratch = std::fmod(u * r.w + v * r.h * 0.7, 23.0);
      if (scratch < 1.2 && hashNoise(x / 6, y / 6, 15) < 0.35) return rampColor(kRampRose, 10);
      // Everything else looks bruised: one shade darker.
      return static_cast<std::uint8_t>(under % kRampLength > 0 ? under - 1 : under);
    });
  }
}

}  // namespace

Skin makeCreatureSkin(int variant, const Palette& palette) {
  Skin skin;
  allocateSkin(skin, kCreatureSkinSize, kCreatureSkinSize);
  skin.palette = palette;
  paintRect(skin, {0, 0, skin.width, skin.height}, [](double, double, int x, int y) {
    return rampColor(kRampGrey, 2 + ((x / 8 + y / 8) % 2));
  });
  paintBack(skin);
  paintBelly(skin);
  paintHead(skin);
  paintFace(skin);
  paintTail(skin);
  paintEyes(skin);
  paintPlates(skin);
  paintLegs(skin);
  if (variant == kCreatureSkinPain) paintWounds(skin);
  skin.storedPixels = skin.pixels;
  return skin;
}

}  // namespace pelt
