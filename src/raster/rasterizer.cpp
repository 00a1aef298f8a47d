#include "raster/rasterizer.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "raster/edge_lanes.h"

namespace pelt {

namespace {

// Differences and steps wrap like the 32-bit registers they model instead of
// overflowing.
std::int32_t wrappingSub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

template <int N>
ScreenVertex<N> midpoint(const ScreenVertex<N>& p, const ScreenVertex<N>& q) {
  auto half = [](std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(a) + b) >> 1);
  };
  ScreenVertex<N> m;
  m.x = half(p.x, q.x);
  m.y = half(p.y, q.y);
  for (int k = 0; k < N; ++k) m.attr[k] = half(p.attr[k], q.attr[k]);
  return m;
}

template <int kAxis, int N>
std::int32_t coordinate(const ScreenVertex<N>& v) {
  return kAxis == 0 ? v.x : v.y;
}

// Halves the segment until a midpoint lands exactly on the boundary. Shifts
// instead of divisions keep every attribute on the same bisection path.
template <int kAxis, bool kLowSide, int N>
ScreenVertex<N> bisectOnto(ScreenVertex<N> inside, ScreenVertex<N> outside, std::int32_t boundary) {
  if (coordinate<kAxis>(inside) == boundary) return inside;
  for (;;) {
    const ScreenVertex<N> m = midpoint(inside, outside);
    const std::int32_t c = coordinate<kAxis>(m);
    if (c == boundary) return m;
    const bool out = kLowSide ? c < boundary : c > boundary;
    (out ? outside : inside) = m;
  }
}

// Clips one edge to lo..hi along an axis. The end with the smaller coordinate
// is "low"; on a tie the end vertex is. Ends already on the boundary stay put.
template <int kAxis, int N>
bool clipEdge(ScreenVertex<N>& start, ScreenVertex<N>& end, std::int32_t hi, int& movedStart) {
  const bool startIsLow = coordinate<kAxis>(start) < coordinate<kAxis>(end);
  ScreenVertex<N>& low = startIsLow ? start : end;
  ScreenVertex<N>& high = startIsLow ? end : start;
  movedStart = 0;
  if (coordinate<kAxis>(low) > hi || coordinate<kAxis>(high) < 0) return false;
  bool movedLow = false;
  bool movedHigh = false;
  if (coordinate<kAxis>(low) < 0) {
    low = bisectOnto<kAxis, true>(high, low, 0);
    movedLow = true;
  }
  if (coordinate<kAxis>(high) > hi) {
    high = bisectOnto<kAxis, false>(low, high, hi);
    movedHigh = true;
  }
  movedStart = startIsLow ? movedLow : movedHigh;
  return true;
}

// Below this many rows a y-major edge is walked point by point.
constexpr std::int32_t kLaneEdgeRows = 4;

SpanLanes widestLanes() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("bmi2")) {
    return SpanLanes::Sixteen;
  }
  if (__builtin_cpu_supports("avx2")) return SpanLanes::Eight;
#endif
  return SpanLanes::One;
}

}  // namespace

// The widest lanes the CPU has by default: they measured faster on both the
// short spans of a dense mesh and the 3D view's longer ones (bench/, lanes
// 1, 8 and 16).
Rasterizer::Rasterizer() : spanLanes_(widestLanes()) {}

SpanLanes Rasterizer::useSpanLanes(SpanLanes wanted) {
  spanLanes_ = std::min(wanted, widestLanes());
  return spanLanes_;
}

void Rasterizer::setSize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  xMax_ = width_ - 1;
  yMax_ = height_ - 1;
  // Span counts reach the width; edge lengths after clipping the larger side.
  countDivider_.resize(std::max(width_, height_));
  if (spans_.rows() != height_) {
    spans_.resize(height_);
    spanTop_ = kSpanEmptyLeft;
    spanBottom_ = kSpanEmptyRight;
  }
}

void Rasterizer::bindTexture(const TextureView& texture) {
  texture_ = texture;
  // The lanes then compute row starts and fetch texels four bytes at a time.
  bool plain = texture.pixels != nullptr && texture.rowOffsets != nullptr && texture.width > 0 &&
               texture.height > 0 && static_cast<std::int64_t>(texture.width) * texture.height >= 4 &&
               static_cast<std::int64_t>(texture.width) * texture.height <= std::numeric_limits<std::int32_t>::max();
  for (int r = 0; plain && r < texture.height; ++r) plain = texture.rowOffsets[r] == r * texture.width;
  texturePitch_ = plain ? texture.width : 0;
}

void Rasterizer::clearPixels(std::uint8_t index) {
  if (pixelBuffer_ == nullptr) return;
  std::memset(pixelBuffer_, index, static_cast<std::size_t>(width_) * height_);
}

void Rasterizer::clearDepth(std::uint16_t value) {
  if (depthBuffer_ == nullptr) return;
  std::fill_n(depthBuffer_, static_cast<std::size_t>(width_) * height_, value);
}

void Rasterizer::clearPick(std::int32_t value) {
  if (pickBuffer_ == nullptr) return;
  std::fill_n(pickBuffer_, static_cast<std::size_t>(width_) * height_, value);
}

void Rasterizer::resetSpans() {
  spanTop_ = kSpanEmptyLeft;
  spanBottom_ = kSpanEmptyRight;
  spans_.clear();
}

template <int N>
int Rasterizer::clipPolygonX(Corners<N> corners,
                             std::span<ScreenVertex<N>, 2 * kMaxCorners + 1> out) {
  const int count = static_cast<int>(corners.size());
  assert(count <= kMaxCorners);
  if (count < 1 || count > kMaxCorners) return 0;
  int emitted = 0;
  for (int i = 0; i < count; ++i) {
    ScreenVertex<N> start = corners[i];
    ScreenVertex<N> end = corners[(i + 1) % count];
    if (!clipEdge<0>(start, end, xMax_, clipMovedStart_)) continue;
    if (clipMovedStart_) out[emitted++] = start;
    out[emitted++] = end;
  }
  if (emitted > 0) out[emitted++] = out[0];
  return emitted;
}

template <int N>
void Rasterizer::walkEdge(ScreenVertex<N> start, ScreenVertex<N> end) {
  int movedStart = 0;
  if (!clipEdge<1>(start, end, yMax_, movedStart)) return;
  spanTop_ = std::min({spanTop_, start.y, end.y});
  spanBottom_ = std::max({spanBottom_, start.y, end.y});
  traceEdge<N>(start, end);
}

// Records the Bresenham points of an edge already inside 0..yMax. An equal x
// never replaces a recorded extreme: the first point visited wins. A y-major
// edge has one point per row; an x-major edge visits each row in one run
// whose ends are its only candidates, so only they are compared.
template <int N>
void Rasterizer::traceEdge(const ScreenVertex<N>& start, const ScreenVertex<N>& end) {
  const std::int32_t dx = end.x - start.x;
  const std::int32_t dy = end.y - start.y;
  const std::int32_t sx = dx < 0 ? -1 : 1;
  const std::int32_t sy = dy < 0 ? -1 : 1;
  const std::int32_t adx = std::abs(dx);
  const std::int32_t ady = std::abs(dy);
  const bool yMajor = ady >= adx;
  const std::int32_t major = yMajor ? ady : adx;
  const std::int32_t minor = yMajor ? adx : ady;

  std::array<std::uint32_t, N> attr{};
  std::array<std::uint32_t, N> step{};
  for (int k = 0; k < N; ++k) attr[k] = static_cast<std::uint32_t>(start.attr[k]);
  if (major > 0) {
    const CountReciprocal reciprocal = countDivider_.reciprocal(major);
    for (int k = 0; k < N; ++k)
      step[k] = static_cast<std::uint32_t>(reciprocal.divide(wrappingSub(end.attr[k], start.attr[k])));
  }

  const SpanFields& rows = spans_.fields();
  auto record = [&rows](std::int32_t y, std::int32_t xLeft, const std::array<std::uint32_t, N>& attrLeft,
                        std::int32_t xRight, const std::array<std::uint32_t, N>& attrRight) {
    if (xLeft < rows.left[y]) {
      rows.left[y] = xLeft;
      for (int k = 0; k < N; ++k) rows.leftAttr[k][y] = static_cast<std::int32_t>(attrLeft[k]);
    }
    if (xRight > rows.right[y]) {
      rows.right[y] = xRight;
      for (int k = 0; k < N; ++k) rows.rightAttr[k][y] = static_cast<std::int32_t>(attrRight[k]);
    }
  };

#if PELT_EDGE_LANES_AVAILABLE
  if (spanLanes_ != SpanLanes::One && major < detail::kLaneEdgeLimit &&
      (yMajor ? major >= kLaneEdgeRows : minor > 0)) {
    const detail::LaneEdge<N> edge{start, sx, sy, major, minor, step};
    // A group of g rows moves a y-major edge's numerators by 2 g minor (a
    // multiple of 2 major plus a remainder), an x-major edge's by 2 g major
    // over 2 minor.
    const bool wide = spanLanes_ == SpanLanes::Sixteen;
    const std::int32_t groupRows = wide ? 16 : 8;
    const std::int32_t along = yMajor ? minor : major;
    const std::int32_t across = yMajor ? major : minor;
    const std::int32_t quotient = countDivider_.divide(groupRows * along, across);
    const std::int32_t remainder = 2 * groupRows * along - quotient * 2 * across;
    if (wide && yMajor) {
      detail::traceYMajorWideLanes<N>(rows, edge, quotient, remainder);
    } else if (wide) {
      detail::traceXMajorWideLanes<N>(rows, edge, quotient, remainder);
    } else if (yMajor) {
      detail::traceYMajorLanes<N>(rows, edge, quotient, remainder);
    } else {
      detail::traceXMajorLanes<N>(rows, edge, quotient, remainder);
    }
    return;
  }
#endif
  std::int32_t y = start.y;
  std::int32_t error = 2 * minor - major;
  if (yMajor) {
    std::int32_t x = start.x;
    for (std::int32_t i = 0; i <= major; ++i) {
      record(y, x, attr, x, attr);
      // The diagonal pattern defeats branch prediction, so step with masks.
      const std::int32_t diagonal = ~(error >> 31);
      error += 2 * minor - (2 * major & diagonal);
      y += sy;
      x += sx & diagonal;
      for (int k = 0; k < N; ++k) attr[k] += step[k];
    }
    return;
  }
  // Point i carries start + i * step, as i additions would in 32 bits.
  auto attrAt = [&](std::int32_t i) {
    std::array<std::uint32_t, N> a{};
    for (int k = 0; k < N; ++k) a[k] = static_cast<std::uint32_t>(start.attr[k]) + static_cast<std::uint32_t>(i) * step[k];
    return a;
  };
  std::int32_t i = 0;
  for (;;) {
    const std::int32_t first = i;
    // The next point stays on this row while the error is negative.
    while (i < major && error < 0) {
      error += 2 * minor;
      ++i;
    }
    const std::int32_t firstX = start.x + first * sx;
    const std::int32_t lastX = start.x + i * sx;
    if (sx > 0) {
      record(y, firstX, attrAt(first), lastX, attrAt(i));
    } else {
      record(y, lastX, attrAt(i), firstX, attrAt(first));
    }
    if (i == major) return;
    error += 2 * minor - 2 * major;
    ++i;
    y += sy;
  }
}

template <int N>
void Rasterizer::buildSpans(Corners<N> corners) {
  // An empty target has no rows to record into; its -1 bounds would also
  // pass the unsigned inside test below for every corner.
  if (width_ <= 0 || height_ <= 0) return;
  const int count = static_cast<int>(corners.size());
  // A polygon wholly inside needs no clipping: its edges are walked in the
  // order the clipper would emit them.
  bool inside = count >= 1 && count <= kMaxCorners;
  for (const ScreenVertex<N>& c : corners) {
    inside &= static_cast<std::uint32_t>(c.x) <= static_cast<std::uint32_t>(xMax_) &&
              static_cast<std::uint32_t>(c.y) <= static_cast<std::uint32_t>(yMax_);
  }
  if (inside) {
    clipMovedStart_ = 0;
    for (const ScreenVertex<N>& c : corners) {
      spanTop_ = std::min(spanTop_, c.y);
      spanBottom_ = std::max(spanBottom_, c.y);
    }
    for (int i = 1; i <= count; ++i) {
      traceEdge<N>(corners[i % count], corners[(i + 1) % count]);
    }
    return;
  }
  std::array<ScreenVertex<N>, 2 * kMaxCorners + 1> list;
  const int emitted = clipPolygonX<N>(corners, list);
  for (int i = 0; i + 1 < emitted; ++i) walkEdge<N>(list[i], list[i + 1]);
}

// The uncovered stretch from one span's end to the next span's start is one
// run in memory, so the whole complement takes one fill per row.
void Rasterizer::clearOutsideSpans(std::uint8_t pixel, bool clearPick, std::int32_t pick) {
  const SpanFields rows = spans_.fields();
  const auto pitch = static_cast<std::size_t>(width_);
  std::size_t cursor = 0;
  auto clearTo = [&](std::size_t end) {
    if (pixelBuffer_ != nullptr) std::memset(pixelBuffer_ + cursor, pixel, end - cursor);
    if (clearPick && pickBuffer_ != nullptr) std::fill(pickBuffer_ + cursor, pickBuffer_ + end, pick);
  };
  const std::int32_t top = std::max(spanTop_, 0);
  const std::int32_t bottom = std::min(spanBottom_, yMax_);
  for (std::int32_t y = top; y <= bottom; ++y) {
    if (rows.left[y] > rows.right[y]) continue;
    const std::size_t row = static_cast<std::size_t>(y) * pitch;
    clearTo(row + static_cast<std::size_t>(rows.left[y]));
    cursor = row + static_cast<std::size_t>(rows.right[y]) + 1;
  }
  clearTo(pitch * static_cast<std::size_t>(height_));
}

#define PELT_INSTANTIATE_SPANS(N)                                                          \
  template int Rasterizer::clipPolygonX<N>(Corners<N>,                                     \
                                           std::span<ScreenVertex<N>, 2 * kMaxCorners + 1>); \
  template void Rasterizer::buildSpans<N>(Corners<N>);
PELT_INSTANTIATE_SPANS(0)
PELT_INSTANTIATE_SPANS(1)
PELT_INSTANTIATE_SPANS(2)
PELT_INSTANTIATE_SPANS(3)
PELT_INSTANTIATE_SPANS(4)
PELT_INSTANTIATE_SPANS(5)
#undef PELT_INSTANTIATE_SPANS

namespace {

struct LinePoint {
  std::int64_t x;
  std::int64_t y;
};

// Moves a onto `limit` along the segment a-b (axis 0 = x), interpolating the
// other coordinate in 16.16 with a 64-bit intermediate.
template <int kAxis>
void clipLineEnd(LinePoint& moving, const LinePoint& other, std::int64_t limit) {
  std::int64_t& c = kAxis == 0 ? moving.x : moving.y;
  std::int64_t& o = kAxis == 0 ? moving.y : moving.x;
  const std::int64_t cOther = kAxis == 0 ? other.x : other.y;
  const std::int64_t oOther = kAxis == 0 ? other.y : other.x;
  const std::int64_t t = ((c > limit ? c - limit : limit - c) << 16) / std::abs(cOther - c);
  const std::int64_t shift = (t * (c < limit ? oOther - o : o - oOther)) >> 16;
  o = c < limit ? o + shift : o - shift;
  c = limit;
}

}  // namespace

bool Rasterizer::clipLine(ScreenLine& line) const {
  if (width_ <= 0 || height_ <= 0) return false;
  LinePoint a{line[0], line[1]};
  LinePoint b{line[2], line[3]};
  if (b.x < a.x) std::swap(a, b);
  const std::int64_t right = xMax_;
  if (a.x > right || b.x < 0) return false;
  if (a.x < 0) clipLineEnd<0>(a, b, 0);
  if (b.x > right) clipLineEnd<0>(b, a, right);

  if (b.y < a.y) std::swap(a, b);
  const std::int64_t bottom = yMax_;
  if (a.y > bottom || b.y < 0) return false;
  if (a.y < 0) clipLineEnd<1>(a, b, 0);
  if (b.y > bottom) clipLineEnd<1>(b, a, bottom);

  line = {static_cast<std::int32_t>(a.x), static_cast<std::int32_t>(a.y),
          static_cast<std::int32_t>(b.x), static_cast<std::int32_t>(b.y)};
  return true;
}

}  // namespace pelt
