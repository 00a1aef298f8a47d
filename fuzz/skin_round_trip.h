#pragma once
// Shared by the image targets: a decoded skin (or true-colour picture) must
// be consistent and come back unchanged through our own writer.

#include <cstdint>
#include <cstdlib>

#include "skins/skin_image.h"

namespace pelt::fuzz {

// Headers may announce up to 4096 x 4096; the reader's limit stays, but the
// harness skips such inputs so each run stays fast enough to explore.
inline constexpr std::int64_t kMaxFuzzPixels = std::int64_t{1} << 12;

inline void checkPicture(const TrueColourPicture& picture,
                         Bytes (*encode)(const TrueColourPicture&)) {
  if (picture.width <= 0 || picture.height <= 0 || picture.width > kMaxImageSide ||
      picture.height > kMaxImageSide ||
      picture.rgb.size() != static_cast<size_t>(picture.width) * picture.height * 3 || !encode)
    std::abort();
  SkinDecodeResult again = decodeSkinImage(encode(picture));
  if (!again.picture || again.picture->width != picture.width ||
      again.picture->height != picture.height || again.picture->rgb != picture.rgb)
    std::abort();
}

inline void checkRoundTrip(const Bytes& bytes, Bytes (*encode)(const Skin&),
                           Bytes (*encodePicture)(const TrueColourPicture&) = nullptr) {
  SkinDecodeResult result = decodeSkinImage(bytes);
  if (result.picture) {
    if (result.skin) std::abort();
    checkPicture(*result.picture, encodePicture);
    return;
  }
  if (!result.skin) {
    if (result.message.empty()) std::abort();
    return;
  }
  const Skin& skin = *result.skin;
  const auto area = static_cast<size_t>(skin.width) * static_cast<size_t>(skin.height);
  if (skin.width <= 0 || skin.height <= 0 || skin.width > kMaxImageSide ||
      skin.height > kMaxImageSide || skin.pixels.size() != area ||
      skin.storedPixels != skin.pixels ||
      skin.rowOffsets.size() != static_cast<size_t>(skin.height))
    std::abort();
  SkinDecodeResult again = decodeSkinImage(encode(skin));
  if (!again.skin || again.skin->width != skin.width || again.skin->height != skin.height ||
      again.skin->pixels != skin.pixels || again.skin->palette != skin.palette)
    std::abort();
}

}  // namespace pelt::fuzz
