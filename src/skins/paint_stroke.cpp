#include "skins/paint_stroke.h"

#include <algorithm>

namespace pelt {

void PaintStroke::begin(Skin& skin, int brushKind, WindowPoint press) {
  end();
  skin_ = &skin;
  brush_ = brushKind;
  press_ = last_ = press;
  wasModified_ = skin.modified;
  unsent_ = sinceRestore_ = {};
  paintedMask_.assign(skin.pixels.size(), 0);
  if (brushKind == kBrushLine) pixelBackup_ = skin.pixels;
}

bool PaintStroke::end() {
  if (skin_ == nullptr) return false;
  const bool newlyModified = skin_->modified && !wasModified_;
  skin_ = nullptr;
  paintedMask_ = {};
  pixelBackup_ = {};
  return newlyModified;
}

bool PaintStroke::paintTexel(std::int32_t offset, const PaintTables& tables) {
  if (skin_ == nullptr || offset < 0 || static_cast<size_t>(offset) >= skin_->pixels.size())
    return false;
  const std::uint8_t before = skin_->pixels[static_cast<size_t>(offset)];
  if (!pelt::paintTexel(skin_->pixels, paintedMask_, tables.blendTable, tables.protectedColors,
                        offset))
    return false;
  if (skin_->pixels[static_cast<size_t>(offset)] == before) return false;
  skin_->modified = true;
  const int width = std::max(skin_->width, 1);
  const int x = offset % width, y = offset / width;
  sinceRestore_.add(x, y);
  unsent_.add(x, y);
  return true;
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
