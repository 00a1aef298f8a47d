// The filler family: each member is the shared row loop with its vertex
// layout, depth test, pick write and pixel shade.

#include <algorithm>
#include <cmath>

#include "raster/pixel_shades.h"
#include "raster/rasterizer.h"
#include "raster/span_loop.h"

namespace pelt {

namespace {
constexpr bool kDepth = true;
constexpr bool kNoDepth = false;
constexpr bool kRounded = true;
constexpr bool kPlain = false;
constexpr PickWrite kNoPick = PickWrite::None;
constexpr PickWrite kId = PickWrite::Id;
constexpr PickWrite kTexel = PickWrite::Texel;

shades::Texture textureShade(const TextureView& t, std::int32_t pitch) {
  return {t.pixels, t.rowOffsets, pitch, pitch > 0 ? pitch * t.height : 0};
}
}  // namespace

void Rasterizer::fillFlat(Corners<0> c, std::uint8_t colour) {
  fillPolygon<0, kNoDepth, kPlain, kNoPick>(c, shades::Flat{colour});
}
void Rasterizer::fillFlatDepth(Corners<1> c, std::uint8_t colour) {
  fillPolygon<1, kDepth, kPlain, kNoPick>(c, shades::Flat{colour});
}
void Rasterizer::fillFlatDepthPick(Corners<1> c, std::uint8_t colour, std::int32_t id) {
  fillPolygon<1, kDepth, kPlain, kId>(c, shades::Flat{colour}, id);
}
void Rasterizer::fillGouraud(Corners<1> c) {
  fillPolygon<1, kNoDepth, kPlain, kNoPick>(c, shades::Gouraud{});
}
void Rasterizer::fillGouraudDepth(Corners<2> c) {
  fillPolygon<2, kDepth, kPlain, kNoPick>(c, shades::Gouraud{});
}
void Rasterizer::fillGouraudDepthPick(Corners<2> c, std::int32_t id) {
  fillPolygon<2, kDepth, kPlain, kId>(c, shades::Gouraud{}, id);
}
void Rasterizer::fillMapDepth(Corners<3> c) {
  fillPolygon<3, kDepth, kPlain, kNoPick>(c, shades::Map<false>{shadeMap_});
}
void Rasterizer::fillMapDepthPick(Corners<3> c, std::int32_t id) {
  fillPolygon<3, kDepth, kPlain, kId>(c, shades::Map<false>{shadeMap_}, id);
}
void Rasterizer::fillMapRampDepth(Corners<3> c, std::uint8_t base) {
  fillPolygon<3, kDepth, kPlain, kNoPick>(c, shades::Map<true>{shadeMap_, base});
}
void Rasterizer::fillMapRampDepthPick(Corners<3> c, std::int32_t id, std::uint8_t base) {
  fillPolygon<3, kDepth, kPlain, kId>(c, shades::Map<true>{shadeMap_, base}, id);
}
void Rasterizer::fillTextureDepth(Corners<3> c) {
  fillPolygon<3, kDepth, kPlain, kNoPick>(c, textureShade(texture_, texturePitch_));
}
void Rasterizer::fillTextureDepthPick(Corners<3> c, std::int32_t id) {
  fillPolygon<3, kDepth, kPlain, kId>(c, textureShade(texture_, texturePitch_), id);
}
void Rasterizer::fillTextureDepthTexel(Corners<3> c) {
  fillPolygon<3, kDepth, kPlain, kTexel>(c, textureShade(texture_, texturePitch_));
}
void Rasterizer::fillTextureLitDepth(Corners<4> c) {
  fillPolygon<4, kDepth, kPlain, kNoPick>(
      c, shades::TextureLit{texture_.pixels, texture_.rowOffsets, colormap_});
}
void Rasterizer::fillTextureLitDepthPick(Corners<4> c, std::int32_t id) {
  fillPolygon<4, kDepth, kPlain, kId>(
      c, shades::TextureLit{texture_.pixels, texture_.rowOffsets, colormap_}, id);
}
void Rasterizer::fillTextureLitDepthTexel(Corners<4> c) {
  fillPolygon<4, kDepth, kPlain, kTexel>(
      c, shades::TextureLit{texture_.pixels, texture_.rowOffsets, colormap_});
}
void Rasterizer::fillTextureMapLitDepth(Corners<5> c) {
  fillPolygon<5, kDepth, kPlain, kNoPick>(
      c, shades::TextureMapLit{texture_.pixels, texture_.rowOffsets, colormap_, shadeMap_});
}
void Rasterizer::fillTextureMapLitDepthPick(Corners<5> c, std::int32_t id) {
  fillPolygon<5, kDepth, kPlain, kId>(
      c, shades::TextureMapLit{texture_.pixels, texture_.rowOffsets, colormap_, shadeMap_}, id);
}
void Rasterizer::fillTextureMapLitDepthTexel(Corners<5> c) {
  fillPolygon<5, kDepth, kPlain, kTexel>(
      c, shades::TextureMapLit{texture_.pixels, texture_.rowOffsets, colormap_, shadeMap_});
}
void Rasterizer::fillTextureMapLitDepthRgb(Corners<5> c, double lightExponent,
                                           double smoothingExponent) {
  const shades::TextureMapLitRgb shade{texture_, colormap_, std::clamp(colormapRows_, 1, 64) - 1,
                                       shadeMap_, lightExponent,
                                       smoothingWeights(smoothingExponent)};
  fillPolygon<5, kDepth, kPlain, kNoPick>(c, shade);
}
// Two pows per pixel become two lookups; the table is built once per
// exponent from the very same pow calls, so every weight is unchanged.
const double* Rasterizer::smoothingWeights(double exponent) {
  if (exponent == 1.0) return nullptr;
  if (smoothingWeights_.empty() || smoothingWeightsExponent_ != exponent) {
    smoothingWeights_.resize(size_t{1} << kFixedShift);
    for (size_t i = 0; i < smoothingWeights_.size(); ++i)
      smoothingWeights_[i] = std::pow(static_cast<double>(i) / 65536.0, exponent);
    smoothingWeightsExponent_ = exponent;
  }
  return smoothingWeights_.data();
}

void Rasterizer::fillTexture(Corners<2> c) {
  fillPolygon<2, kNoDepth, kPlain, kNoPick>(c, textureShade(texture_, texturePitch_));
}
void Rasterizer::fillTextureTexel(Corners<2> c) {
  fillPolygon<2, kNoDepth, kPlain, kTexel>(c, textureShade(texture_, texturePitch_));
}
void Rasterizer::fillTextureOnClear(Corners<2> c, std::uint8_t background) {
  buildSpans<2>(c);
  clearOutsideSpans(background, false, 0);
  fillSpans<2, kNoDepth, kPlain, kNoPick>(textureShade(texture_, texturePitch_), 0);
}
void Rasterizer::fillTextureTexelOnClear(Corners<2> c, std::uint8_t background, std::int32_t noTexel) {
  buildSpans<2>(c);
  clearOutsideSpans(background, true, noTexel);
  fillSpans<2, kNoDepth, kPlain, kTexel>(textureShade(texture_, texturePitch_), 0);
}
void Rasterizer::fillTextureRounded(Corners<2> c) {
  fillPolygon<2, kNoDepth, kRounded, kNoPick>(c, textureShade(texture_, texturePitch_));
}

}  // namespace pelt
