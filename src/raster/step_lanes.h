#pragma once
// The lane fillers' per-row set-up for eight rows at once with AVX2, sixteen
// with AVX-512. Each row's steps (every attribute's delta divided by the pixel count
// exactly as CountReciprocal divides, zero for a one-pixel span) replace its
// right attributes, and its depth start in whole units replaces the left
// depth; the left attributes are already the start values. The row's left
// end and pixel count (0 when nothing was recorded) go to the last, unused
// attribute field, and the row is emptied with the same wide stores the edge
// lanes load, so the next polygon's loads find them whole.

#include <cstdint>

#include "raster/count_divider.h"
#include "raster/span_table.h"
#include "raster/wide_lanes.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace pelt::detail {

inline constexpr int kPreparedField = kMaxAttributes - 1;

// sign(dividend) * (|dividend| * magic >> shift) in each lane, as
// CountReciprocal::divide computes it; the shifts come split into the even and
// odd lanes' 64-bit halves.
[[gnu::target("avx2")]] inline __m256i divideLanes(__m256i dividend, __m256i magic, __m256i shiftEven,
                                                   __m256i shiftOdd) {
  const __m256i magnitude = _mm256_abs_epi32(dividend);
  const __m256i even = _mm256_srlv_epi64(_mm256_mul_epu32(magnitude, magic), shiftEven);
  const __m256i odd = _mm256_srlv_epi64(
      _mm256_mul_epu32(_mm256_srli_epi64(magnitude, 32), _mm256_srli_epi64(magic, 32)), shiftOdd);
  return _mm256_sign_epi32(_mm256_blend_epi32(even, _mm256_slli_epi64(odd, 32), 0xAA), dividend);
}

// N attributes, the depth last; the first two get half a texel added to
// their deltas when kRoundedUv.
template <int N, bool kRoundedUv>
[[gnu::target("avx2")]] void prepareRowsInLanes(const SpanFields& rows, std::int32_t top, std::int32_t bottom,
                                                const CountDivider& divider) {
  static_assert(N >= 1 && N <= kPreparedField, "the depth comes last, before the prepared field");
  const __m256i one = _mm256_set1_epi32(1);
  const __m256i largest = _mm256_set1_epi32(divider.maxCount());
  const __m256i low32 = _mm256_set1_epi64x(0xFFFFFFFF);
  const auto* magics = reinterpret_cast<const int*>(divider.magics());
  const auto* shifts = reinterpret_cast<const int*>(divider.shifts());
  auto at = [](std::int32_t* field, std::int32_t row) { return reinterpret_cast<__m256i*>(field + row); };

  const __m256i emptyLeft = _mm256_set1_epi32(kSpanEmptyLeft);
  const __m256i emptyRight = _mm256_set1_epi32(kSpanEmptyRight);
  for (std::int32_t g = top & ~7; g <= bottom; g += 8) {
    const __m256i leftEnd = _mm256_load_si256(at(rows.left, g));
    const __m256i rightEnd = _mm256_load_si256(at(rows.right, g));
    _mm256_store_si256(at(rows.left, g), emptyLeft);
    _mm256_store_si256(at(rows.right, g), emptyRight);
    const __m256i count = _mm256_andnot_si256(_mm256_cmpgt_epi32(leftEnd, rightEnd),
                                              _mm256_add_epi32(_mm256_sub_epi32(rightEnd, leftEnd), one));
    _mm256_store_si256(at(rows.leftAttr[kPreparedField], g), leftEnd);
    _mm256_store_si256(at(rows.rightAttr[kPreparedField], g), count);
    const __m256i several = _mm256_cmpgt_epi32(count, one);
    const __m256i index = _mm256_min_epi32(_mm256_max_epi32(count, one), largest);
    const __m256i magic = _mm256_i32gather_epi32(magics, index, 4);
    const __m256i shift = _mm256_i32gather_epi32(shifts, index, 4);
    const __m256i shiftEven = _mm256_and_si256(shift, low32);
    const __m256i shiftOdd = _mm256_srli_epi64(shift, 32);
    for (int k = 0; k < N - 1; ++k) {
      __m256i delta = _mm256_sub_epi32(_mm256_load_si256(at(rows.rightAttr[k], g)),
                                       _mm256_load_si256(at(rows.leftAttr[k], g)));
      if (kRoundedUv && k < 2) delta = _mm256_add_epi32(delta, _mm256_set1_epi32(kFixedHalf));
      _mm256_store_si256(at(rows.rightAttr[k], g),
                         _mm256_and_si256(divideLanes(delta, magic, shiftEven, shiftOdd), several));
    }
    const __m256i nearDepth = _mm256_srai_epi32(_mm256_load_si256(at(rows.leftAttr[N - 1], g)), kFixedShift);
    const __m256i farDepth = _mm256_srai_epi32(_mm256_load_si256(at(rows.rightAttr[N - 1], g)), kFixedShift);
    _mm256_store_si256(at(rows.leftAttr[N - 1], g), nearDepth);
    _mm256_store_si256(at(rows.rightAttr[N - 1], g),
                       _mm256_and_si256(divideLanes(_mm256_sub_epi32(farDepth, nearDepth), magic, shiftEven, shiftOdd),
                                        several));
  }
}

PELT_WIDE_LANES_BEGIN

[[PELT_WIDE_LANES_TARGET]] inline __m512i divideWideLanes(__m512i dividend, __m512i magic, __m512i shiftEven,
                                                          __m512i shiftOdd) {
  const __m512i magnitude = _mm512_abs_epi32(dividend);
  const __m512i even = _mm512_srlv_epi64(_mm512_mul_epu32(magnitude, magic), shiftEven);
  const __m512i odd = _mm512_srlv_epi64(
      _mm512_mul_epu32(_mm512_srli_epi64(magnitude, 32), _mm512_srli_epi64(magic, 32)), shiftOdd);
  const __m512i quotient = _mm512_mask_blend_epi32(0xAAAA, even, _mm512_slli_epi64(odd, 32));
  const __mmask16 negative = _mm512_cmplt_epi32_mask(dividend, _mm512_setzero_si512());
  return _mm512_mask_sub_epi32(quotient, negative, _mm512_setzero_si512(), quotient);
}

// prepareRowsInLanes sixteen rows at a time.
template <int N, bool kRoundedUv>
[[PELT_WIDE_LANES_TARGET]] void prepareRowsInWideLanes(const SpanFields& rows, std::int32_t top, std::int32_t bottom,
                                                       const CountDivider& divider) {
  static_assert(N >= 1 && N <= kPreparedField, "the depth comes last, before the prepared field");
  const __m512i one = _mm512_set1_epi32(1);
  const __m512i largest = _mm512_set1_epi32(divider.maxCount());
  const __m512i low32 = _mm512_set1_epi64(0xFFFFFFFF);
  const auto* magics = reinterpret_cast<const int*>(divider.magics());
  const auto* shifts = reinterpret_cast<const int*>(divider.shifts());
  const __m512i emptyLeft = _mm512_set1_epi32(kSpanEmptyLeft);
  const __m512i emptyRight = _mm512_set1_epi32(kSpanEmptyRight);
  for (std::int32_t g = top & ~15; g <= bottom; g += 16) {
    const __m512i leftEnd = _mm512_load_si512(rows.left + g);
    const __m512i rightEnd = _mm512_load_si512(rows.right + g);
    _mm512_store_si512(rows.left + g, emptyLeft);
    _mm512_store_si512(rows.right + g, emptyRight);
    const __m512i count =
        _mm512_maskz_add_epi32(_mm512_cmple_epi32_mask(leftEnd, rightEnd), _mm512_sub_epi32(rightEnd, leftEnd), one);
    _mm512_store_si512(rows.leftAttr[kPreparedField] + g, leftEnd);
    _mm512_store_si512(rows.rightAttr[kPreparedField] + g, count);
    const __mmask16 several = _mm512_cmpgt_epi32_mask(count, one);
    const __m512i index = _mm512_min_epi32(_mm512_max_epi32(count, one), largest);
    const __m512i magic = _mm512_i32gather_epi32(index, magics, 4);
    const __m512i shift = _mm512_i32gather_epi32(index, shifts, 4);
    const __m512i shiftEven = _mm512_and_si512(shift, low32);
    const __m512i shiftOdd = _mm512_srli_epi64(shift, 32);
    for (int k = 0; k < N - 1; ++k) {
      __m512i delta =
          _mm512_sub_epi32(_mm512_load_si512(rows.rightAttr[k] + g), _mm512_load_si512(rows.leftAttr[k] + g));
      if (kRoundedUv && k < 2) delta = _mm512_add_epi32(delta, _mm512_set1_epi32(kFixedHalf));
      _mm512_store_si512(rows.rightAttr[k] + g,
                         _mm512_maskz_mov_epi32(several, divideWideLanes(delta, magic, shiftEven, shiftOdd)));
    }
    const __m512i nearDepth = _mm512_srai_epi32(_mm512_load_si512(rows.leftAttr[N - 1] + g), kFixedShift);
    const __m512i farDepth = _mm512_srai_epi32(_mm512_load_si512(rows.rightAttr[N - 1] + g), kFixedShift);
    _mm512_store_si512(rows.leftAttr[N - 1] + g, nearDepth);
    const __m512i depthStep = divideWideLanes(_mm512_sub_epi32(farDepth, nearDepth), magic, shiftEven, shiftOdd);
    _mm512_store_si512(rows.rightAttr[N - 1] + g, _mm512_maskz_mov_epi32(several, depthStep));
  }
}

PELT_WIDE_LANES_END

}  // namespace pelt::detail

#endif
