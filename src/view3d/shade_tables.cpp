#include "view3d/shade_tables.h"

#include <algorithm>
#include <cmath>

#include "raster/texture_view.h"

namespace pelt {

namespace {

constexpr double kByteScale = 0.00390625;  // 1/256
constexpr double kCurveStep = 0.00392156862745098;
constexpr int kLightLevels = 64;

struct Hsv {
  double h = -1;  // degrees; -1 when undefined (no saturation)
  double s = 0;
  double v = 0;
};

Hsv toHsv(double r, double g, double b) {
  const double mx = std::max({r, g, b});
  const double mn = std::min({r, g, b});
  Hsv out;
  out.v = mx;
  out.s = mx > 0 ? (mx - mn) / mx : 0;
  if (out.s == 0) return out;
  const double delta = mx - mn;
  if (r == mx)
    out.h = (g - b) / delta;
  else if (g == mx)
    out.h = 2 + (b - r) / delta;
  else
    out.h = 4 + (r - g) / delta;
  out.h *= 60;
  if (out.h < 0) out.h += 360;
  return out;
}

std::array<double, 3> toRgb(const Hsv& c) {
  if (c.s == 0 || c.h < 0) return {c.v, c.v, c.v};
  double h = c.h >= 360 ? 0 : c.h / 60;
  const int sector = static_cast<int>(h);
  const double f = h - sector;
  const double p = c.v * (1 - c.s);
  const double q = c.v * (1 - c.s * f);
  const double t = c.v * (1 - c.s * (1 - f));
  switch (sector) {
    case 0: return {c.v, t, p};
    case 1: return {q, c.v, p};
    case 2: return {p, c.v, t};
    case 3: return {p, q, c.v};
    case 4: return {t, p, c.v};
    default: return {c.v, p, q};
  }
}

}  // namespace

void buildShadeCurve(ShadeCurve& curve, double lightExponent) {
  for (int i = 0; i < 256; ++i)
    curve[static_cast<size_t>(i)] =
        static_cast<std::uint8_t>(255.0 * std::pow(i * kCurveStep, lightExponent));
}

void buildShadeRamps(ShadeTables& tables, const Palette* palette,
                     const std::array<std::uint8_t, kShadeRampCount>& slotIndices) {
  for (size_t slot = 0; slot < slotIndices.size(); ++slot) {
    const size_t index = slotIndices[slot];
    std::array<double, 3> rgb{};
    for (size_t k = 0; k < 3; ++k)
      rgb[k] = (palette ? (*palette)[index * 3 + k] : index) * kByteScale;
    const Hsv base = toHsv(rgb[0], rgb[1], rgb[2]);
    ShadeRamp& ramp = tables.shadeRamps[slot];
    for (size_t step = 0; step < kShadeRampSteps; ++step) {
      Hsv shaded = base;
      shaded.v = tables.shadeCurve[step * 4] * kByteScale * base.v;
      const std::array<double, 3> out = toRgb(shaded);
      for (size_t k = 0; k < 3; ++k) ramp[step * 3 + k] = static_cast<std::uint8_t>(256 * out[k]);
    }
  }
}

void buildLitPlane(const ShadeCurve& curve, Skin& phongMap) {
  phongMap.storedPixels.resize(phongMap.pixels.size());
  for (size_t i = 0; i < phongMap.pixels.size(); ++i) {
    const size_t m = phongMap.pixels[i];
    phongMap.storedPixels[i] =
        static_cast<std::uint8_t>(kLightLevels - 1 - (curve[(4 * m) % 256] >> 2));
  }
}

bool hasLitPlane(const Skin& phongMap) {
  const auto texels = static_cast<size_t>(kShadeMapSize * kShadeMapSize);
  if (phongMap.storedPixels.size() < texels || phongMap.pixels.size() < texels) return false;
  // A freshly read map's stored copy holds raw texels up to 255; only a
  // built plane stays inside the light table's rows.
  // An OR over the plane instead of an early exit: it is checked on every
  // render, and this form vectorises.
  static_assert((kLightLevels & (kLightLevels - 1)) == 0);
  std::uint8_t any = 0;
  for (size_t i = 0; i < texels; ++i) any |= phongMap.storedPixels[i];
  return any < kLightLevels;
}

}  // namespace pelt
