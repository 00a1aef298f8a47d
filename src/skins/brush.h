#pragma once
// The size and shape of the brush, shared by both views: which texels (skin
// view) or window pixels (3D view) one dab covers around the point under the
// pointer, and, for the soft brush, how strongly each of them is painted.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pelt {

enum BrushKind : int { kBrushPoint = 0, kBrushPencil = 1, kBrushLine = 2, kBrushFill = 3 };

inline constexpr int kMinBrushSize = 1;
inline constexpr int kMaxBrushSize = 64;
// The soft brush paints with this many strengths, the last one full.
inline constexpr int kSoftLevels = 16;
inline constexpr int kFullLevel = kSoftLevels - 1;

struct BrushShape {
  int size = 1;  // kMinBrushSize .. kMaxBrushSize
  bool round = true;
  bool soft = false;
  friend bool operator==(const BrushShape&, const BrushShape&) = default;
};

// What the status bar says of the brush: "Brush 16, round, soft", "Fill".
std::string brushText(const BrushShape& shape, int brushKind);

// The next size up or down the steps 1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64.
int largerBrushSize(int size);
int smallerBrushSize(int size);

// One row of a footprint: offsets left..right (inclusive) in row dy.
struct FootprintRow {
  int dy = 0;
  int left = 0;
  int right = 0;
};

// A dab of `size` texels across centred on the texel under the pointer (for
// even sizes, the texel under the pointer is the upper left of the middle
// four). Round: every texel whose centre lies inside the disc of that
// diameter. Soft: the strength falls with the square of the distance from the
// centre (round) or of the larger offset (square).
class Footprint {
 public:
  explicit Footprint(BrushShape shape = {});

  int size() const { return size_; }
  bool soft() const { return soft_; }
  BrushShape shape() const { return {size_, round_, soft_}; }
  int low() const { return low_; }  // offset of the first row and column
  std::span<const FootprintRow> rows() const { return rows_; }
  int count() const;
  // 0 .. kFullLevel; kFullLevel for every texel of a hard brush.
  int level(int dx, int dy) const {
    return levels_[static_cast<size_t>((dy - low_) * size_ + (dx - low_))];
  }

  // visit(x, y, level) for each texel of the dab at (cx, cy) inside a
  // width x height area.
  template <class Visit>
  void forEachClipped(int cx, int cy, int width, int height, Visit&& visit) const {
    for (const FootprintRow& row : rows_) {
      const int y = cy + row.dy;
      if (y < 0 || y >= height) continue;
      const int x0 = cx + row.left < 0 ? 0 : cx + row.left;
      const int x1 = cx + row.right >= width ? width - 1 : cx + row.right;
      const int base = (row.dy - low_) * size_ - low_ - cx;
      for (int x = x0; x <= x1; ++x) visit(x, y, int{levels_[static_cast<size_t>(base + x)]});
    }
  }

 private:
  int size_ = 1;
  bool round_ = true;
  bool soft_ = false;
  int low_ = 0;
  std::vector<FootprintRow> rows_;
  std::vector<std::uint8_t> levels_;  // size x size, row by row
};

}  // namespace pelt
