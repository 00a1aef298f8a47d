#pragma once
// Tool-bar images, drawn here rather than loaded, and the window icon
// (program_icon.h draws it).

#include <QIcon>
#include <QPixmap>

namespace pelt {

inline constexpr int kToolImageWidth = 16;
inline constexpr int kToolImageHeight = 15;

// The image of a tool-bar command id (an empty icon for unknown ids).
QIcon toolIcon(int commandId);
QIcon programIcon();
// The about box's picture: a hide stretched on its frame, with a brush.
QPixmap aboutPicture();

}  // namespace pelt
