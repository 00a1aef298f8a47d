#pragma once
// The status line while the pointer is over a view: the view's own read-out
// and, over the two large views, their zoom and the current frame's name.

#include <string>

#include "platform/platform.h"

namespace pelt {

class MainFrame;

std::string viewStatusText(MainFrame& frame, ViewId id, int x, int y);

}  // namespace pelt
