#pragma once
// Edges recorded eight rows at a time with AVX2, sixteen with AVX-512
// (masks instead of blends, half the groups on a typical edge). The error-term
// walk's points have closed forms: with M the major and m the minor extent,
// point i of a y-major edge lies floor((2 i m + M) / 2M) columns from the
// start, and the points of an x-major edge on its row j run from the one
// after the last of row j - 1 to min(floor((M (2j + 1) - 1) / 2m), M).
// Point i carries start + i * step like i 32-bit additions. An edge visits a
// row in one go, so its rows may be recorded in any order; a point replaces a
// row's extreme only when strictly beyond it, as in the walk. Groups start on
// rows that are multiples of their size, so repeated visits of a row meet the
// same aligned vectors.

#include <array>
#include <cstdint>

#include "raster/screen_vertex.h"
#include "raster/span_table.h"
#include "raster/wide_lanes.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PELT_EDGE_LANES_AVAILABLE 1
#else
#define PELT_EDGE_LANES_AVAILABLE 0
#endif

namespace pelt::detail {

#if PELT_EDGE_LANES_AVAILABLE

// The lanes' edges are at most this long, so numerators stay below 2^24 and
// float division gives exact floors (the first group's numerators are below
// 16 * 2^16 + 2^15 in either width).
inline constexpr std::int32_t kLaneEdgeLimit = 1 << 15;

// floor(numerator / divisor) and the remainder in eight lanes whose
// numerators all grow by the same amount per group; the quotient and
// remainder of that amount come from the caller.
struct QuotientLanes {
  __m256i quotient;
  __m256i remainder;
  __m256i quotientStride;
  __m256i remainderStride;
  __m256i divisor;
  __m256i carryAt;

  // |numerator| below 2^24 and divisor below 2^17: the float quotient then
  // never rounds across a whole number, so its floor is exact.
  [[gnu::target("avx2")]] QuotientLanes(__m256i numerator, std::int32_t d, std::int32_t strideQuotient,
                                        std::int32_t strideRemainder)
      : quotient(_mm256_cvttps_epi32(_mm256_floor_ps(
            _mm256_div_ps(_mm256_cvtepi32_ps(numerator), _mm256_set1_ps(static_cast<float>(d)))))),
        remainder(_mm256_sub_epi32(numerator, _mm256_mullo_epi32(quotient, _mm256_set1_epi32(d)))),
        quotientStride(_mm256_set1_epi32(strideQuotient)),
        remainderStride(_mm256_set1_epi32(strideRemainder)),
        divisor(_mm256_set1_epi32(d)),
        carryAt(_mm256_set1_epi32(d - 1)) {}

  [[gnu::target("avx2")]] void advance() {
    quotient = _mm256_add_epi32(quotient, quotientStride);
    remainder = _mm256_add_epi32(remainder, remainderStride);
    const __m256i carry = _mm256_cmpgt_epi32(remainder, carryAt);
    remainder = _mm256_sub_epi32(remainder, _mm256_and_si256(carry, divisor));
    quotient = _mm256_sub_epi32(quotient, carry);
  }
};

// Keeps `candidate` in the lanes where `take` is set.
[[gnu::target("avx2")]] inline void storeWhere(std::int32_t* at, __m256i take, __m256i candidate) {
  auto* p = reinterpret_cast<__m256i*>(at);
  _mm256_store_si256(p, _mm256_blendv_epi8(_mm256_load_si256(p), candidate, take));
}

// Records one group's candidates: left where strictly left of the row's
// extreme, right where strictly right, only in lanes that are on the edge.
template <int N>
[[gnu::target("avx2")]] inline void recordLanes(const SpanFields& rows, std::int32_t group, __m256i outside,
                                                __m256i xLeft, const __m256i* attrLeft, __m256i xRight,
                                                const __m256i* attrRight) {
  const __m256i left = _mm256_load_si256(reinterpret_cast<const __m256i*>(rows.left + group));
  const __m256i takeLeft = _mm256_andnot_si256(outside, _mm256_cmpgt_epi32(left, xLeft));
  _mm256_store_si256(reinterpret_cast<__m256i*>(rows.left + group), _mm256_blendv_epi8(left, xLeft, takeLeft));
  for (int k = 0; k < N; ++k) storeWhere(rows.leftAttr[k] + group, takeLeft, attrLeft[k]);

  const __m256i right = _mm256_load_si256(reinterpret_cast<const __m256i*>(rows.right + group));
  const __m256i takeRight = _mm256_andnot_si256(outside, _mm256_cmpgt_epi32(xRight, right));
  _mm256_store_si256(reinterpret_cast<__m256i*>(rows.right + group), _mm256_blendv_epi8(right, xRight, takeRight));
  for (int k = 0; k < N; ++k) storeWhere(rows.rightAttr[k] + group, takeRight, attrRight[k]);
}

// One edge's shape, as the walk sets it up.
template <int N>
struct LaneEdge {
  const ScreenVertex<N>& start;
  std::int32_t sx;
  std::int32_t sy;
  std::int32_t major;  // below kLaneEdgeLimit
  std::int32_t minor;
  const std::array<std::uint32_t, N>& step;
};

// Each lane's row number along the edge (0 at the start) in the group
// holding the start row: all within -7..7.
[[gnu::target("avx2")]] inline __m256i firstRowsAlong(std::int32_t startY, std::int32_t sy) {
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const std::int32_t first = (startY & ~7) - startY;
  return sy > 0 ? _mm256_add_epi32(_mm256_set1_epi32(first), lane) : _mm256_sub_epi32(_mm256_set1_epi32(-first), lane);
}

// start.x + sx * offset.
[[gnu::target("avx2")]] inline __m256i columnsAt(__m256i x0, __m256i sxMask, __m256i offset) {
  return _mm256_add_epi32(x0, _mm256_sub_epi32(_mm256_xor_si256(offset, sxMask), sxMask));
}

// Attributes at points `point`: start + point * step.
template <int N>
[[gnu::target("avx2")]] inline void attributesAt(const LaneEdge<N>& e, __m256i point, __m256i* out) {
  for (int k = 0; k < N; ++k) {
    out[k] = _mm256_add_epi32(_mm256_set1_epi32(e.start.attr[k]),
                              _mm256_mullo_epi32(point, _mm256_set1_epi32(static_cast<std::int32_t>(e.step[k]))));
  }
}

// A y-major edge with at least one step; groupQuotient and groupRemainder
// split 16 minor by 2 major.
template <int N>
[[gnu::target("avx2")]] void traceYMajorLanes(const SpanFields& rows, const LaneEdge<N>& e,
                                              std::int32_t groupQuotient, std::int32_t groupRemainder) {
  __m256i point = firstRowsAlong(e.start.y, e.sy);
  QuotientLanes offset(_mm256_add_epi32(_mm256_mullo_epi32(point, _mm256_set1_epi32(2 * e.minor)),
                                        _mm256_set1_epi32(e.major)),
                       2 * e.major, groupQuotient, groupRemainder);
  __m256i attr[N > 0 ? N : 1];
  __m256i attrStride[N > 0 ? N : 1];
  attributesAt(e, point, attr);
  for (int k = 0; k < N; ++k) attrStride[k] = _mm256_set1_epi32(static_cast<std::int32_t>(e.step[k] << 3));
  const __m256i x0 = _mm256_set1_epi32(e.start.x);
  const __m256i sxMask = _mm256_set1_epi32(e.sx >> 31);
  const __m256i last = _mm256_set1_epi32(e.major);
  const __m256i eight = _mm256_set1_epi32(8);

  std::int32_t group = e.start.y & ~7;
  const std::int32_t lowestFirst = (group - e.start.y) * e.sy - (e.sy < 0 ? 7 : 0);
  for (std::int32_t lowest = lowestFirst; lowest <= e.major; lowest += 8, group += 8 * e.sy) {
    const __m256i outside =
        _mm256_or_si256(_mm256_cmpgt_epi32(_mm256_setzero_si256(), point), _mm256_cmpgt_epi32(point, last));
    const __m256i x = columnsAt(x0, sxMask, offset.quotient);
    recordLanes<N>(rows, group, outside, x, attr, x, attr);
    point = _mm256_add_epi32(point, eight);
    offset.advance();
    for (int k = 0; k < N; ++k) attr[k] = _mm256_add_epi32(attr[k], attrStride[k]);
  }
}

// An x-major edge over at least two rows; groupQuotient and groupRemainder
// split 16 major by 2 minor.
template <int N>
[[gnu::target("avx2")]] void traceXMajorLanes(const SpanFields& rows, const LaneEdge<N>& e,
                                              std::int32_t groupQuotient, std::int32_t groupRemainder) {
  __m256i row = firstRowsAlong(e.start.y, e.sy);
  const __m256i twoRowsMajor = _mm256_mullo_epi32(row, _mm256_set1_epi32(2 * e.major));
  // The last point of row j, and of row j - 1 (the one before the first).
  QuotientLanes lastPoint(_mm256_add_epi32(twoRowsMajor, _mm256_set1_epi32(e.major - 1)), 2 * e.minor,
                          groupQuotient, groupRemainder);
  QuotientLanes beforeFirst(_mm256_sub_epi32(twoRowsMajor, _mm256_set1_epi32(e.major + 1)), 2 * e.minor,
                            groupQuotient, groupRemainder);
  const __m256i x0 = _mm256_set1_epi32(e.start.x);
  const __m256i sxMask = _mm256_set1_epi32(e.sx >> 31);
  const __m256i lastRow = _mm256_set1_epi32(e.minor);
  const __m256i end = _mm256_set1_epi32(e.major);
  const __m256i one = _mm256_set1_epi32(1);
  const __m256i eight = _mm256_set1_epi32(8);
  const bool rightward = e.sx > 0;

  std::int32_t group = e.start.y & ~7;
  const std::int32_t lowestFirst = (group - e.start.y) * e.sy - (e.sy < 0 ? 7 : 0);
  for (std::int32_t lowest = lowestFirst; lowest <= e.minor; lowest += 8, group += 8 * e.sy) {
    const __m256i outside =
        _mm256_or_si256(_mm256_cmpgt_epi32(_mm256_setzero_si256(), row), _mm256_cmpgt_epi32(row, lastRow));
    const __m256i first = _mm256_max_epi32(_mm256_add_epi32(beforeFirst.quotient, one), _mm256_setzero_si256());
    const __m256i last = _mm256_min_epi32(lastPoint.quotient, end);
    __m256i attrFirst[N > 0 ? N : 1];
    __m256i attrLast[N > 0 ? N : 1];
    attributesAt(e, first, attrFirst);
    attributesAt(e, last, attrLast);
    const __m256i xFirst = columnsAt(x0, sxMask, first);
    const __m256i xLast = columnsAt(x0, sxMask, last);
    if (rightward) {
      recordLanes<N>(rows, group, outside, xFirst, attrFirst, xLast, attrLast);
    } else {
      recordLanes<N>(rows, group, outside, xLast, attrLast, xFirst, attrFirst);
    }
    row = _mm256_add_epi32(row, eight);
    lastPoint.advance();
    beforeFirst.advance();
  }
}

// The same walk sixteen rows at a time.
PELT_WIDE_LANES_BEGIN

struct QuotientWideLanes {
  __m512i quotient;
  __m512i remainder;
  __m512i quotientStride;
  __m512i remainderStride;
  __m512i divisor;
  __m512i carryAt;

  [[PELT_WIDE_LANES_TARGET]] QuotientWideLanes(__m512i numerator, std::int32_t d, std::int32_t strideQuotient,
                                               std::int32_t strideRemainder)
      : quotient(_mm512_cvttps_epi32(
            _mm512_roundscale_ps(_mm512_div_ps(_mm512_cvtepi32_ps(numerator), _mm512_set1_ps(static_cast<float>(d))),
                                 _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC))),
        remainder(_mm512_sub_epi32(numerator, _mm512_mullo_epi32(quotient, _mm512_set1_epi32(d)))),
        quotientStride(_mm512_set1_epi32(strideQuotient)),
        remainderStride(_mm512_set1_epi32(strideRemainder)),
        divisor(_mm512_set1_epi32(d)),
        carryAt(_mm512_set1_epi32(d - 1)) {}

  [[PELT_WIDE_LANES_TARGET]] void advance() {
    quotient = _mm512_add_epi32(quotient, quotientStride);
    remainder = _mm512_add_epi32(remainder, remainderStride);
    const __mmask16 carry = _mm512_cmpgt_epi32_mask(remainder, carryAt);
    remainder = _mm512_mask_sub_epi32(remainder, carry, remainder, divisor);
    quotient = _mm512_mask_add_epi32(quotient, carry, quotient, _mm512_set1_epi32(1));
  }
};

// The extremes are blended and stored whole, since the next edge loads them
// at once; the attributes, read only when the rows are prepared, are stored
// under the mask.
template <int N>
[[PELT_WIDE_LANES_TARGET]] inline void recordWideLanes(const SpanFields& rows, std::int32_t group, __mmask16 onEdge,
                                                       __m512i xLeft, const __m512i* attrLeft, __m512i xRight,
                                                       const __m512i* attrRight) {
  const __m512i left = _mm512_load_si512(rows.left + group);
  const __mmask16 takeLeft = _mm512_mask_cmpgt_epi32_mask(onEdge, left, xLeft);
  _mm512_store_si512(rows.left + group, _mm512_mask_blend_epi32(takeLeft, left, xLeft));
  for (int k = 0; k < N; ++k) _mm512_mask_store_epi32(rows.leftAttr[k] + group, takeLeft, attrLeft[k]);

  const __m512i right = _mm512_load_si512(rows.right + group);
  const __mmask16 takeRight = _mm512_mask_cmpgt_epi32_mask(onEdge, xRight, right);
  _mm512_store_si512(rows.right + group, _mm512_mask_blend_epi32(takeRight, right, xRight));
  for (int k = 0; k < N; ++k) _mm512_mask_store_epi32(rows.rightAttr[k] + group, takeRight, attrRight[k]);
}

[[PELT_WIDE_LANES_TARGET]] inline __m512i firstRowsAlongWide(std::int32_t startY, std::int32_t sy) {
  const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const std::int32_t first = (startY & ~15) - startY;
  return sy > 0 ? _mm512_add_epi32(_mm512_set1_epi32(first), lane) : _mm512_sub_epi32(_mm512_set1_epi32(-first), lane);
}

[[PELT_WIDE_LANES_TARGET]] inline __m512i columnsAtWide(__m512i x0, __m512i sxMask, __m512i offset) {
  return _mm512_add_epi32(x0, _mm512_sub_epi32(_mm512_xor_si512(offset, sxMask), sxMask));
}

template <int N>
[[PELT_WIDE_LANES_TARGET]] inline void attributesAtWide(const LaneEdge<N>& e, __m512i point, __m512i* out) {
  for (int k = 0; k < N; ++k) {
    out[k] = _mm512_add_epi32(_mm512_set1_epi32(e.start.attr[k]),
                              _mm512_mullo_epi32(point, _mm512_set1_epi32(static_cast<std::int32_t>(e.step[k]))));
  }
}

// Lanes whose point or row number lies within 0..last.
[[PELT_WIDE_LANES_TARGET]] inline __mmask16 withinWide(__m512i along, __m512i last) {
  return _mm512_cmpge_epi32_mask(along, _mm512_setzero_si512()) & _mm512_cmple_epi32_mask(along, last);
}

// groupQuotient and groupRemainder split 32 minor by 2 major.
template <int N>
[[PELT_WIDE_LANES_TARGET]] void traceYMajorWideLanes(const SpanFields& rows, const LaneEdge<N>& e,
                                                     std::int32_t groupQuotient, std::int32_t groupRemainder) {
  __m512i point = firstRowsAlongWide(e.start.y, e.sy);
  QuotientWideLanes offset(_mm512_add_epi32(_mm512_mullo_epi32(point, _mm512_set1_epi32(2 * e.minor)),
                                            _mm512_set1_epi32(e.major)),
                           2 * e.major, groupQuotient, groupRemainder);
  __m512i attr[N > 0 ? N : 1];
  __m512i attrStride[N > 0 ? N : 1];
  attributesAtWide(e, point, attr);
  for (int k = 0; k < N; ++k) attrStride[k] = _mm512_set1_epi32(static_cast<std::int32_t>(e.step[k] << 4));
  const __m512i x0 = _mm512_set1_epi32(e.start.x);
  const __m512i sxMask = _mm512_set1_epi32(e.sx >> 31);
  const __m512i last = _mm512_set1_epi32(e.major);
  const __m512i sixteen = _mm512_set1_epi32(16);

  std::int32_t group = e.start.y & ~15;
  const std::int32_t lowestFirst = (group - e.start.y) * e.sy - (e.sy < 0 ? 15 : 0);
  for (std::int32_t lowest = lowestFirst; lowest <= e.major; lowest += 16, group += 16 * e.sy) {
    const __m512i x = columnsAtWide(x0, sxMask, offset.quotient);
    recordWideLanes<N>(rows, group, withinWide(point, last), x, attr, x, attr);
    point = _mm512_add_epi32(point, sixteen);
    offset.advance();
    for (int k = 0; k < N; ++k) attr[k] = _mm512_add_epi32(attr[k], attrStride[k]);
  }
}

// groupQuotient and groupRemainder split 32 major by 2 minor.
template <int N>
[[PELT_WIDE_LANES_TARGET]] void traceXMajorWideLanes(const SpanFields& rows, const LaneEdge<N>& e,
                                                     std::int32_t groupQuotient, std::int32_t groupRemainder) {
  __m512i row = firstRowsAlongWide(e.start.y, e.sy);
  const __m512i twoRowsMajor = _mm512_mullo_epi32(row, _mm512_set1_epi32(2 * e.major));
  QuotientWideLanes lastPoint(_mm512_add_epi32(twoRowsMajor, _mm512_set1_epi32(e.major - 1)), 2 * e.minor,
                              groupQuotient, groupRemainder);
  QuotientWideLanes beforeFirst(_mm512_sub_epi32(twoRowsMajor, _mm512_set1_epi32(e.major + 1)), 2 * e.minor,
                                groupQuotient, groupRemainder);
  const __m512i x0 = _mm512_set1_epi32(e.start.x);
  const __m512i sxMask = _mm512_set1_epi32(e.sx >> 31);
  const __m512i lastRow = _mm512_set1_epi32(e.minor);
  const __m512i end = _mm512_set1_epi32(e.major);
  const __m512i one = _mm512_set1_epi32(1);
  const __m512i sixteen = _mm512_set1_epi32(16);
  const bool rightward = e.sx > 0;

  std::int32_t group = e.start.y & ~15;
  const std::int32_t lowestFirst = (group - e.start.y) * e.sy - (e.sy < 0 ? 15 : 0);
  for (std::int32_t lowest = lowestFirst; lowest <= e.minor; lowest += 16, group += 16 * e.sy) {
    const __mmask16 onEdge = withinWide(row, lastRow);
    const __m512i first = _mm512_max_epi32(_mm512_add_epi32(beforeFirst.quotient, one), _mm512_setzero_si512());
    const __m512i last = _mm512_min_epi32(lastPoint.quotient, end);
    __m512i attrFirst[N > 0 ? N : 1];
    __m512i attrLast[N > 0 ? N : 1];
    attributesAtWide(e, first, attrFirst);
    attributesAtWide(e, last, attrLast);
    const __m512i xFirst = columnsAtWide(x0, sxMask, first);
    const __m512i xLast = columnsAtWide(x0, sxMask, last);
    if (rightward) {
      recordWideLanes<N>(rows, group, onEdge, xFirst, attrFirst, xLast, attrLast);
    } else {
      recordWideLanes<N>(rows, group, onEdge, xLast, attrLast, xFirst, attrFirst);
    }
    row = _mm512_add_epi32(row, sixteen);
    lastPoint.advance();
    beforeFirst.advance();
  }
}

PELT_WIDE_LANES_END

#endif

}  // namespace pelt::detail
