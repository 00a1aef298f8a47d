#pragma once
// What each filler writes for one pixel. A shade reads the running span
// attributes (depth excluded), writes the pixel and returns the texel offset
// it read (0 for shades without a texture).

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "raster/screen_vertex.h"
#include "raster/texture_view.h"

namespace pelt::shades {

inline std::int32_t whole(std::int32_t fixed) { return fixed >> kFixedShift; }

// The whole part of a coordinate that indexes a table, so never negative; the
// unsigned shift spares a sign extension per lookup.
inline std::uint32_t index(std::int32_t fixed) { return static_cast<std::uint32_t>(fixed) >> kFixedShift; }

inline std::uint32_t shadeMapOffset(std::int32_t s, std::int32_t t) {
  return index(t) * kShadeMapSize + index(s);
}

struct Flat {
  static constexpr int kBytesPerPixel = 1;
  static constexpr bool kSolid = true;
  std::uint8_t colour;
  std::int32_t plot(std::uint8_t* pixel, const std::int32_t*) const {
    *pixel = colour;
    return 0;
  }
};

// c
struct Gouraud {
  static constexpr int kBytesPerPixel = 1;
  static constexpr bool kSolid = false;
  std::int32_t plot(std::uint8_t* pixel, const std::int32_t* a) const {
    *pixel = static_cast<std::uint8_t>(whole(a[0]));
    return 0;
  }
};

// s, t; the ramp variants add a base index with 8-bit wrap-around.
template <bool kRamp>
struct Map {
  static constexpr int kBytesPerPixel = 1;
  static constexpr bool kSolid = false;
  const std::uint8_t* map;
  std::uint8_t base = 0;
  std::int32_t plot(std::uint8_t* pixel, const std::int32_t* a) const {
    const std::uint8_t value = map[shadeMapOffset(a[0], a[1])];
    *pixel = kRamp ? static_cast<std::uint8_t>(value + base) : value;
    return 0;
  }
};

// u, v. With a pitch, rowOffsets is the plain row * pitch table over pitch *
// height bytes (size); the lanes use that to fetch whole words.
struct Texture {
  static constexpr int kBytesPerPixel = 1;
  static constexpr bool kSolid = false;
  const std::uint8_t* pixels;
  const std::int32_t* rowOffsets;
  std::int32_t pitch = 0;
  std::int32_t size = 0;
  std::int32_t plot(std::uint8_t* pixel, const std::int32_t* a) const {
    const std::uint32_t texel = static_cast<std::uint32_t>(rowOffsets[index(a[1])]) + index(a[0]);
    *pixel = pixels[texel];
    return static_cast<std::int32_t>(texel);
  }
};

// u, v, l: the texel looked up in colormap row l.
struct TextureLit {
  static constexpr int kBytesPerPixel = 1;
  static constexpr bool kSolid = false;
  const std::uint8_t* pixels;
  const std::int32_t* rowOffsets;
  const std::uint8_t* colormap;
  std::int32_t plot(std::uint8_t* pixel, const std::int32_t* a) const {
    const std::uint32_t texel = static_cast<std::uint32_t>(rowOffsets[index(a[1])]) + index(a[0]);
    *pixel = colormap[index(a[2]) * 256 + pixels[texel]];
    return static_cast<std::int32_t>(texel);
  }
};

// u, v, s, t: the shade map value picks the colormap row.
struct TextureMapLit {
  static constexpr int kBytesPerPixel = 1;
  static constexpr bool kSolid = false;
  const std::uint8_t* pixels;
  const std::int32_t* rowOffsets;
  const std::uint8_t* colormap;
  const std::uint8_t* map;
  std::int32_t plot(std::uint8_t* pixel, const std::int32_t* a) const {
    const std::uint32_t texel = static_cast<std::uint32_t>(rowOffsets[index(a[1])]) + index(a[0]);
    const std::uint32_t light = map[shadeMapOffset(a[2], a[3])];
    *pixel = colormap[light * 256 + pixels[texel]];
    return static_cast<std::int32_t>(texel);
  }
};

// u, v, s, t into RGB: bilinear light from the shade map, a fractional light
// table row, and four texels blended with shaped weights. Only snapshots use
// it, so it may afford floating point and a pow per pixel for the light;
// the smoothing weights come from a table of exact pow values. Every neighbour read
// is clamped so the last texture column/row, map entry 255 and over-bright
// light stay inside their tables.
struct TextureMapLitRgb {
  static constexpr int kBytesPerPixel = 3;
  static constexpr bool kSolid = false;
  TextureView texture;
  const std::uint8_t* colormap;  // rows of 256 RGB triples
  int lastRow;                   // highest colormap row that may be read
  const std::uint8_t* map;
  double lightExponent;

  // pow(fraction, smoothingExponent) for every 16-bit fraction, or null for
  // the exponent 1, where the fraction itself is exact.
  const double* shapedWeights;

  double shaped(std::uint32_t fractionBits) const {
    return shapedWeights ? shapedWeights[fractionBits] : fractionBits / 65536.0;
  }

  std::int32_t plot(std::uint8_t* pixel, const std::int32_t* a) const {
    constexpr std::uint32_t kFraction = 0xFFFF;
    constexpr int kMapLast = kShadeMapSize - 1;

    const int si = std::clamp(whole(a[2]), 0, kMapLast);
    const int ti = std::clamp(whole(a[3]), 0, kMapLast);
    const int si1 = std::min(si + 1, kMapLast);
    const int ti1 = std::min(ti + 1, kMapLast);
    const std::uint32_t sf = static_cast<std::uint32_t>(a[2]) & kFraction;
    const std::uint32_t tf = static_cast<std::uint32_t>(a[3]) & kFraction;
    const std::uint32_t m00 = map[ti * kShadeMapSize + si];
    const std::uint32_t m01 = map[ti * kShadeMapSize + si1];
    const std::uint32_t m10 = map[ti1 * kShadeMapSize + si];
    const std::uint32_t m11 = map[ti1 * kShadeMapSize + si1];
    const std::uint32_t top = (m01 * sf + m00 * (65536 - sf)) >> 8;
    const std::uint32_t bottom = (m11 * sf + m10 * (65536 - sf)) >> 8;
    const std::uint32_t f8 = tf >> 8;
    const std::uint32_t q = bottom * f8 + top * (256 - f8);
    const double light = static_cast<double>(q) * 0x1p-22;  // map value 64 is 1.0; exact like ldexp

    const double power = lightExponent == 1.0 ? light : std::pow(light, lightExponent);
    double position = 63.0 - 64.0 * power;
    if (!(position > 0.0)) position = 0.0;  // also catches NaN
    position = std::min(position, static_cast<double>(lastRow));
    const int row = static_cast<int>(position);  // position >= 0, so truncation is floor
    const double f = position - row;
    const int nextRow = std::min(row + 1, lastRow);

    const int ui = std::clamp(whole(a[0]), 0, texture.width - 1);
    const int vi = std::clamp(whole(a[1]), 0, texture.height - 1);
    const int ui1 = std::min(ui + 1, texture.width - 1);
    const int vi1 = std::min(vi + 1, texture.height - 1);
    const std::uint8_t t00 = texture.pixels[texture.rowOffsets[vi] + ui];
    const std::uint8_t t01 = texture.pixels[texture.rowOffsets[vi] + ui1];
    const std::uint8_t t10 = texture.pixels[texture.rowOffsets[vi1] + ui];
    const std::uint8_t t11 = texture.pixels[texture.rowOffsets[vi1] + ui1];

    const double wu = shaped(static_cast<std::uint32_t>(a[0]) & kFraction);
    const double wv = shaped(static_cast<std::uint32_t>(a[1]) & kFraction);

    for (int k = 0; k < 3; ++k) {
      auto lit = [&](std::uint8_t texel) {
        const double here = colormap[(row * 256 + texel) * 3 + k];
        if (f == 0.0) return here;
        return (1.0 - f) * here + f * colormap[(nextRow * 256 + texel) * 3 + k];
      };
      const double value = (wu * lit(t11) + (1.0 - wu) * lit(t10)) * wv +
                           (wu * lit(t01) + (1.0 - wu) * lit(t00)) * (1.0 - wv);
      pixel[k] = static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0));
    }
    return 0;
  }
};

}  // namespace pelt::shades
