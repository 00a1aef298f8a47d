#pragma once
// A y-major edge recorded eight rows at a time, for CPUs with AVX2. Point i
// of such an edge lies at start.x + sx * floor((2 i minor + major) /
// (2 major)), exactly where the error-term walk puts it, and carries start +
// i * step like i 32-bit additions. Each edge visits a row once, so the
// points of one edge may be recorded in any order; a point replaces a row's
// extreme only when strictly beyond it, as in the walk. Groups start on rows
// that are multiples of eight, so repeated visits of a row meet the same
// aligned vectors.

#include <array>
#include <cstdint>

#include "raster/screen_vertex.h"
#include "raster/span_table.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PELT_EDGE_LANES_AVAILABLE 1
#else
#define PELT_EDGE_LANES_AVAILABLE 0
#endif

namespace pelt::detail {

#if PELT_EDGE_LANES_AVAILABLE

// Keeps `candidate` in the lanes where `take` is set.
[[gnu::target("avx2")]] inline void storeWhere(std::int32_t* at, __m256i take, __m256i candidate) {
  auto* p = reinterpret_cast<__m256i*>(at);
  _mm256_store_si256(p, _mm256_blendv_epi8(_mm256_load_si256(p), candidate, take));
}

// The edge runs from `start` over `major` rows in direction sy (major below
// 2^15) and `minor` columns in direction sx; `step` is each attribute's step
// per point. groupQuotient and groupRemainder split 16 minor by 2 major.
template <int N>
[[gnu::target("avx2")]] void traceYMajorLanes(const SpanFields& rows, const ScreenVertex<N>& start, std::int32_t sx,
                                              std::int32_t sy, std::int32_t major, std::int32_t minor,
                                              const std::array<std::uint32_t, N>& step, std::int32_t groupQuotient,
                                              std::int32_t groupRemainder) {
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  std::int32_t group = start.y & ~7;
  const std::int32_t first = group - start.y;
  // The lanes' point numbers, all within -7..7 to begin with.
  __m256i point = sy > 0 ? _mm256_add_epi32(_mm256_set1_epi32(first), lane)
                         : _mm256_sub_epi32(_mm256_set1_epi32(-first), lane);
  const __m256i twoMajor = _mm256_set1_epi32(2 * major);
  // With |numerator| below 2^24 and the divisor below 2^16 the float quotient
  // never rounds across a whole number, so its floor is exact.
  const __m256i numerator =
      _mm256_add_epi32(_mm256_mullo_epi32(point, _mm256_set1_epi32(2 * minor)), _mm256_set1_epi32(major));
  __m256i quotient = _mm256_cvttps_epi32(_mm256_floor_ps(
      _mm256_div_ps(_mm256_cvtepi32_ps(numerator), _mm256_set1_ps(static_cast<float>(2 * major)))));
  __m256i remainder = _mm256_sub_epi32(numerator, _mm256_mullo_epi32(quotient, twoMajor));

  __m256i attr[N > 0 ? N : 1];
  __m256i attrStride[N > 0 ? N : 1];
  for (int k = 0; k < N; ++k) {
    const __m256i s = _mm256_set1_epi32(static_cast<std::int32_t>(step[k]));
    attr[k] = _mm256_add_epi32(_mm256_set1_epi32(start.attr[k]), _mm256_mullo_epi32(point, s));
    attrStride[k] = _mm256_slli_epi32(s, 3);
  }
  const __m256i x0 = _mm256_set1_epi32(start.x);
  const __m256i last = _mm256_set1_epi32(major);
  const __m256i eight = _mm256_set1_epi32(8);
  const __m256i carryAt = _mm256_set1_epi32(2 * major - 1);
  const __m256i quotientStride = _mm256_set1_epi32(groupQuotient);
  const __m256i remainderStride = _mm256_set1_epi32(groupRemainder);

  for (std::int32_t lowest = sy > 0 ? first : -first - 7; lowest <= major; lowest += 8, group += 8 * sy) {
    const __m256i outside =
        _mm256_or_si256(_mm256_cmpgt_epi32(_mm256_setzero_si256(), point), _mm256_cmpgt_epi32(point, last));
    const __m256i x = sx > 0 ? _mm256_add_epi32(x0, quotient) : _mm256_sub_epi32(x0, quotient);

    const __m256i left = _mm256_load_si256(reinterpret_cast<const __m256i*>(rows.left + group));
    const __m256i takeLeft = _mm256_andnot_si256(outside, _mm256_cmpgt_epi32(left, x));
    _mm256_store_si256(reinterpret_cast<__m256i*>(rows.left + group), _mm256_blendv_epi8(left, x, takeLeft));
    for (int k = 0; k < N; ++k) storeWhere(rows.leftAttr[k] + group, takeLeft, attr[k]);

    const __m256i right = _mm256_load_si256(reinterpret_cast<const __m256i*>(rows.right + group));
    const __m256i takeRight = _mm256_andnot_si256(outside, _mm256_cmpgt_epi32(x, right));
    _mm256_store_si256(reinterpret_cast<__m256i*>(rows.right + group), _mm256_blendv_epi8(right, x, takeRight));
    for (int k = 0; k < N; ++k) storeWhere(rows.rightAttr[k] + group, takeRight, attr[k]);

    point = _mm256_add_epi32(point, eight);
    quotient = _mm256_add_epi32(quotient, quotientStride);
    remainder = _mm256_add_epi32(remainder, remainderStride);
    const __m256i carry = _mm256_cmpgt_epi32(remainder, carryAt);
    remainder = _mm256_sub_epi32(remainder, _mm256_and_si256(carry, twoMajor));
    quotient = _mm256_sub_epi32(quotient, carry);
    for (int k = 0; k < N; ++k) attr[k] = _mm256_add_epi32(attr[k], attrStride[k]);
  }
}

#endif

}  // namespace pelt::detail
