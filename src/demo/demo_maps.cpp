#include "demo/demo_maps.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pelt {

namespace {

constexpr double kPi = 3.14159265358979323846;

std::uint8_t clampByte(double v) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

// The face direction a map pixel stands for, in view terms: x to the right,
// y up, z towards the viewer. The maps are indexed with s growing to the
// viewer's left and t growing upward.
struct Direction {
  double x, y, z;
};
Direction pixelNormal(int s, int t) {
  double left = (s + 0.5 - kMapSize / 2.0) / (kMapSize / 2.0);
  double up = (t + 0.5 - kMapSize / 2.0) / (kMapSize / 2.0);
  double r2 = left * left + up * up;
  if (r2 > 1) {  // past the rim: the nearest edge-on direction
    double r = std::sqrt(r2);
    return {-left / r, up / r, 0};
  }
  return {-left, up, std::sqrt(1 - r2)};
}

// Where the view ray bounces to off a face with that normal.
Direction reflected(const Direction& n) {
  return {2 * n.z * n.x, 2 * n.z * n.y, 2 * n.z * n.z - 1};
}

template <typename Paint>
Skin paintMap(const Palette& palette, Paint paint) {
  Skin map;
  allocateSkin(map, kMapSize, kMapSize);
  map.palette = palette;
  for (int t = 0; t < kMapSize; ++t)
    for (int s = 0; s < kMapSize; ++s)
      map.pixels[static_cast<std::size_t>(t) * kMapSize + s] = clampByte(paint(pixelNormal(s, t)));
  map.storedPixels = map.pixels;
  return map;
}

Palette blendPalette(std::array<double, 3> from, std::array<double, 3> to, int first, int count,
                     Palette palette) {
  for (int i = 0; i < count; ++i) {
    double k = count > 1 ? i / static_cast<double>(count - 1) : 0;
    for (int c = 0; c < 3; ++c)
      palette[static_cast<std::size_t>(first + i) * 3 + c] =
          clampByte(from[c] + (to[c] - from[c]) * k);
  }
  return palette;
}

double lobe(double cosine, double power) { return std::pow(std::max(cosine, 0.0), power); }

}  // namespace

Skin makePhongMap(int kind) {
  Palette grey = greyRampPalette();
  switch (kind) {
    case 0:
      return paintMap(grey, [](Direction n) { return 18 + 70 * n.z + 167 * lobe(n.z, 60); });
    case 1:
      return paintMap(grey,
                      [](Direction n) { return 14 + 190 * lobe(n.z, 2) + 51 * lobe(n.z, 10); });
    default:
      return paintMap(grey, [](Direction n) {
        // A key light ahead and a cooler rim light from the upper right.
        Direction rim{0.6, 0.55, 0.58};
        double rimCos = n.x * rim.x + n.y * rim.y + n.z * rim.z;
        return 14 + 50 * n.z + 185 * lobe(n.z, 24) + 110 * lobe(rimCos, 40);
      });
  }
}

std::string phongMapFileName(int kind) {
  static constexpr const char* kNames[kDemoPhongMapCount] = {"tight.pcx", "broad.pcx",
                                                             "twolobe.pcx"};
  return kNames[std::clamp(kind, 0, kDemoPhongMapCount - 1)];
}

Skin makeEnvironmentMap(int kind) {
  switch (kind) {
    case 0: {
      // 0..127 sky from the haze at the horizon to the zenith, 128..255 the
      // ground from the horizon down; 0 doubles as the sun.
      Palette p{};
      p = blendPalette({235, 238, 240}, {35, 75, 175}, 0, 128, p);
      p = blendPalette({175, 150, 110}, {35, 28, 20}, 128, 128, p);
      return paintMap(p, [](Direction n) {
        Direction r = reflected(n);
        Direction sun{-0.45, 0.6, 0.66};
        if (r.x * sun.x + r.y * sun.y + r.z * sun.z > 0.985) return 0.0;
        double e = std::clamp(r.y, -1.0, 1.0);
        return e >= 0 ? 1 + 126 * std::pow(e, 0.6) : 128 + 127 * std::pow(-e, 0.5);
      });
    }
    case 1: {
      Palette p{};
      for (int i = 0; i < 256; ++i) {
        p[static_cast<std::size_t>(i) * 3] = static_cast<std::uint8_t>(i);
        p[static_cast<std::size_t>(i) * 3 + 1] = clampByte(i * 0.97);
        p[static_cast<std::size_t>(i) * 3 + 2] = clampByte(i * 0.9);
      }
      return paintMap(p, [](Direction n) {
        Direction r = reflected(n);
        // Two soft boxes above and a strip light to the right, over a dark
        // backdrop and a lighter floor.
        double az = std::atan2(r.x, -r.z) / kPi;  // -1 .. 1, 0 straight ahead
        if (r.y > 0.45 && r.y < 0.85 && std::fabs(az + 0.35) < 0.2) return 250.0;
        if (r.y > 0.45 && r.y < 0.85 && std::fabs(az - 0.4) < 0.12) return 215.0;
        if (std::fabs(az - 0.75) < 0.04 && r.y > -0.2 && r.y < 0.6) return 190.0;
        if (r.y < -0.15) return 55 + 35 * (1 + r.y);
        return 20 + 25 * (r.y + 0.15);
      });
    }
    default: {
      // 0..127 a teal ramp, 128..255 an orange ramp, both dark to light.
      Palette p{};
      p = blendPalette({5, 20, 22}, {150, 235, 225}, 0, 128, p);
      p = blendPalette({25, 10, 5}, {255, 205, 150}, 128, 128, p);
      return paintMap(p, [](Direction n) {
        Direction r = reflected(n);
        double ax = std::fabs(r.x), ay = std::fabs(r.y), az = std::fabs(r.z);
        double a, b, light;
        if (ay >= ax && ay >= az) {
          a = r.x / ay, b = r.z / ay, light = r.y > 0 ? 110 : 55;
        } else if (ax >= az) {
          a = r.y / ax, b = r.z / ax, light = 85;
        } else {
          a = r.x / az, b = r.y / az, light = 95;
        }
        double fa = (a + 1) * 4, fb = (b + 1) * 4;
        bool grout = std::fabs(fa - std::round(fa)) < 0.04 || std::fabs(fb - std::round(fb)) < 0.04;
        double shade = std::clamp(light - 25 * (a * a + b * b) - (grout ? 40 : 0), 0.0, 127.0);
        bool odd = (static_cast<int>(std::floor(fa)) + static_cast<int>(std::floor(fb))) % 2 != 0;
        return (odd ? 128 : 0) + shade;
      });
    }
  }
}

std::string environmentMapFileName(int kind) {
  static constexpr const char* kNames[kDemoEnvironmentMapCount] = {"horizon.pcx", "studio.pcx",
                                                                   "checker.pcx"};
  return kNames[std::clamp(kind, 0, kDemoEnvironmentMapCount - 1)];
}

}  // namespace pelt
