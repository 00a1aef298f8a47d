#include "skins/paint_rule.h"

#include <algorithm>
#include <limits>

namespace pelt {

namespace {

constexpr double kGreySaturation = 0.000001;

Rgb paletteColour(const Palette& palette, int index) {
  const auto i = static_cast<size_t>(index) * 3;
  return {double(palette[i]), double(palette[i + 1]), double(palette[i + 2])};
}

}  // namespace

BlendTable identityBlendTable() {
  BlendTable table{};
  for (size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint8_t>(i);
  return table;
}

Hsv rgbToHsv(double r, double g, double b) {
  const double max = std::max({r, g, b});
  const double min = std::min({r, g, b});
  Hsv out;
  out.v = max;
  out.s = max != 0 ? (max - min) / max : 0;
  if (out.s == 0) {
    out.h = -1;
    return out;
  }
  const double range = max - min;
  if (r == max)
    out.h = (g - b) / range;
  else if (g == max)
    out.h = 2 + (b - r) / range;
  else
    out.h = 4 + (r - g) / range;
  out.h *= 60;
  if (out.h < 0) out.h += 360;
  return out;
}

Rgb hsvToRgb(double h, double s, double v) {
  if (s == 0) s = kGreySaturation;
  if (h == -1) return {v, v, v};
  const int i = static_cast<int>(h / 60);
  const double f = h / 60 - i;
  const double p = v * (1 - s);
  const double q = v * (1 - s * f);
  const double t = v * (1 - s * (1 - f));
  switch (i) {
    case 0:
      return {v, t, p};
    case 1:
      return {q, v, p};
    case 2:
      return {p, v, t};
    case 3:
      return {p, q, v};
    case 4:
      return {t, p, v};
    default:
      return {v, p, q};
  }
}

int nearestPaletteIndex(const Palette& palette, const Rgb& colour) {
  return NearestColour(palette)(colour);
}

NearestColour::NearestColour(const Palette& palette) {
  for (size_t j = 0; j < 256; ++j) {
    r_[j] = palette[3 * j];
    g_[j] = palette[3 * j + 1];
    b_[j] = palette[3 * j + 2];
  }
}

// Branch-free so the loop runs at full speed; a NaN colour keeps index 0.
int NearestColour::operator()(const Rgb& colour) const {
  int best = 0;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (int j = 0; j < 256; ++j) {
    const auto u = static_cast<size_t>(j);
    const double dr = r_[u] - colour.r, dg = g_[u] - colour.g, db = b_[u] - colour.b;
    const double d = dr * dr + dg * dg + db * db;
    const bool closer = d < bestDistance;
    best = closer ? j : best;
    bestDistance = closer ? d : bestDistance;
  }
  return best;
}

void buildBlendTable(BlendTable& table, const Palette& palette, std::uint8_t paintIndex,
                     double amount, int mode) {
  const Rgb paint = paletteColour(palette, paintIndex);
  const Hsv paintHsv = rgbToHsv(paint.r, paint.g, paint.b);
  const NearestColour nearest(palette);
  for (int i = 0; i < 256; ++i) {
    const Rgb c = paletteColour(palette, i);
    Rgb target = paint;
    if (mode == kBlendHueSaturation) {
      const Hsv own = rgbToHsv(c.r, c.g, c.b);
      target = hsvToRgb(paintHsv.h, paintHsv.s, own.v);
    }
    const Rgb blended{c.r + amount * (target.r - c.r), c.g + amount * (target.g - c.g),
                      c.b + amount * (target.b - c.b)};
    table[static_cast<size_t>(i)] = static_cast<std::uint8_t>(nearest(blended));
  }
}

void buildSoftBlendTables(SoftBlendTables& tables, const Palette& palette, std::uint8_t paintIndex,
                          double amount, int mode) {
  for (size_t k = 0; k < tables.size(); ++k)
    buildBlendTable(tables[k], palette, paintIndex,
                    amount * static_cast<double>(k + 1) / kSoftLevels, mode);
}

}  // namespace pelt
