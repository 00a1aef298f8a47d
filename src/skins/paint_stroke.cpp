#include "skins/paint_stroke.h"

#include <algorithm>
#include <cstring>

#include "skins/flood_fill.h"

namespace pelt {

namespace {

constexpr std::uint8_t kFullMark = kSoftLevels;  // a texel painted at full strength

}  // namespace

void PaintStroke::begin(Skin& skin, int brushKind, WindowPoint press, BrushShape shape) {
  end();
  skin_ = &skin;
  brush_ = brushKind;
  footprint_ = Footprint(shape);
  press_ = last_ = press;
  wasModified_ = skin.modified;
  unsent_ = sinceRestore_ = {};
  paintedMask_.assign(skin.pixels.size(), 0);
  if (brushKind == kBrushLine || (footprint_.soft() && brushKind != kBrushFill))
    pixelBackup_ = skin.pixels;
}

bool PaintStroke::end() {
  if (skin_ == nullptr) return false;
  const bool newlyModified = skin_->modified && !wasModified_;
  drop();
  return newlyModified;
}

bool PaintStroke::paints(const Skin* current) const {
  return skin_ != nullptr && skin_ == current && paintedMask_.size() == current->pixels.size();
}

void PaintStroke::drop() {
  skin_ = nullptr;
  paintedMask_ = {};
  pixelBackup_ = {};
}

void PaintStroke::noteChanged(int x, int y) {
  skin_->modified = true;
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
  if (!paintAt(static_cast<size_t>(offset), std::clamp(level, 0, kFullLevel), tables))
    return false;
  const int width = std::max(skin_->width, 1);
  noteChanged(offset % width, offset / width);
  return true;
}

bool PaintStroke::dabTexels(int cx, int cy, const Footprint& footprint,
                            const PaintTables& tables) {
  if (skin_ == nullptr || paintedMask_.size() != skin_->pixels.size()) return false;
  bool changed = false;
  const int width = skin_->width;
  footprint.forEachClipped(cx, cy, width, skin_->height, [&](int x, int y, int level) {
    const size_t offset = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
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
bool PaintStroke::fill(std::int32_t seed, const PaintTables& tables,
                       std::span<const std::uint8_t> allowed) {
  if (skin_ == nullptr || paintedMask_.size() != skin_->pixels.size() || seed < 0 ||
      static_cast<size_t>(seed) >= skin_->pixels.size())
    return false;
  const bool limited = !allowed.empty();
  if (limited && allowed.size() != skin_->pixels.size()) return false;
  std::uint8_t* pixels = skin_->pixels.data();
  std::uint8_t* mask = paintedMask_.data();
  const std::uint8_t colour = pixels[seed];
  const std::uint8_t painted = tables.blendTable[colour];
  if (tables.protectedColors[colour] != 0) return false;
  const int width = skin_->width;
  const auto at = [width](int x, int y) {
    return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  };
  auto inside = [&](int x, int y) {
    const size_t o = at(x, y);
    return pixels[o] == colour && mask[o] == 0 && (!limited || allowed[o] != 0);
  };
  bool changed = false;
  floodSpans(width, skin_->height, seed % width, seed / width, inside, [&](int y, int x0, int x1) {
    const size_t o = at(x0, y);
    const auto count = static_cast<size_t>(x1 - x0 + 1);
    std::memset(mask + o, kFullMark, count);
    if (painted == colour) return;
    std::memset(pixels + o, painted, count);
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
