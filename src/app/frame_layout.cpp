#include "app/frame_layout.h"

namespace pelt {

FrameLayout computeFrameLayout(int width, int height, int listsBottom, double splitRatio,
                               bool paletteOnTop) {
  const int w = width, h = height, r = listsBottom;
  const int l = static_cast<int>((w - kGradientStripWidth) * splitRatio);
  FrameLayout layout;
  if (paletteOnTop) {
    const int top = r + kPaletteStripHeight;
    layout.paletteStrip = {0, r, w, top};
    layout.leftPane = {0, top, l, h};
    layout.gradientStrip = {l, top, l + kGradientStripWidth, h};
    layout.rightPane = {l + kGradientStripWidth, top, w, h};
  } else {
    const int bottom = h - kPaletteStripHeight;
    layout.paletteStrip = {0, bottom, w, h};
    layout.leftPane = {0, r, l, bottom};
    layout.gradientStrip = {l, r, l + kGradientStripWidth, bottom};
    layout.rightPane = {l + kGradientStripWidth, r, w, bottom};
  }
  return layout;
}

double splitRatioForDrag(int x, int width) {
  if (x < kSplitSnapDistance) return 0.0;
  if (x > width - kSplitSnapDistance) return 1.0;
  return static_cast<double>(x) / width;
}

Size clampOuterSize(Size outer) {
  if (outer.width < kMinOuterWidth) outer.width = kMinOuterWidth;
  if (outer.height < kMinOuterHeight) outer.height = kMinOuterHeight;
  return outer;
}

std::array<ListPlacement, kFrameListCount> listPlacements(int width) {
  const int w = width;
  return {{
      {FrameList::Skins, 130, "Current List of Strings", 0, w - 288, 0},
      {FrameList::Companions, 134, "Current List of Companions", 0, w - 288, 1},
      {FrameList::Frames, 129, "Current List of Frames", w - 288, w - 192, 0},
      {FrameList::RenderModes, 131, "Current List of Rendering Modes", w - 192, w, 0},
      {FrameList::PhongMaps, 132, "Current List of Phong Maps", w - 288, w - 144, 1},
      {FrameList::EnvironmentMaps, 133, "Current List of Environment Maps", w - 144, w, 1},
  }};
}

}  // namespace pelt
