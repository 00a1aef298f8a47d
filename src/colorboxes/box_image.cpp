#include "colorboxes/box_image.h"

#include <algorithm>

namespace pelt {

bool BoxImage::resize(int clientWidth, int clientHeight, Rgb8 background) {
  const int width = (std::max(clientWidth, 0) + 3) & ~3;
  const int height = std::max(clientHeight, 0);
  if (width == width_ && height == height_) return false;
  width_ = width;
  height_ = height;
  bytes_.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
  fillRect(0, 0, width - 1, height - 1, background);
  return true;
}

void BoxImage::set(int x, int y, Rgb8 colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  std::uint8_t* p = &bytes_[offset(x, y)];
  p[0] = colour.b;
  p[1] = colour.g;
  p[2] = colour.r;
}

Rgb8 BoxImage::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  const std::uint8_t* p = &bytes_[offset(x, y)];
  return {p[2], p[1], p[0]};
}

void BoxImage::fillRect(int left, int top, int right, int bottom, Rgb8 colour) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_ - 1);
  bottom = std::min(bottom, height_ - 1);
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) set(x, y, colour);
}

void BoxImage::bevel(int left, int top, int right, int bottom, const SystemColors& colors,
                     bool sunken) {
  const Rgb8 outerLight = sunken ? colors.shadow : colors.highlight;
  const Rgb8 outerDark = sunken ? colors.highlight : colors.buttonText;
  const Rgb8 innerLight = sunken ? colors.buttonText : colors.buttonFace;
  const Rgb8 innerDark = sunken ? colors.buttonFace : colors.shadow;
  auto ring = [&](int l, int t, int r, int b, Rgb8 light, Rgb8 dark) {
    if (l > r || t > b) return;
    fillRect(l, b, r, b, dark);
    fillRect(r, t, r, b, dark);
    fillRect(l, t, r, t, light);
    fillRect(l, t, l, b, light);
  };
  ring(left, top, right, bottom, outerLight, outerDark);
  ring(left + 1, top + 1, right - 1, bottom - 1, innerLight, innerDark);
}

ViewImage BoxImage::image() const {
  ViewImage out;
  if (width_ <= 0 || height_ <= 0) return out;
  out.width = width_;
  out.height = height_;
  out.format = ImageFormat::Bgr24;
  out.pixels = bytes_.data();
  return out;
}

}  // namespace pelt
