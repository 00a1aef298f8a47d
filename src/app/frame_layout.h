#pragma once
// Where the main window puts its lists and child windows.

#include <array>

namespace pelt {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

inline constexpr int kGradientStripWidth = 24;
inline constexpr int kPaletteStripHeight = 32;
inline constexpr int kSplitSnapDistance = 64;
inline constexpr int kMinOuterWidth = 516;
inline constexpr int kMinOuterHeight = 360;
inline constexpr int kListGapBelowToolBar = 3;
inline constexpr int kListDropDownHeight = 200;

struct FrameLayout {
  Rect leftPane;
  Rect rightPane;
  Rect paletteStrip;
  Rect gradientStrip;
};

// W x H client area; listsBottom is the bottom edge of the drop-down lists.
FrameLayout computeFrameLayout(int width, int height, int listsBottom, double splitRatio,
                               bool paletteOnTop);

// The split ratio for a drag to client x: collapses within 64 pixels of
// either edge.
double splitRatioForDrag(int x, int width);

struct Size {
  int width = 0, height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};
Size clampOuterSize(Size outer);

// The six drop-down lists, in creation order.
enum class FrameList { Skins, Companions, Frames, RenderModes, PhongMaps, EnvironmentMaps };
inline constexpr int kFrameListCount = 6;

struct ListPlacement {
  FrameList list;
  int id;
  const char* statusText;
  int left;
  int right;
  int row;  // 0 or 1, see listPlacements
};

// Spans for a client width. The companion list shares the skin list's span and
// the map lists share the frame and render-mode lists' span; those three sit
// in a second row so every list keeps its full span.
std::array<ListPlacement, kFrameListCount> listPlacements(int width);

}  // namespace pelt
