// The intro card and its run, and the about box's table.
#include <gtest/gtest.h>

#include <array>

#include "app/about.h"
#include "app/app.h"
#include "app/intro.h"
#include "app/intro_music.h"
#include "raster/rasterizer.h"
#include "skins/byte_order.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

using test::ScriptedPlatform;

// A platform whose sleeps take longer, so a whole intro runs in few frames.
struct SlowClock : ScriptedPlatform {
  int step = 100;
  void sleepMilliseconds(int) override { clock += step; }
};

TEST(Intro, RunsUntilInputOrTheLastFrame) {
  struct Case {
    UtcDate date;
    int inputAtPoll;
    int frames;  // shown before the loop ends
    int clip;
  } cases[] = {
      {{6, 20}, 0, 593, kIntroClipMidsummer},  // 0, 100 .. 59200: the first past 59100 ends it
      {{6, 21}, 1, 1, kIntroClipEveryDay},     // a click during the first frame
      {{1, 1}, 7, 7, kIntroClipEveryDay},
  };
  Rasterizer r;
  for (const Case& c : cases) {
    SlowClock platform;
    platform.introWindowAvailable = true;
    platform.date = c.date;
    platform.inputAtPoll = c.inputAtPoll;
    EXPECT_EQ(runIntro(platform, r), c.frames);
    EXPECT_EQ(platform.soundsPlayed, std::vector<int>{c.clip});
    EXPECT_EQ(platform.soundStops, 2);  // before the music and with the window
    EXPECT_FALSE(platform.introWindowOpen);
  }
  ScriptedPlatform noWindow;  // the platform could not make one: no intro, no music
  EXPECT_EQ(runIntro(noWindow, r), 0);
  EXPECT_TRUE(noWindow.soundsPlayed.empty());
}

TEST(Intro, MusicClipsAreLoopingWaveFiles) {
  for (int clip : {kIntroClipMidsummer, kIntroClipEveryDay}) {
    const Bytes wave = introMusicWave(clip);
    ASSERT_GT(wave.size(), 44u);
    EXPECT_EQ(std::string(wave.begin(), wave.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(wave.begin() + 8, wave.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(readU32(&wave[24]), static_cast<std::uint32_t>(kMusicSampleRate));
    EXPECT_EQ(readU32(&wave[40]), wave.size() - 44);
  }
  EXPECT_NE(introMusicWave(kIntroClipMidsummer), introMusicWave(kIntroClipEveryDay));
  EXPECT_TRUE(introMusicWave(1).empty());
}

// A square model whose two triangles cover the skin corner to corner.
TEST(About, WastedSpaceAndTheTableThroughTheCommand) {
  ScriptedPlatform platform;
  App app{platform};
  Model& m = app.model;
  m.skinWidth = m.skinHeight = 16;
  m.stCoords[1] = {16, 0};
  m.stCoords[2] = {16, 16};
  m.stCoords[3] = {0, 16};
  m.stCount = m.vertexCount = 4;
  m.triangles[0].stIndex = {0, 1, 2};
  m.triangles[1].stIndex = {0, 2, 3};
  EXPECT_EQ(wastedSpacePercent(m, app.rasterizer), 100);  // no triangles yet
  m.triangleCount = 2;

  m.frames.resize(3);
  for (std::uint32_t unlinked : {0u, 1u, 0u}) {
    m.skins.push_back(std::make_unique<Skin>());
    m.skins.back()->unlinked = unlinked;
  }
  showAbout(app);
  ASSERT_TRUE(platform.aboutShown);
  const std::vector<std::array<std::string, 3>> expected = {
      {"Vertices", "4", "2048"},          {"Mapping Verts", "4", "2048"},
      {"Triangles", "2", "4096"},         {"Frames", "3", "512"},
      {"Linked Skins", "2", "32"},        {"External Skins", "1", "Unlimited"},
      {"Skin Width", "16", "640"},        {"Skin Height", "16", "480"},
      {"Wasted Space", "0%", "Undecided"}};
  ASSERT_EQ(platform.aboutShown->rows.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const auto& row = platform.aboutShown->rows[i];
    EXPECT_EQ((std::array<std::string, 3>{row.label, row.current, row.limit}), expected[i]);
  }
  EXPECT_EQ(platform.aboutShown->nameAndVersion, "Pelt 0.1");
}

}  // namespace
}  // namespace pelt
