#include "skins/paint_stroke.h"

namespace pelt {

void PaintStroke::begin(Skin& skin, int brushKind, WindowPoint press) {
  end();
  skin_ = &skin;
  brush_ = brushKind;
  press_ = last_ = press;
  wasModified_ = skin.modified;
  changedSinceRestore_ = false;
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
  if (skin_ == nullptr || offset < 0) return false;
  const auto o = static_cast<size_t>(offset);
  // Offsets come from the last full render, which may predate a smaller skin.
  if (o >= skin_->pixels.size() || o >= paintedMask_.size()) return false;
  std::uint8_t& pixel = skin_->pixels[o];
  if (tables.protectedColors[pixel] != 0 || paintedMask_[o] != 0) return false;
  paintedMask_[o] = 1;
  const std::uint8_t painted = tables.blendTable[pixel];
  if (painted == pixel) return false;
  pixel = painted;
  skin_->modified = true;
  changedSinceRestore_ = true;
  return true;
}

bool PaintStroke::restoreStart() {
  if (skin_ == nullptr || pixelBackup_.size() != skin_->pixels.size()) return false;
  if (!changedSinceRestore_) return false;
  skin_->pixels = pixelBackup_;
  changedSinceRestore_ = false;
  return true;
}

}  // namespace pelt
