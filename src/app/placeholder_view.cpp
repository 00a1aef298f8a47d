#include "app/placeholder_view.h"

#include <algorithm>

#include "app/app.h"
#include "platform/platform.h"
#include "skins/skin.h"

namespace pelt {

PlaceholderView::PlaceholderView(App& app, bool startsSplitDrag)
    : app_(app), startsSplitDrag_(startsSplitDrag), colors_(greyRampPalette()) {}

void PlaceholderView::resize(int width, int height) {
  width_ = (std::max(width, 0) + 3) & ~3;
  height_ = std::max(height, 0);
  pixels_.assign(static_cast<size_t>(width_) * height_, 0);
}

void PlaceholderView::render(int, int) {
  std::fill(pixels_.begin(), pixels_.end(), app_.colorSlots[7]);
}

ViewImage PlaceholderView::image() const {
  return ViewImage{width_, height_, ImageFormat::Indexed8, pixels_.data(), &colors_};
}

void PlaceholderView::mousePress(const MouseEvent& event) {
  if (startsSplitDrag_ && event.button == kButtonLeft) app_.platform.sendBarAdjust(0);
}

}  // namespace pelt
