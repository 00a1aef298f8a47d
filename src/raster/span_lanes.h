#pragma once
// Eight pixels of a depth-tested texture span at once with AVX2, sixteen with
// AVX-512. Every lane computes exactly what the plain loop would at its pixel: the
// attributes are start + lane * step with the same 32-bit wrap-around, the
// depth compare is the same unsigned 16-bit less-than, and only drawn lanes
// change the buffers. A lane not drawn reads texel 0, so no read can leave
// the texture.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "raster/pixel_shades.h"
#include "raster/rasterizer.h"
#include "raster/wide_lanes.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PELT_LANES_AVAILABLE 1
#else
#define PELT_LANES_AVAILABLE 0
#endif

namespace pelt::detail {

// Which shades have a lane form, and the per-lane table read each needs past
// the texel: `extra` is computed for all lanes (no memory is touched), `pixel`
// reads for every lane, at texel and extra 0 for a lane not drawn.
template <class Shade>
struct LaneShade {
  static constexpr bool kEnabled = false;
};

#if PELT_LANES_AVAILABLE

// Depth-tests eight lanes (lanes past the span's end count as hidden), keeps
// the new depth where a lane shows and returns that mask.
[[gnu::target("avx2")]] inline __m128i depthTestLanes(__m128i z, std::uint16_t* depthAt, std::int32_t left,
                                                      __m128i lane16) {
  const __m128i inside = _mm_cmpgt_epi16(_mm_set1_epi16(static_cast<std::int16_t>(std::min(left, 8))), lane16);
  const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(depthAt));
  // z < old unsigned exactly when z is not the larger of the two.
  const __m128i hidden = _mm_cmpeq_epi16(_mm_max_epu16(z, old), z);
  const __m128i show16 = _mm_andnot_si128(hidden, inside);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(depthAt), _mm_blendv_epi8(old, z, show16));
  return show16;
}

template <>
struct LaneShade<shades::Texture> {
  static constexpr bool kEnabled = true;
  [[gnu::target("avx2")]] static __m256i extra(const __m256i*) { return _mm256_setzero_si256(); }
  static std::uint8_t pixel(const shades::Texture& s, std::uint32_t texel, std::uint32_t) {
    return s.pixels[texel];
  }
};

// The lit texture shades stay on the plain loop: with their second table
// read per lane the lanes measured slower there (bench/, lanes:1 against
// lanes:8).

// A whole span in groups of eight, the last one with its lanes past the end
// switched off. No lane branches: a hidden lane (or one past the end) reads
// texel 0 and its row table entry not at all, and the old depth and pixel
// bytes are blended back over it. The group reads and rewrites up to seven
// entries past the span, so the caller keeps it off the buffers' ends.
template <int kShaded, PickWrite kPick, class Shade>
[[gnu::target("avx2")]] inline void plotLanes(const Shade& shade, std::uint8_t* __restrict pixel,
                                              std::uint16_t* __restrict depthAt, std::int32_t* __restrict pickAt,
                                              std::int32_t count, const std::array<std::int32_t, kShaded + 1>& value,
                                              const std::array<std::int32_t, kShaded + 1>& step, std::int32_t depth,
                                              std::int32_t depthStep, std::int32_t id) {
  using Lanes = LaneShade<Shade>;
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m128i lane16 = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
  __m256i attr[kShaded];
  __m256i attrStride[kShaded];
  for (int k = 0; k < kShaded; ++k) {
    const __m256i s = _mm256_set1_epi32(step[k]);
    attr[k] = _mm256_add_epi32(_mm256_set1_epi32(value[k]), _mm256_mullo_epi32(lane, s));
    attrStride[k] = _mm256_slli_epi32(s, 3);
  }
  // Only the low 16 bits of the depth are ever compared or stored.
  const __m128i zStep = _mm_set1_epi16(static_cast<std::int16_t>(depthStep));
  __m128i z = _mm_add_epi16(_mm_set1_epi16(static_cast<std::int16_t>(depth)), _mm_mullo_epi16(lane16, zStep));
  const __m128i zStride = _mm_slli_epi16(zStep, 3);
  [[maybe_unused]] const __m256i id8 = _mm256_set1_epi32(id);
  const auto* rowOffsets = reinterpret_cast<const int*>(shade.rowOffsets);

  for (std::int32_t i = 0; i < count; i += 8) {
    const __m128i show16 = depthTestLanes(z, depthAt + i, count - i, lane16);
    const __m256i show = _mm256_cvtepi16_epi32(show16);
    const __m256i row = _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), rowOffsets,
                                                    _mm256_srli_epi32(attr[1], kFixedShift), show, 4);
    const __m256i texel = _mm256_and_si256(_mm256_add_epi32(row, _mm256_srli_epi32(attr[0], kFixedShift)), show);
    alignas(32) std::uint32_t texels[8];
    alignas(32) std::uint32_t extras[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(texels), texel);
    _mm256_store_si256(reinterpret_cast<__m256i*>(extras), _mm256_and_si256(Lanes::extra(attr), show));
    std::uint64_t bytes = 0;
    for (int l = 0; l < 8; ++l) bytes |= std::uint64_t{Lanes::pixel(shade, texels[l], extras[l])} << (8 * l);
    const auto keep = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_packs_epi16(show16, show16)));
    std::uint64_t before;
    std::memcpy(&before, pixel + i, sizeof before);
    bytes = (bytes & keep) | (before & ~keep);
    std::memcpy(pixel + i, &bytes, sizeof bytes);
    if constexpr (kPick == PickWrite::Texel) _mm256_maskstore_epi32(pickAt + i, show, texel);
    if constexpr (kPick == PickWrite::Id) _mm256_maskstore_epi32(pickAt + i, show, id8);
    for (int k = 0; k < kShaded; ++k) attr[k] = _mm256_add_epi32(attr[k], attrStride[k]);
    z = _mm_add_epi16(z, zStride);
  }
}

// The plain texture with its plain row table: row starts by multiplying,
// and each lane's texel as the low byte of a word gathered at it, or at the
// texture's last word, shifted down, so no read leaves the texture.
template <int kShaded, PickWrite kPick>
[[gnu::target("avx2")]] inline void plotTextureLanes(const shades::Texture& shade, std::uint8_t* __restrict pixel,
                                                     std::uint16_t* __restrict depthAt,
                                                     std::int32_t* __restrict pickAt, std::int32_t count,
                                                     const std::array<std::int32_t, kShaded + 1>& value,
                                                     const std::array<std::int32_t, kShaded + 1>& step,
                                                     std::int32_t depth, std::int32_t depthStep, std::int32_t id) {
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m128i lane16 = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i s0 = _mm256_set1_epi32(step[0]);
  const __m256i s1 = _mm256_set1_epi32(step[1]);
  __m256i u = _mm256_add_epi32(_mm256_set1_epi32(value[0]), _mm256_mullo_epi32(lane, s0));
  __m256i v = _mm256_add_epi32(_mm256_set1_epi32(value[1]), _mm256_mullo_epi32(lane, s1));
  const __m256i uStride = _mm256_slli_epi32(s0, 3);
  const __m256i vStride = _mm256_slli_epi32(s1, 3);
  const __m128i zStep = _mm_set1_epi16(static_cast<std::int16_t>(depthStep));
  __m128i z = _mm_add_epi16(_mm_set1_epi16(static_cast<std::int16_t>(depth)), _mm_mullo_epi16(lane16, zStep));
  const __m128i zStride = _mm_slli_epi16(zStep, 3);
  [[maybe_unused]] const __m256i id8 = _mm256_set1_epi32(id);
  const __m256i pitch = _mm256_set1_epi32(shade.pitch);
  const __m256i lastWord = _mm256_set1_epi32(shade.size - 4);
  // Byte 0 of each word to the front of its half.
  const __m256i lowBytes = _mm256_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  //
                                            0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  const auto* words = reinterpret_cast<const int*>(shade.pixels);

  for (std::int32_t i = 0; i < count; i += 8) {
    const __m128i show16 = depthTestLanes(z, depthAt + i, count - i, lane16);
    const __m256i show = _mm256_cvtepi16_epi32(show16);
    const __m256i texel = _mm256_and_si256(
        _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srli_epi32(v, kFixedShift), pitch), _mm256_srli_epi32(u, kFixedShift)),
        show);
    const __m256i at = _mm256_min_epu32(texel, lastWord);
    const __m256i word = _mm256_i32gather_epi32(words, at, 1);
    const __m256i bytes = _mm256_shuffle_epi8(_mm256_srlv_epi32(word, _mm256_slli_epi32(_mm256_sub_epi32(texel, at), 3)),
                                              lowBytes);
    const __m128i eight = _mm_unpacklo_epi32(_mm256_castsi256_si128(bytes), _mm256_extracti128_si256(bytes, 1));
    const __m128i before = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixel + i));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(pixel + i),
                     _mm_blendv_epi8(before, eight, _mm_packs_epi16(show16, show16)));
    if constexpr (kPick == PickWrite::Texel) _mm256_maskstore_epi32(pickAt + i, show, texel);
    if constexpr (kPick == PickWrite::Id) _mm256_maskstore_epi32(pickAt + i, show, id8);
    u = _mm256_add_epi32(u, uStride);
    v = _mm256_add_epi32(v, vStride);
    z = _mm_add_epi16(z, zStride);
  }
}

// Sixteen lanes with AVX-512 masks, over a plain row table as above: the
// masks keep every load and store inside the span, and only drawn lanes read
// a texel, so no blending back and no reads past the span's end.
PELT_WIDE_LANES_BEGIN

template <int kShaded, PickWrite kPick>
[[PELT_WIDE_LANES_TARGET]] inline void plotTextureWideLanes(
    const shades::Texture& shade, std::uint8_t* __restrict pixel, std::uint16_t* __restrict depthAt,
    std::int32_t* __restrict pickAt, std::int32_t count, const std::array<std::int32_t, kShaded + 1>& value,
    const std::array<std::int32_t, kShaded + 1>& step, std::int32_t depth, std::int32_t depthStep, std::int32_t id) {
  const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m256i lane16 = _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m512i s0 = _mm512_set1_epi32(step[0]);
  const __m512i s1 = _mm512_set1_epi32(step[1]);
  __m512i u = _mm512_add_epi32(_mm512_set1_epi32(value[0]), _mm512_mullo_epi32(lane, s0));
  __m512i v = _mm512_add_epi32(_mm512_set1_epi32(value[1]), _mm512_mullo_epi32(lane, s1));
  const __m512i uStride = _mm512_slli_epi32(s0, 4);
  const __m512i vStride = _mm512_slli_epi32(s1, 4);
  const __m256i zStep = _mm256_set1_epi16(static_cast<std::int16_t>(depthStep));
  __m256i z = _mm256_add_epi16(_mm256_set1_epi16(static_cast<std::int16_t>(depth)), _mm256_mullo_epi16(lane16, zStep));
  const __m256i zStride = _mm256_slli_epi16(zStep, 4);
  [[maybe_unused]] const __m512i id16 = _mm512_set1_epi32(id);
  const __m512i pitch = _mm512_set1_epi32(shade.pitch);
  const __m512i lastWord = _mm512_set1_epi32(shade.size - 4);
  const auto* words = reinterpret_cast<const int*>(shade.pixels);

  for (std::int32_t i = 0; i < count; i += 16) {
    const std::int32_t left = count - i;
    const auto inside = static_cast<__mmask16>(left >= 16 ? 0xFFFF : (1u << left) - 1);
    const __m256i old = _mm256_maskz_loadu_epi16(inside, depthAt + i);
    const __mmask16 show = _mm256_mask_cmplt_epu16_mask(inside, z, old);
    _mm256_mask_storeu_epi16(depthAt + i, show, z);
    const __m512i texel =
        _mm512_add_epi32(_mm512_mullo_epi32(_mm512_srli_epi32(v, kFixedShift), pitch), _mm512_srli_epi32(u, kFixedShift));
    const __m512i at = _mm512_min_epu32(texel, lastWord);
    const __m512i word = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), show, at, words, 1);
    const __m512i bytes = _mm512_srlv_epi32(word, _mm512_slli_epi32(_mm512_sub_epi32(texel, at), 3));
    _mm_mask_storeu_epi8(pixel + i, show, _mm512_cvtepi32_epi8(bytes));
    if constexpr (kPick == PickWrite::Texel) _mm512_mask_storeu_epi32(pickAt + i, show, texel);
    if constexpr (kPick == PickWrite::Id) _mm512_mask_storeu_epi32(pickAt + i, show, id16);
    u = _mm512_add_epi32(u, uStride);
    v = _mm512_add_epi32(v, vStride);
    z = _mm256_add_epi16(z, zStride);
  }
}

// A plain texture span without depth (the skin view's quad): every lane up
// to the span's end is drawn. Texels come as in plotTextureLanes.
template <PickWrite kPick>
[[PELT_WIDE_LANES_TARGET]] inline void plotTextureSpanWideLanes(const shades::Texture& shade,
                                                               std::uint8_t* __restrict pixel,
                                                               std::int32_t* __restrict pickAt, std::int32_t count,
                                                               std::int32_t u0, std::int32_t v0, std::int32_t du,
                                                               std::int32_t dv) {
  const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  __m512i u = _mm512_add_epi32(_mm512_set1_epi32(u0), _mm512_mullo_epi32(lane, _mm512_set1_epi32(du)));
  __m512i v = _mm512_add_epi32(_mm512_set1_epi32(v0), _mm512_mullo_epi32(lane, _mm512_set1_epi32(dv)));
  const __m512i uStride = _mm512_set1_epi32(static_cast<std::int32_t>(static_cast<std::uint32_t>(du) << 4));
  const __m512i vStride = _mm512_set1_epi32(static_cast<std::int32_t>(static_cast<std::uint32_t>(dv) << 4));
  const __m512i pitch = _mm512_set1_epi32(shade.pitch);
  const __m512i lastWord = _mm512_set1_epi32(shade.size - 4);
  const auto size = static_cast<std::uint32_t>(shade.size);
  const auto* words = reinterpret_cast<const int*>(shade.pixels);
  for (std::int32_t i = 0; i < count; i += 16) {
    const std::int32_t left = count - i;
    const auto inside = static_cast<__mmask16>(left >= 16 ? 0xFFFF : (1u << left) - 1);
    const __m512i texel =
        _mm512_add_epi32(_mm512_mullo_epi32(_mm512_srli_epi32(v, kFixedShift), pitch), _mm512_srli_epi32(u, kFixedShift));
    // Magnified along a texture row the group's texels lie within 64 bytes
    // of its first: one load and a permute replace the gather.
    const auto first = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm512_castsi512_si128(texel)));
    const __m512i offset = _mm512_sub_epi32(texel, _mm512_set1_epi32(static_cast<std::int32_t>(first)));
    __m512i bytes;
    if (first < size && _mm512_mask_cmpgt_epu32_mask(inside, offset, _mm512_set1_epi32(63)) == 0) {
      const std::uint32_t rest = size - first;
      const __mmask64 present = rest >= 64 ? ~__mmask64{0} : (__mmask64{1} << rest) - 1;
      const __m512i window = _mm512_maskz_loadu_epi8(present, shade.pixels + first);
      bytes = _mm512_srlv_epi32(_mm512_permutexvar_epi32(_mm512_srli_epi32(offset, 2), window),
                                _mm512_slli_epi32(_mm512_and_si512(offset, _mm512_set1_epi32(3)), 3));
    } else {
      const __m512i at = _mm512_min_epu32(texel, lastWord);
      const __m512i word = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), inside, at, words, 1);
      bytes = _mm512_srlv_epi32(word, _mm512_slli_epi32(_mm512_sub_epi32(texel, at), 3));
    }
    _mm_mask_storeu_epi8(pixel + i, inside, _mm512_cvtepi32_epi8(bytes));
    if constexpr (kPick == PickWrite::Texel) _mm512_mask_storeu_epi32(pickAt + i, inside, texel);
    u = _mm512_add_epi32(u, uStride);
    v = _mm512_add_epi32(v, vStride);
  }
}

PELT_WIDE_LANES_END

// The same in groups of eight with AVX2; the pixels past the last whole
// group are left to the caller. Returns how many were drawn.
template <PickWrite kPick>
[[gnu::target("avx2")]] inline std::int32_t plotTextureSpanLanes(const shades::Texture& shade,
                                                                 std::uint8_t* __restrict pixel,
                                                                 std::int32_t* __restrict pickAt, std::int32_t count,
                                                                 std::int32_t u0, std::int32_t v0, std::int32_t du,
                                                                 std::int32_t dv) {
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  __m256i u = _mm256_add_epi32(_mm256_set1_epi32(u0), _mm256_mullo_epi32(lane, _mm256_set1_epi32(du)));
  __m256i v = _mm256_add_epi32(_mm256_set1_epi32(v0), _mm256_mullo_epi32(lane, _mm256_set1_epi32(dv)));
  const __m256i uStride = _mm256_set1_epi32(static_cast<std::int32_t>(static_cast<std::uint32_t>(du) << 3));
  const __m256i vStride = _mm256_set1_epi32(static_cast<std::int32_t>(static_cast<std::uint32_t>(dv) << 3));
  const __m256i pitch = _mm256_set1_epi32(shade.pitch);
  const __m256i lastWord = _mm256_set1_epi32(shade.size - 4);
  const __m256i lowBytes = _mm256_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  //
                                            0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  const auto* words = reinterpret_cast<const int*>(shade.pixels);
  const std::int32_t whole = count & ~7;
  for (std::int32_t i = 0; i < whole; i += 8) {
    const __m256i texel =
        _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srli_epi32(v, kFixedShift), pitch), _mm256_srli_epi32(u, kFixedShift));
    const __m256i at = _mm256_min_epu32(texel, lastWord);
    const __m256i word = _mm256_i32gather_epi32(words, at, 1);
    const __m256i bytes = _mm256_shuffle_epi8(_mm256_srlv_epi32(word, _mm256_slli_epi32(_mm256_sub_epi32(texel, at), 3)),
                                              lowBytes);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(pixel + i),
                     _mm_unpacklo_epi32(_mm256_castsi256_si128(bytes), _mm256_extracti128_si256(bytes, 1)));
    if constexpr (kPick == PickWrite::Texel) _mm256_storeu_si256(reinterpret_cast<__m256i*>(pickAt + i), texel);
    u = _mm256_add_epi32(u, uStride);
    v = _mm256_add_epi32(v, vStride);
  }
  return whole;
}

#endif


}  // namespace pelt::detail
