#include "skins/paint_stroke.h"

#include <algorithm>
#include <cstring>

#include "skins/flood_fill.h"

namespace pelt {

namespace {

constexpr std::uint8_t kFullMark = kSoftLevels;  // a texel painted at full strength

// The texels of one colour, unpainted in this stroke (a stroke that has
// painted nothing yet need not look) and, when limited, allowed. Painting
// changes a texel's colour, which takes it out.
struct FillRegion {
  const std::uint8_t* pixels;
  const std::uint8_t* mask;
  const std::uint8_t* allowed;  // null: anywhere
  int width;
  std::uint8_t colour;
  bool masked;

  size_t at(int x, int y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  }
  bool inside(size_t o) const {
    return pixels[o] == colour && (!masked || mask[o] == 0) && (!allowed || allowed[o] != 0);
  }
  bool inside(int x, int y) const { return inside(at(x, y)); }
  std::uint64_t word(size_t o) const {
    std::uint64_t w;
    std::memcpy(&w, pixels + o, sizeof w);
    return w;
  }
  // Eight texels at a time where only the colour counts.
  int insideEnd(int y, int x, int end) const {
    const size_t row = at(0, y);
    if (!masked && !allowed) {
      const std::uint64_t run = kOnes * colour;
      while (x + 8 <= end && word(row + static_cast<size_t>(x)) == run) x += 8;
    }
    while (x < end && inside(row + static_cast<size_t>(x))) ++x;
    return x;
  }
  // Eight texels at a time while none has the colour.
  int outsideEnd(int y, int x, int end) const {
    const size_t row = at(0, y);
    const std::uint64_t run = kOnes * colour;
    for (; x + 8 <= end; x += 8) {
      const std::uint64_t same = ~(word(row + static_cast<size_t>(x)) ^ run);
      // A byte of `same` is 0xFF where the texel has the colour.
      if ((((same & kLow7) + kOnes) & same & kHighs) != 0) break;
    }
    while (x < end && !inside(row + static_cast<size_t>(x))) ++x;
    return x;
  }
  static constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  static constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  static constexpr std::uint64_t kHighs = 0x8080808080808080ull;
};

}  // namespace

void PaintStroke::begin(Skin& skin, int brushKind, WindowPoint press, BrushShape shape) {
  end();
  skin_ = &skin;
  brush_ = brushKind;
  footprint_ = Footprint(shape);
  press_ = last_ = press;
  unsent_ = sinceRestore_ = {};
  paintedMask_.assign(skin.pixels.size(), 0);
  pixelBackup_ = skin.pixels;
  startRevision_ = skin.revision;
}

void PaintStroke::end() { drop(); }

bool PaintStroke::paints(const Skin* current) const {
  return skin_ != nullptr && skin_ == current && paintedMask_.size() == current->pixels.size();
}

void PaintStroke::drop() {
  skin_ = nullptr;
  paintedMask_ = {};
  pixelBackup_ = {};
}

void PaintStroke::noteChanged(int x, int y) {
  sinceRestore_.add(x, y);
  unsent_.add(x, y);
}

// A hard stroke is the plain rule. A soft one first puts back a texel that
// a weaker level painted, then paints it at this level.
bool PaintStroke::paintAt(size_t offset, int level, const PaintTables& tables) {
  std::uint8_t& mark = paintedMask_[offset];
  std::uint8_t& pixel = skin_->pixels[offset];
  const std::uint8_t before = pixel;
  if (!footprint_.soft()) {
    if (!pelt::paintTexel(skin_->pixels, paintedMask_, tables.blendTable, tables.protectedColors,
                          static_cast<std::int32_t>(offset)))
      return false;
    mark = kFullMark;
    return pixel != before;
  }
  const auto wanted = static_cast<std::uint8_t>(level + 1);
  if (mark >= wanted) return false;
  if (mark != 0 && offset < pixelBackup_.size()) {
    pixel = pixelBackup_[offset];
    mark = 0;
  }
  const BlendTable& table =
      tables.softTables ? (*tables.softTables)[static_cast<size_t>(level)] : tables.blendTable;
  if (pelt::paintTexel(skin_->pixels, paintedMask_, table, tables.protectedColors,
                       static_cast<std::int32_t>(offset)))
    mark = wanted;
  return pixel != before;
}

bool PaintStroke::paintTexel(std::int32_t offset, const PaintTables& tables, int level) {
  if (skin_ == nullptr || offset < 0 || static_cast<size_t>(offset) >= skin_->pixels.size() ||
      paintedMask_.size() != skin_->pixels.size())
    return false;
  if (!paintAt(static_cast<size_t>(offset), std::clamp(level, 0, kFullLevel), tables)) return false;
  const int width = std::max(skin_->width, 1);
  noteChanged(offset % width, offset / width);
  return true;
}

bool PaintStroke::dabTexels(int cx, int cy, const Footprint& footprint, const PaintTables& tables) {
  if (skin_ == nullptr || paintedMask_.size() != skin_->pixels.size()) return false;
  bool changed = false;
  const int width = skin_->width;
  footprint.forEachClipped(cx, cy, width, skin_->height, [&](int x, int y, int level) {
    const size_t offset =
        static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
    if (!paintAt(offset, footprint_.soft() ? level : kFullLevel, tables)) return;
    noteChanged(x, y);
    changed = true;
  });
  return changed;
}

bool PaintStroke::lineTexels(WindowPoint a, WindowPoint b, const Footprint& footprint,
                             const PaintTables& tables) {
  bool changed = false;
  walkClippedSegment(a, b, [&](int x, int y) { changed |= dabTexels(x, y, footprint, tables); });
  return changed;
}

// Every texel of the region ends as the blend of the seed's colour, so a
// run is two byte fills. Texels this stroke painted already are outside.
bool PaintStroke::fill(int x, int y, const PaintTables& tables,
                       std::span<const std::uint8_t> allowed) {
  if (skin_ == nullptr || paintedMask_.size() != skin_->pixels.size() || x < 0 || y < 0 ||
      x >= skin_->width || y >= skin_->height)
    return false;
  if (!allowed.empty() && allowed.size() != skin_->pixels.size()) return false;
  const std::uint8_t colour = skin_->pixel(x, y);
  const std::uint8_t painted = tables.blendTable[colour];
  // A region painting to its own colour would change nothing.
  if (tables.protectedColors[colour] != 0 || painted == colour) return false;
  const FillRegion region{skin_->pixels.data(),
                          paintedMask_.data(),
                          allowed.empty() ? nullptr : allowed.data(),
                          skin_->width,
                          colour,
                          !sinceRestore_.empty() || !unsent_.empty()};
  bool changed = false;
  floodSpans(skin_->width, skin_->height, x, y, region, [&](int y, int x0, int x1) {
    const size_t o = region.at(x0, y);
    const auto count = static_cast<size_t>(x1 - x0 + 1);
    std::memset(paintedMask_.data() + o, kFullMark, count);
    std::memset(skin_->pixels.data() + o, painted, count);
    noteChanged(x0, y);
    noteChanged(x1, y);
    changed = true;
  });
  return changed;
}

bool PaintStroke::restoreStart() {
  if (skin_ == nullptr || pixelBackup_.size() != skin_->pixels.size()) return false;
  if (sinceRestore_.empty()) return false;
  skin_->pixels = pixelBackup_;
  unsent_.add(sinceRestore_);
  sinceRestore_ = {};
  return true;
}

bool pickPaintColour(const Skin& skin, std::int32_t offset, std::uint8_t& slot) {
  if (offset < 0 || static_cast<size_t>(offset) >= skin.pixels.size()) return false;
  const std::uint8_t picked = skin.pixels[static_cast<size_t>(offset)];
  if (slot == picked) return false;
  slot = picked;
  return true;
}

}  // namespace pelt
