#pragma once
// A borrowed 8-bit image the fillers read: a skin, an environment or phong
// map, or any buffer with a row table.

#include <cstdint>

namespace pelt {

struct TextureView {
  const std::uint8_t* pixels = nullptr;
  const std::int32_t* rowOffsets = nullptr;  // byte offset of each row in `pixels`
  int width = 0;
  int height = 0;
};

inline constexpr int kShadeMapSize = 256;  // environment and phong maps are 256 x 256

}  // namespace pelt
