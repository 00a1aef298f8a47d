#pragma once
// A frame driven without a window: its host ignores layout requests, and
// refreshes sent to the platform reach the frame at once.

#include "app/main_frame.h"
#include "support/scripted_platform.h"

namespace pelt::bench {

struct QuietHost : FrameHost {
  void layoutChanged() override {}
  void grabSplitPointer(bool) override {}
  void closeWindow() override {}
};

struct FramePlatform : test::ScriptedPlatform {
  MainFrame* frame = nullptr;
  bool redrawPosted = false;  // posted refreshes are dropped unless asked for
  void sendRefresh(int level, int mask) override {
    if (frame) frame->refresh(level, mask);
  }
  void postRefresh(int level, int mask) override {
    if (redrawPosted) sendRefresh(level, mask);
  }
};

}  // namespace pelt::bench
