// The main frame on a scripted platform, with a folder to work in.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/app.h"
#include "app/command_table.h"
#include "app/commands/file_open.h"
#include "quiet_host.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"

namespace pelt::test {

// Records the split bar's pointer grab as well.
struct RecordingHost : QuietHost {
  bool grabbed = false;
  void grabSplitPointer(bool grab) override { grabbed = grab; }
};

// Refreshes reach the frame once `frame` is set, as in the window.
struct FramePlatform : ScriptedPlatform {
  MainFrame* frame = nullptr;
  void sendRefresh(int level, int mask) override {
    ScriptedPlatform::sendRefresh(level, mask);
    if (frame) frame->refresh(level, mask);
  }
};

class FrameTest : public ::testing::Test {
 protected:
  FrameTest() { app.baseFolder = app.loadFolder = app.saveFolder = dir.file("baseq2"); }

  // The quad strip model at stripPath(), linked to its skin. A failed load
  // is fatal: call it in SetUp or under ASSERT_NO_FATAL_FAILURE.
  void loadStrip(int w = 16, int h = 8) {
    dir.write("baseq2/models/m/skin.pcx", encodeSkinPcx(patternSkin(w, h, 1)));
    dir.write("baseq2/models/m/tris.md2", encodeMd2(quadStripMd2(2, w, h, {"models/m/skin.pcx"})));
    ASSERT_TRUE(loadMd2(app, stripPath()));
    platform.messages.clear();
  }
  std::string stripPath() const { return dir.file("baseq2/models/m/tris.md2"); }
  void run(int id) { ASSERT_TRUE(runCommand(frame, id)) << id; }
  bool checked(int id) const { return isCommandChecked(*findCommand(id), app); }
  Skin& skin() { return *app.model.currentSkin(); }

  TempDir dir;
  FramePlatform platform;
  App app{platform};
  RecordingHost host;
  MainFrame frame{app, host};
};

}  // namespace pelt::test
