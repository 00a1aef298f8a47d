// A window for the frame that ignores its requests and counts closes.
#pragma once

#include "app/main_frame.h"

namespace pelt {

struct QuietHost : FrameHost {
  int closes = 0;
  void layoutChanged() override {}
  void grabSplitPointer(bool) override {}
  void closeWindow() override { ++closes; }
};

}  // namespace pelt
