// Lines step with a 16-bit accumulator along the major axis: the minor
// coordinate advances each time the accumulator wraps, and the far end is
// plotted exactly.

#include <cstdint>
#include <cstdlib>
#include <utility>

#include "raster/rasterizer.h"

namespace pelt {

namespace {

struct LineSteps {
  std::int32_t x0, y0, x1, y1;
  std::int32_t sx;   // direction of x, +1 when the line is vertical
  std::int32_t adx;  // |x1 - x0|
  std::int32_t dy;   // y1 - y0, never negative
};

// The end with the smaller y first; on equal y the first given end.
LineSteps orderLine(const ScreenLine& line) {
  LineSteps s{line[0], line[1], line[2], line[3], 1, 0, 0};
  if (s.y1 < s.y0) {
    std::swap(s.x0, s.x1);
    std::swap(s.y0, s.y1);
  }
  const std::int32_t dx = s.x1 - s.x0;
  s.sx = dx < 0 ? -1 : 1;
  s.adx = std::abs(dx);
  s.dy = s.y1 - s.y0;
  return s;
}

// Runs the stepping; `plot(x, y, weight, neighbourX, neighbourY)` receives for
// the accumulator steps the top five accumulator bits and the pixel one step
// further along the minor axis. Ends and straight or diagonal points get
// weight -1.
template <class Plot>
void walkLine(const ScreenLine& line, Plot&& plot) {
  const LineSteps s = orderLine(line);
  std::int32_t x = s.x0;
  std::int32_t y = s.y0;
  plot(x, y, -1, 0, 0);
  if (s.dy == 0 || s.adx == 0 || s.adx == s.dy) {
    const std::int32_t stepX = s.adx == 0 ? 0 : s.sx;
    const std::int32_t stepY = s.dy == 0 ? 0 : 1;
    const std::int32_t count = s.dy == 0 ? s.adx : s.dy;
    for (std::int32_t i = 0; i < count; ++i) {
      x += stepX;
      y += stepY;
      plot(x, y, -1, 0, 0);
    }
    return;
  }
  const bool steep = s.dy > s.adx;
  const std::uint32_t major = static_cast<std::uint32_t>(steep ? s.dy : s.adx);
  const std::uint32_t minor = static_cast<std::uint32_t>(steep ? s.adx : s.dy);
  const std::uint32_t increment = (minor << 16) / major;
  std::uint16_t accumulator = 0;
  for (std::uint32_t i = 0; i + 1 < major; ++i) {
    const auto next = static_cast<std::uint16_t>(accumulator + increment);
    const bool wrapped = next <= accumulator;
    accumulator = next;
    if (steep) {
      if (wrapped) x += s.sx;
      y += 1;
      plot(x, y, next >> 11, x + s.sx, y);
    } else {
      if (wrapped) y += 1;
      x += s.sx;
      plot(x, y, next >> 11, x, y + 1);
    }
  }
  plot(s.x1, s.y1, -1, 0, 0);
}

std::uint16_t blend555(std::uint16_t colour, std::uint16_t old, int colourWeight) {
  std::uint16_t out = 0;
  for (int shift : {0, 5, 10}) {
    const int c = (colour >> shift) & 31;
    const int o = (old >> shift) & 31;
    out |= static_cast<std::uint16_t>(((c * colourWeight + o * (32 - colourWeight)) >> 5) << shift);
  }
  return out;
}

}  // namespace

void Rasterizer::drawLine(const ScreenLine& line, std::uint8_t colour) {
  walkLine(line, [&](std::int32_t x, std::int32_t y, int, std::int32_t, std::int32_t) {
    pixelBuffer_[static_cast<std::size_t>(y) * width_ + x] = colour;
  });
}

void Rasterizer::drawLine16(const ScreenLine& line, std::uint16_t value) {
  walkLine(line, [&](std::int32_t x, std::int32_t y, int, std::int32_t, std::int32_t) {
    auxBuffer16_[static_cast<std::size_t>(y) * width_ + x] = value;
  });
}

void Rasterizer::drawLinePick(const ScreenLine& line, std::uint8_t colour, std::int32_t id) {
  walkLine(line, [&](std::int32_t x, std::int32_t y, int, std::int32_t, std::int32_t) {
    const std::size_t at = static_cast<std::size_t>(y) * width_ + x;
    if (pickBuffer_[at] == id) pixelBuffer_[at] = colour;
  });
}

void Rasterizer::drawLineSmooth16(const ScreenLine& line, std::uint16_t colour) {
  walkLine(line, [&](std::int32_t x, std::int32_t y, int weight, std::int32_t nx, std::int32_t ny) {
    std::uint16_t& here = auxBuffer16_[static_cast<std::size_t>(y) * width_ + x];
    if (weight < 0) {
      here = colour;
      return;
    }
    here = blend555(colour, here, 32 - weight);
    // Inner steps never reach the far end, so the neighbour is still on the line's box.
    std::uint16_t& next = auxBuffer16_[static_cast<std::size_t>(ny) * width_ + nx];
    next = blend555(colour, next, weight);
  });
}

}  // namespace pelt
