#include "raster/rasterizer.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <utility>

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

}  // namespace

void Rasterizer::setSize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  xMax_ = width_ - 1;
  yMax_ = height_ - 1;
  // Span counts reach the width; edge lengths after clipping the larger side.
  countDivider_.resize(std::max(width_, height_));
  const auto rows = static_cast<std::size_t>(height_);
  if (spanLeft_.size() != rows) {
    spanLeft_.assign(rows, kSpanEmptyLeft);
    spanRight_.assign(rows, kSpanEmptyRight);
    leftAttr_.assign(rows * kMaxAttributes, 0);
    rightAttr_.assign(rows * kMaxAttributes, 0);
    spanTop_ = kSpanEmptyLeft;
    spanBottom_ = kSpanEmptyRight;
  }
}

void Rasterizer::clearPixels(std::uint8_t index) {
  std::memset(pixelBuffer_, index, static_cast<std::size_t>(width_) * height_);
}

void Rasterizer::clearDepth(std::uint16_t value) {
  std::fill_n(depthBuffer_, static_cast<std::size_t>(width_) * height_, value);
}

void Rasterizer::clearPick(std::int32_t value) {
  std::fill_n(pickBuffer_, static_cast<std::size_t>(width_) * height_, value);
}

void Rasterizer::resetSpans() {
  spanTop_ = kSpanEmptyLeft;
  spanBottom_ = kSpanEmptyRight;
  std::fill(spanLeft_.begin(), spanLeft_.end(), kSpanEmptyLeft);
  std::fill(spanRight_.begin(), spanRight_.end(), kSpanEmptyRight);
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

  const std::int32_t dx = end.x - start.x;
  const std::int32_t dy = end.y - start.y;
  const std::int32_t sx = dx < 0 ? -1 : 1;
  const std::int32_t sy = dy < 0 ? -1 : 1;
  const bool yMajor = std::abs(dy) >= std::abs(dx);
  const std::int32_t major = yMajor ? std::abs(dy) : std::abs(dx);
  const std::int32_t minor = yMajor ? std::abs(dx) : std::abs(dy);

  std::array<std::int32_t, N> attr = start.attr;
  std::array<std::int32_t, N> step{};
  if (major > 0) {
    for (int k = 0; k < N; ++k) step[k] = countDivider_.divide(wrappingSub(end.attr[k], start.attr[k]), major);
  }

  std::int32_t* const spanLeft = spanLeft_.data();
  std::int32_t* const spanRight = spanRight_.data();
  std::int32_t* const leftAttr = leftAttr_.data();
  std::int32_t* const rightAttr = rightAttr_.data();
  auto walk = [&]<bool kYMajor>() {
    std::int32_t x = start.x;
    std::int32_t y = start.y;
    std::int32_t error = 2 * minor - major;
    for (std::int32_t i = 0; i <= major; ++i) {
      const std::size_t row = static_cast<std::size_t>(y);
      // An equal x never replaces a recorded extreme: the first point visited wins.
      if (x < spanLeft[row]) {
        spanLeft[row] = x;
        std::copy_n(attr.begin(), N, leftAttr + row * kMaxAttributes);
      }
      if (x > spanRight[row]) {
        spanRight[row] = x;
        std::copy_n(attr.begin(), N, rightAttr + row * kMaxAttributes);
      }
      // Both coordinates step when error >= 0, else only the major one;
      // selected with masks since the pattern defeats branch prediction.
      const std::int32_t diagonal = ~(error >> 31);
      error += 2 * minor - (2 * major & diagonal);
      if constexpr (kYMajor) {
        y += sy;
        x += sx & diagonal;
      } else {
        x += sx;
        y += sy & diagonal;
      }
      for (int k = 0; k < N; ++k) {
        attr[k] = static_cast<std::int32_t>(static_cast<std::uint32_t>(attr[k]) +
                                            static_cast<std::uint32_t>(step[k]));
      }
    }
  };
  if (yMajor) {
    walk.template operator()<true>();
  } else {
    walk.template operator()<false>();
  }
}

template <int N>
void Rasterizer::buildSpans(Corners<N> corners) {
  std::array<ScreenVertex<N>, 2 * kMaxCorners + 1> list;
  const int count = clipPolygonX<N>(corners, list);
  for (int i = 0; i + 1 < count; ++i) walkEdge<N>(list[i], list[i + 1]);
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
