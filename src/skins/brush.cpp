#include "skins/brush.h"

#include <algorithm>
#include <array>

namespace pelt {

namespace {

constexpr std::array<int, 12> kSizeSteps = {1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64};

}  // namespace

std::string brushText(const BrushShape& shape, int brushKind) {
  if (brushKind == kBrushFill) return "Fill";
  return "Brush " + std::to_string(shape.size) + (shape.round ? ", round" : ", square") +
         (shape.soft ? ", soft" : "");
}

int largerBrushSize(int size) {
  for (int step : kSizeSteps)
    if (step > size) return step;
  return kMaxBrushSize;
}

int smallerBrushSize(int size) {
  for (auto it = kSizeSteps.rbegin(); it != kSizeSteps.rend(); ++it)
    if (*it < size) return *it;
  return kMinBrushSize;
}

// Distances are doubled so that even sizes, whose centre falls between
// texels, stay in integers: a texel i of n sits at 2i - (n - 1).
Footprint::Footprint(BrushShape shape)
    : size_(std::clamp(shape.size, kMinBrushSize, kMaxBrushSize)),
      round_(shape.round),
      soft_(shape.soft),
      low_(-((size_ - 1) / 2)) {
  const int n = size_;
  const int radius2 = n * n;
  // The strength falls from the middle texels (between texels for even sizes) to the rim.
  const int middle2 = n % 2 == 0 ? (shape.round ? 2 : 1) : 0;
  levels_.assign(static_cast<size_t>(n * n), kFullLevel);
  for (int j = 0; j < n; ++j) {
    const int py = 2 * j - (n - 1);
    int left = n, right = -1;
    for (int i = 0; i < n; ++i) {
      const int px = 2 * i - (n - 1);
      const int distance2 = shape.round ? px * px + py * py : std::max(px * px, py * py);
      if (shape.round && distance2 >= radius2) continue;
      left = std::min(left, i);
      right = std::max(right, i);
      if (!soft_) continue;
      // ceil(kSoftLevels * (1 - (d^2 - m^2) / (r^2 - m^2))) - 1, at least the weakest level.
      const int span = radius2 - middle2;
      const int level = (kSoftLevels * (radius2 - distance2) + span - 1) / span - 1;
      levels_[static_cast<size_t>(j * n + i)] = static_cast<std::uint8_t>(std::max(level, 0));
    }
    if (left <= right) rows_.push_back({low_ + j, low_ + left, low_ + right});
  }
}

int Footprint::count() const {
  int total = 0;
  for (const FootprintRow& row : rows_) total += row.right - row.left + 1;
  return total;
}

}  // namespace pelt
