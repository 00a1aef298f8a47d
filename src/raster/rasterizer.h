#pragma once
// The software rasterizer every view draws through. It owns no image memory:
// callers bind their buffers and tables, set the size, clear, then call the
// fillers and line drawers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "raster/count_divider.h"
#include "raster/screen_vertex.h"
#include "raster/span_table.h"
#include "raster/texture_view.h"

namespace pelt {

inline constexpr std::uint16_t kDepthFar = 0xFFFF;
inline constexpr std::int32_t kPickNothing = -1;
inline constexpr std::int32_t kPickCompanion = -2;

// x0, y0, x1, y1.
using ScreenLine = std::array<std::int32_t, 4>;

// How many pixels of a span the depth-testing texture fillers handle at once.
enum class SpanLanes { One = 1, Eight = 8, Sixteen = 16 };

// Where a filler writes its pick value.
enum class PickWrite { None, Id, Texel };

class Rasterizer {
 public:
  Rasterizer();

  // The depth-testing texture fillers run sixteen pixels at a time where the
  // CPU has AVX-512, eight where it has AVX2, else one; the widest is the
  // default. Every width writes the same values. Returns the width now in
  // use: the widest the CPU offers up to `wanted`.
  SpanLanes useSpanLanes(SpanLanes wanted);
  SpanLanes spanLanes() const { return spanLanes_; }

  // Sizes the span tables by the height; the width is also the row pitch of
  // every bound buffer.
  void setSize(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }
  int xMax() const { return xMax_; }
  int yMax() const { return yMax_; }

  // Borrowed buffers, width * height entries each (the true-colour filler's
  // pixel buffer holds three bytes per pixel). Bindings last until replaced.
  void bindPixels(std::uint8_t* pixels) { pixelBuffer_ = pixels; }
  void bindAux16(std::uint16_t* aux) { auxBuffer16_ = aux; }
  void bindDepth(std::uint16_t* depth) { depthBuffer_ = depth; }
  void bindPick(std::int32_t* pick) { pickBuffer_ = pick; }
  void bindTexture(const TextureView& texture);
  // Rows of 256 palette indices (256 RGB triples for the true-colour filler);
  // the row number is the light level.
  void bindColormap(const std::uint8_t* rows, int rowCount) {
    colormap_ = rows;
    colormapRows_ = rowCount;
  }
  // A kShadeMapSize x kShadeMapSize map, entry (s, t) at t * 256 + s.
  void bindShadeMap(const TextureView& map) { shadeMap_ = map.pixels; }

  void clearPixels(std::uint8_t index);
  void clearDepth(std::uint16_t value);
  void clearPick(std::int32_t value);

  // Empties the span tables; once per frame after setSize. Every filler
  // leaves them empty behind itself.
  void resetSpans();

  // Clips the polygon's edges to 0..xMax. Writes the emitted corners, closed
  // by a copy of the first, into `out` and returns how many were written (0
  // when the polygon lies wholly left or right of the buffer).
  template <int N>
  int clipPolygonX(Corners<N> corners, std::span<ScreenVertex<N>, 2 * kMaxCorners + 1> out);
  // 1 when the last edge clip moved the edge's start vertex.
  int clipMovedStart() const { return clipMovedStart_; }

  std::int32_t spanLeft(int y) const { return spans_.left(y); }
  std::int32_t spanRight(int y) const { return spans_.right(y); }
  std::int32_t spanTop() const { return spanTop_; }
  std::int32_t spanBottom() const { return spanBottom_; }

  // The filler family. Vertex layouts: (attributes after x, y).
  void fillFlat(Corners<0> corners, std::uint8_t colour);                     // -
  void fillFlatDepth(Corners<1> corners, std::uint8_t colour);                // z
  void fillFlatDepthPick(Corners<1> corners, std::uint8_t colour, std::int32_t id);
  void fillGouraud(Corners<1> corners);                                       // c
  void fillGouraudDepth(Corners<2> corners);                                  // c, z
  void fillGouraudDepthPick(Corners<2> corners, std::int32_t id);
  void fillMapDepth(Corners<3> corners);                                      // s, t, z
  void fillMapDepthPick(Corners<3> corners, std::int32_t id);
  void fillMapRampDepth(Corners<3> corners, std::uint8_t base);
  void fillMapRampDepthPick(Corners<3> corners, std::int32_t id, std::uint8_t base);
  void fillTextureDepth(Corners<3> corners);                                  // u, v, z
  void fillTextureDepthPick(Corners<3> corners, std::int32_t id);
  void fillTextureDepthTexel(Corners<3> corners);
  void fillTextureLitDepth(Corners<4> corners);                               // u, v, l, z
  void fillTextureLitDepthPick(Corners<4> corners, std::int32_t id);
  void fillTextureLitDepthTexel(Corners<4> corners);
  void fillTextureMapLitDepth(Corners<5> corners);                            // u, v, s, t, z
  void fillTextureMapLitDepthPick(Corners<5> corners, std::int32_t id);
  void fillTextureMapLitDepthTexel(Corners<5> corners);
  // Bilinear true colour into three bytes per pixel; reads a colormap of RGB
  // triples. Every neighbour read is clamped to the texture, the map and the
  // colormap's rows.
  void fillTextureMapLitDepthRgb(Corners<5> corners, double lightExponent,
                                 double smoothingExponent);
  void fillTexture(Corners<2> corners);                                       // u, v
  void fillTextureTexel(Corners<2> corners);
  // Adds half a texel to the u and v span deltas before dividing them.
  void fillTextureRounded(Corners<2> corners);
  // fillTexture and fillTextureTexel onto buffers cleared to `background`
  // (the pick buffer to `noTexel`): the same result, but only what the
  // polygon leaves uncovered is cleared.
  void fillTextureOnClear(Corners<2> corners, std::uint8_t background);
  void fillTextureTexelOnClear(Corners<2> corners, std::uint8_t background, std::int32_t noTexel);

  // Clips to 0..width-1 x 0..height-1 in place; false (line untouched) when
  // nothing is left.
  bool clipLine(ScreenLine& line) const;

  // The drawers expect lines already inside the buffer (see clipLine).
  void drawLine(const ScreenLine& line, std::uint8_t colour);
  void drawLine16(const ScreenLine& line, std::uint16_t value);
  // Writes only where the pick buffer holds id.
  void drawLinePick(const ScreenLine& line, std::uint8_t colour, std::int32_t id);
  // Antialiased 5-5-5 colour into the aux buffer.
  void drawLineSmooth16(const ScreenLine& line, std::uint16_t colour);

 private:
  template <int N>
  void clipEdgeX(const ScreenVertex<N>& start, const ScreenVertex<N>& end,
                 ScreenVertex<N>& clippedStart, ScreenVertex<N>& clippedEnd, bool& rejected);
  template <int N>
  void walkEdge(ScreenVertex<N> start, ScreenVertex<N> end);
  template <int N>
  void traceEdge(const ScreenVertex<N>& start, const ScreenVertex<N>& end);
  template <int N>
  void buildSpans(Corners<N> corners);
  void clearOutsideSpans(std::uint8_t pixel, bool clearPick, std::int32_t pick);
  template <int N, bool kDepth, bool kRoundedUv, PickWrite kPick, class Shade>
  void fillSpans(const Shade& shade, std::int32_t id);
  // kLanes: 0 the plain loop, 1 eight lanes, 2 eight lanes over a plain
  // texture row table, 3 sixteen lanes over a plain texture row table.
  template <int N, bool kDepth, bool kRoundedUv, PickWrite kPick, int kLanes, class Shade>
  void fillRows(const Shade& shade, std::int32_t id);
  template <int N, bool kDepth, bool kRoundedUv, PickWrite kPick, class Shade>
  [[gnu::target("avx2")]] void fillRowsInLanes(const Shade& shade, std::int32_t id);
  template <int N, bool kDepth, bool kRoundedUv, PickWrite kPick, class Shade>
  [[gnu::target("avx2,bmi2,avx512f,avx512bw,avx512vl")]] void fillRowsInWideLanes(const Shade& shade, std::int32_t id);
  template <int N, bool kDepth, bool kRoundedUv, PickWrite kPick, class Shade>
  void fillPolygon(Corners<N> corners, const Shade& shade, std::int32_t id = 0) {
    buildSpans<N>(corners);
    fillSpans<N, kDepth, kRoundedUv, kPick>(shade, id);
  }

  const double* smoothingWeights(double exponent);

  SpanTable spans_;
  std::int32_t spanTop_ = kSpanEmptyLeft;
  std::int32_t spanBottom_ = kSpanEmptyRight;
  int width_ = 0;
  int height_ = 0;
  int xMax_ = -1;
  int yMax_ = -1;
  int clipMovedStart_ = 0;
  CountDivider countDivider_;
  SpanLanes spanLanes_ = SpanLanes::One;

  std::uint8_t* pixelBuffer_ = nullptr;
  std::uint16_t* auxBuffer16_ = nullptr;
  std::uint16_t* depthBuffer_ = nullptr;
  std::int32_t* pickBuffer_ = nullptr;
  TextureView texture_;
  // The bound texture's width when its row table is the plain row * width
  // one, else 0.
  std::int32_t texturePitch_ = 0;
  const std::uint8_t* colormap_ = nullptr;
  int colormapRows_ = 0;
  const std::uint8_t* shadeMap_ = nullptr;
  std::vector<double> smoothingWeights_;
  double smoothingWeightsExponent_ = 1.0;
};

}  // namespace pelt
