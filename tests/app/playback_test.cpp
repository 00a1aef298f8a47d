// Playing frames through the command table: what plays, what the 3D view,
// the frame list and the companions follow, and what stops it; and the views
// fitted to each model opened.
#include "app/commands/companion.h"
#include "app/frame_lists.h"
#include "app/view_status.h"
#include "frame_fixture.h"
#include "model/md2_format.h"
#include "skinview/skin_view.h"
#include "view3d/model_view.h"

namespace pelt {
namespace {

using test::RecordedRefresh;

class Playing : public test::FrameTest {
 protected:
  void SetUp() override {
    platform.frame = &frame;
    frame.resizeView(ViewId::SkinView, 200, 150);
    frame.resizeView(ViewId::ModelView, 200, 150);
    const char* names[] = {"walk1", "walk2", "walk3", "pain1", "pain2"};
    for (size_t i = 0; i < 5; ++i) strip.frames[i].name = names[i];
    dir.write("baseq2/models/m/skin.pcx", encodeSkinPcx(test::patternSkin(16, 8, 1)));
    open();
    ASSERT_TRUE(app.model.modelLoaded);
  }
  void open() {
    platform.answerFile(dir.write("baseq2/models/m/tris.md2", encodeMd2(strip)));
    platform.messageAnswers = {MessageAnswer::No};  // the model is not saved first
    run(32772);
  }
  void tick(int ms) {
    platform.clock += ms;
    tickPlayback(app);
  }
  bool playing() const { return app.playback.playing(); }
  void press(ViewId id) { frame.pressView(id, {5, 5, 5, 5, kButtonLeft, kButtonLeft}); }

  Md2Data strip = test::quadStripMd2(2, 16, 8, {"models/m/skin.pcx"}, 5);
};

TEST_F(Playing, PPlaysTheAnimationByTheClockUntilSomethingStopsIt) {
  chooseListEntry(app, FrameList::Frames, 1);
  run(kPlayAnimationId);
  EXPECT_TRUE(checked(kPlayAnimationId) && !checked(kPlayAllFramesId));
  EXPECT_EQ(platform.playbackTimerMs, 16);
  EXPECT_EQ(app.playback.run, (FrameRun{0, 3}));
  const int refills = platform.listRefills;
  tick(150);  // walk3, half way back to walk1
  EXPECT_TRUE(app.playback.blend.next == 0 && app.playback.blend.t == 0.5f);
  EXPECT_EQ(app.model.currentFrameIndex, 2);
  EXPECT_EQ(platform.listRefills, refills + 1);  // the frame list follows
  EXPECT_EQ(platform.refreshes.back(), (RecordedRefresh{0, 2, false}));
  // The 3D view drew the blended pose.
  const ModelView& view = *frame.modelView();
  const Vec3 a = app.model.frames[2].vertices[3], b = app.model.frames[0].vertices[3];
  const Point3f drawn = view.viewVertices()[3];
  const Point3f blended =
      toViewSpace(view.basis(), view.target, {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2});
  EXPECT_NEAR(drawn.y, blended.y, 1e-4);
  EXPECT_NE(blended.y, toViewSpace(view.basis(), view.target, a).y);

  // View-only commands and presses outside the large views keep it going.
  run(32797);
  press(ViewId::PaletteBox);
  EXPECT_TRUE(playing());
  press(ViewId::SkinView);  // stops on the frame shown
  EXPECT_FALSE(playing() || app.playback.blend.active() || checked(kPlayAnimationId));
  EXPECT_EQ(app.model.currentFrameIndex, 2);
  EXPECT_EQ(platform.playbackTimerMs, 0);

  // Shift+P plays every frame; whole frames only, at 5 a second.
  platform.settings["Preferences"]["Interpolate Frames"] = "0";
  platform.settings["Preferences"]["Frames Per Second"] = "5";
  run(kPlayAllFramesId);
  EXPECT_EQ(platform.playbackTimerMs, 200);
  tick(700);  // 2 + 3 frames of 5
  EXPECT_TRUE(app.model.currentFrameIndex == 0 && !app.playback.blend.active());
  run(kPlayAnimationId);  // switches to the animation
  EXPECT_EQ(app.playback.run, (FrameRun{0, 3}));
  run(32852);  // Invert Pixels changes the document
  EXPECT_FALSE(playing());
  run(kPlayAnimationId);
  run(kPlayAnimationId);  // P again
  EXPECT_FALSE(playing());
  run(kPlayAnimationId);
  chooseListEntry(app, FrameList::Frames, 4);
  EXPECT_TRUE(!playing() && app.model.currentFrameIndex == 4);
}

TEST_F(Playing, CompanionsBlendIntoTheirNextFrameWhenTheyHaveIt) {
  strip.frames.resize(2);
  app.companions.items.push_back(parseCompanion(encodeMd2(strip)).companion);
  const Companion& companion = *app.companions.items[0];
  run(kPlayAnimationId);
  tick(50);  // walk1 toward walk2
  std::vector<CompanionScene> shown = shownCompanionScenes(app);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].blend, 0.5f);
  EXPECT_EQ(shown[0].nextVertices.data(), companion.frames[1].vertices.data());
  tick(100);  // walk2 toward walk3, which the companion lacks
  EXPECT_EQ(shownCompanionScenes(app).at(0).blend, 0.0f);
}

TEST_F(Playing, OpeningFitsBothViewsUnlessFitOnOpenIsOff) {
  SkinView& skin = *frame.skinView();
  ModelView& view = *frame.modelView();
  EXPECT_FLOAT_EQ(skin.zoom, 12.0f);  // a 16 x 8 skin in 200 x 150
  EXPECT_NE(view.eye, (Vec3f{100, 0, 0}));
  EXPECT_EQ(viewStatusText(frame, ViewId::SkinView, -1, -1), "Zoom 1200%    Frame walk1");
  skin.zoom = 3.0f;
  view.eye = {100, 0, 0};
  platform.settings["Preferences"]["Fit On Open"] = "0";
  open();
  EXPECT_FLOAT_EQ(skin.zoom, 3.0f);
  EXPECT_EQ(view.eye, (Vec3f{100, 0, 0}));
  run(kFitSkinId);
  run(kFrameModelId);
  EXPECT_FLOAT_EQ(skin.zoom, 12.0f);
  EXPECT_NE(view.eye, (Vec3f{100, 0, 0}));
}

}  // namespace
}  // namespace pelt
