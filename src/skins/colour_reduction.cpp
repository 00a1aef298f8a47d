#include "skins/colour_reduction.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>

namespace pelt {

namespace {

constexpr int kCellShift = 3;  // cells of 8 x 8 x 8 colours
constexpr int kLevels = 256 >> kCellShift;
constexpr int kCellCount = kLevels * kLevels * kLevels;

// NearestColour's answer for whole-number colours, found among the few
// entries that can be nearest anywhere in the colour's cell: an entry whose
// least distance to the cell exceeds another's greatest cannot win or tie.
// Cells are worked out when first asked for.
class CellSearch {
 public:
  CellSearch(const Palette& palette, const ProtectedColors& excluded) {
    for (int j = 0; j < 256; ++j)
      if (excluded[static_cast<size_t>(j)] == 0) allowed_.push_back(static_cast<std::uint8_t>(j));
    if (allowed_.empty())
      for (int j = 0; j < 256; ++j) allowed_.push_back(static_cast<std::uint8_t>(j));
    for (size_t j = 0; j < 768; ++j) colour_[j] = palette[j];
    for (int c = 0; c < 3; ++c)
      for (int level = 0; level < kLevels; ++level)
        for (size_t k = 0; k < allowed_.size(); ++k) {
          const int p = colour_[allowed_[k] * 3u + static_cast<size_t>(c)];
          const int lo = level << kCellShift, hi = lo + (1 << kCellShift) - 1;
          const int near = p < lo ? lo - p : p > hi ? p - hi : 0;
          const int far = std::max(std::abs(p - lo), std::abs(p - hi));
          least_[c][static_cast<size_t>(level)][k] = near * near;
          most_[c][static_cast<size_t>(level)][k] = far * far;
        }
    start_.assign(kCellCount + 1, -1);
  }

  std::uint8_t operator()(int r, int g, int b) {
    const int cell =
        ((r >> kCellShift) * kLevels + (g >> kCellShift)) * kLevels + (b >> kCellShift);
    if (start_[static_cast<size_t>(cell)] < 0)
      build(cell, r >> kCellShift, g >> kCellShift, b >> kCellShift);
    const std::int32_t first = start_[static_cast<size_t>(cell)];
    const std::int32_t count = candidates_[static_cast<size_t>(first)];
    std::uint8_t best = 0;
    int bestDistance = 1 << 30;
    for (std::int32_t i = 1; i <= count; ++i) {
      const auto j = static_cast<std::uint8_t>(candidates_[static_cast<size_t>(first + i)]);
      const std::uint8_t* p = &colour_[j * 3u];
      const int dr = p[0] - r, dg = p[1] - g, db = p[2] - b;
      const int d = dr * dr + dg * dg + db * db;
      if (d < bestDistance) {
        bestDistance = d;
        best = j;
      }
    }
    return best;
  }

  const std::uint8_t* colour(std::uint8_t index) const { return &colour_[index * 3u]; }

 private:
  void build(int cell, int r, int g, int b) {
    const size_t n = allowed_.size();
    std::array<int, 256> least{};
    int threshold = 1 << 30;
    for (size_t k = 0; k < n; ++k) {
      least[k] = least_[0][static_cast<size_t>(r)][k] + least_[1][static_cast<size_t>(g)][k] +
                 least_[2][static_cast<size_t>(b)][k];
      threshold = std::min(threshold, most_[0][static_cast<size_t>(r)][k] +
                                          most_[1][static_cast<size_t>(g)][k] +
                                          most_[2][static_cast<size_t>(b)][k]);
    }
    start_[static_cast<size_t>(cell)] = static_cast<std::int32_t>(candidates_.size());
    candidates_.push_back(0);
    const size_t countAt = candidates_.size() - 1;
    for (size_t k = 0; k < n; ++k)
      if (least[k] <= threshold) {
        candidates_.push_back(allowed_[k]);
        ++candidates_[countAt];
      }
  }

  std::vector<std::uint8_t> allowed_;
  std::array<std::uint8_t, 768> colour_{};
  std::array<std::array<std::array<int, 256>, kLevels>, 3> least_{}, most_{};
  std::vector<std::int32_t> start_;
  // Per built cell: the count, then the candidates in index order.
  std::vector<std::int32_t> candidates_;
};

void nearest(const TrueColourPicture& picture, CellSearch& search, std::uint8_t* out) {
  const std::uint8_t* in = picture.rgb.data();
  const size_t count = picture.rgb.size() / 3;
  for (size_t i = 0; i < count; ++i, in += 3) out[i] = search(in[0], in[1], in[2]);
}

// Errors are kept sixteen times over so the 7/16, 3/16, 5/16 and 1/16
// shares stay whole numbers; rows run left to right, then back.
void dither(const TrueColourPicture& picture, CellSearch& search, std::uint8_t* out) {
  const int w = picture.width;
  const size_t stride = static_cast<size_t>(w + 2) * 3;
  std::vector<int> current(stride, 0), next(stride, 0);
  for (int y = 0; y < picture.height; ++y) {
    const bool forward = (y & 1) == 0;
    const int step = forward ? 1 : -1;
    const size_t row = static_cast<size_t>(y) * static_cast<size_t>(w);
    for (int i = 0; i < w; ++i) {
      const int x = forward ? i : w - 1 - i;
      const std::uint8_t* in = &picture.rgb[(row + static_cast<size_t>(x)) * 3];
      int* here = &current[static_cast<size_t>(x + 1) * 3];
      int value[3];
      for (int c = 0; c < 3; ++c) value[c] = std::clamp(in[c] + ((here[c] + 8) >> 4), 0, 255);
      const std::uint8_t index = search(value[0], value[1], value[2]);
      out[row + static_cast<size_t>(x)] = index;
      const std::uint8_t* chosen = search.colour(index);
      int* ahead = here + step * 3;
      int* below = &next[static_cast<size_t>(x + 1) * 3];
      for (int c = 0; c < 3; ++c) {
        const int e = value[c] - chosen[c];
        ahead[c] += 7 * e;
        below[c - step * 3] += 3 * e;
        below[c] += 5 * e;
        below[c + step * 3] += e;
      }
    }
    std::swap(current, next);
    std::fill(next.begin(), next.end(), 0);
  }
}

}  // namespace

std::vector<std::uint8_t> reduceToPalette(const TrueColourPicture& picture, const Palette& palette,
                                          const ReduceOptions& options) {
  std::vector<std::uint8_t> out(picture.rgb.size() / 3);
  auto search = std::make_unique<CellSearch>(palette, options.excluded);
  if (options.dither)
    dither(picture, *search, out.data());
  else
    nearest(picture, *search, out.data());
  return out;
}

std::unique_ptr<Skin> skinFromPicture(const TrueColourPicture& picture, const Palette& palette,
                                      const ReduceOptions& options) {
  auto skin = std::make_unique<Skin>();
  skin->width = picture.width;
  skin->height = picture.height;
  skin->palette = palette;
  skin->pixels = reduceToPalette(picture, palette, options);
  skin->storedPixels = skin->pixels;
  skin->fileFormat = picture.fileFormat;
  buildRowOffsets(skin.get());
  return skin;
}

int countColours(const TrueColourPicture& picture) {
  std::vector<std::uint64_t> seen(size_t{1} << 18, 0);
  for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
    const std::uint32_t c = (std::uint32_t{picture.rgb[i]} << 16) |
                            (std::uint32_t{picture.rgb[i + 1]} << 8) | picture.rgb[i + 2];
    seen[c >> 6] |= std::uint64_t{1} << (c & 63);
  }
  int count = 0;
  for (std::uint64_t word : seen) count += std::popcount(word);
  return count;
}

TrueColourPicture pictureOfSkin(const Skin& skin) {
  TrueColourPicture picture{skin.width, skin.height, {}, kFormatNone};
  picture.rgb.resize(skin.pixels.size() * 3);
  for (size_t i = 0; i < skin.pixels.size(); ++i)
    for (size_t c = 0; c < 3; ++c) picture.rgb[i * 3 + c] = skin.palette[skin.pixels[i] * 3u + c];
  return picture;
}

}  // namespace pelt
