#include "history/skin_parts.h"

#include <utility>

namespace pelt {

void exchangeSkinContents(Skin& a, Skin& b) {
  std::swap(a, b);
  std::swap(a.savedRevision, b.savedRevision);
  std::swap(a.changedRegion, b.changedRegion);
}

bool sameSkinImage(const Skin& a, const Skin& b) {
  return a.width == b.width && a.height == b.height && a.palette == b.palette &&
         a.pixels == b.pixels;
}

bool sameSkinContents(const Skin& a, const Skin& b) {
  return sameSkinImage(a, b) && a.storedPixels == b.storedPixels && a.name == b.name &&
         a.filePath == b.filePath && a.hasFile == b.hasFile && a.source == b.source &&
         a.unlinked == b.unlinked && a.fileFormat == b.fileFormat;
}

std::int64_t SkinSwap::bytes() const {
  return static_cast<std::int64_t>(sizeof(SkinSwap) + other_.pixels.capacity() +
                                   other_.storedPixels.capacity() +
                                   other_.rowOffsets.capacity() * sizeof(std::int32_t) +
                                   other_.name.capacity() + other_.filePath.capacity());
}

SkinListState captureSkinList(const Model& model) {
  return {model.skins, model.currentSkinIndex, model.skinWidth, model.skinHeight};
}

void SkinListPart::exchange(Model& model) {
  std::swap(model.skins, other_.skins);
  std::swap(model.currentSkinIndex, other_.currentSkinIndex);
  std::swap(model.skinWidth, other_.skinWidth);
  std::swap(model.skinHeight, other_.skinHeight);
}

}  // namespace pelt
