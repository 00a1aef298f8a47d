// Resizing every skin with its mapping, replacing colours and inverting,
// run through the command table.
#include "app/skin_operations.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/command_table.h"
#include "app/main_frame.h"
#include "app/model_loading.h"
#include "app/skin_effects.h"
#include "skins/paint_rule.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"
#include "quiet_host.h"

namespace pelt {
namespace {

using test::patternSkin;
using test::ScriptedPlatform;
using test::TempDir;

constexpr int kResize = 32799, kReplace = 32855, kInvPalette = 32851, kInvPixels = 32852,
              kInvBoth = 32853, kOutline = 32843, kFill = 32844, kShade = 32845, kLoadTo = 32847;

class SkinOperations : public ::testing::Test {
 protected:
  void load(int width, int height) {
    app.baseFolder = dir.file("baseq2");
    dir.write("baseq2/m/skin.pcx", encodeSkinPcx(patternSkin(width, height, 3)));
    std::string model = dir.write("baseq2/m/tris.md2",
                                  encodeMd2(test::quadStripMd2(2, width, height, {"m/skin.pcx"})));
    ASSERT_TRUE(loadMd2(app, model));
    platform.messages.clear();
  }
  void run(int id) { ASSERT_TRUE(runCommand(frame, id)) << id; }
  Skin& skin() { return *app.model.currentSkin(); }
  void resize(int w, int h, bool enforce) {
    platform.resizeAnswers.push_back(ResizeSkinsValues{w, h, enforce});
    run(kResize);
  }

  TempDir dir;
  ScriptedPlatform platform;
  App app{platform};
  QuietHost host;
  MainFrame frame{app, host};
};

TEST_F(SkinOperations, ResizeKeepsEverySecondTexelAndRescalesTheMapping) {
  load(256, 256);
  const Skin before = skin();
  Model& m = app.model;
  // Corners at 0 and 255 pin the rounding of the rescale.
  m.stCoords[0] = {0, 0};
  m.stCoords[1] = {255, 255};
  m.triangles[0].stIndex = {0, 1, 1};
  resize(128, 128, true);
  ASSERT_EQ(skin().pixels.size(), 128u * 128u);
  for (int y = 0; y < 128; y += 9)
    for (int x = 0; x < 128; x += 7) ASSERT_EQ(skin().pixel(x, y), before.pixel(2 * x, 2 * y));
  EXPECT_EQ(skin().storedPixels, skin().pixels);  // revert returns to the resized image
  EXPECT_EQ(m.triangles[0].cornerSt[0], (StCoord{0, 0}));
  EXPECT_EQ(m.triangles[0].cornerSt[1], (StCoord{127, 127}));
}

TEST_F(SkinOperations, ResizeRefusalsComeInOrder) {
  load(16, 8);
  struct Case {
    int width, height;
    bool enforce;
    const char* message;  // null: accepted
  } cases[] = {
      {16, 8, true, kResizeSameSizeMessage},
      {0, 8, true, kResizeZeroMessage},
      {16, -1, false, kResizeZeroMessage},
      {130, 8, true, kResizeWidthMultipleMessage},
      {644, 8, true, kResizeTooLargeMessage},
      {640, 481, true, kResizeTooLargeMessage},
      {4100, 8, false, kResizeBeyondLimitMessage},
      {130, 8, false, nullptr},
      {20, 600, false, nullptr},  // taller than the old 480-row table
  };
  for (const Case& c : cases) {
    platform.messages.clear();
    const int oldWidth = app.model.skinWidth;
    resize(c.width, c.height, c.enforce);
    if (c.message) {
      ASSERT_EQ(platform.messageTexts(), std::vector<std::string>{c.message}) << c.width;
      EXPECT_EQ(app.model.skinWidth, oldWidth);
    } else {
      EXPECT_TRUE(platform.messages.empty()) << c.width;
      EXPECT_EQ(skin().rowOffsets.size(), static_cast<size_t>(c.height));
      EXPECT_EQ(skin().pixels.size(), static_cast<size_t>(c.width * c.height));
    }
  }
}

TEST_F(SkinOperations, ReplaceColorsSpreadsOneRangeOverAnother) {
  load(16, 8);
  app.colorSlots[2] = 10;
  app.colorSlots[3] = 20;
  app.colorSlots[4] = 100;
  app.colorSlots[5] = 200;
  const std::vector<std::pair<int, int>> table = {{20, 200}, {10, 100}, {15, 150}, {9, 9},
                                                  {21, 21},  {0, 0},    {255, 255}};
  for (size_t i = 0; i < table.size(); ++i)
    skin().pixels[i] = static_cast<std::uint8_t>(table[i].first);
  const auto stored = skin().storedPixels;
  run(kReplace);
  for (size_t i = 0; i < table.size(); ++i)
    EXPECT_EQ(skin().pixels[i], table[i].second) << table[i].first;
  EXPECT_EQ(skin().storedPixels, stored);

  // One source colour: it becomes slot 5's.
  app.colorSlots[3] = 10;
  skin().pixels[1] = 10;
  run(kReplace);
  EXPECT_EQ(skin().pixels[1], 200);
}

TEST_F(SkinOperations, InvertBothLooksTheSameAndTwiceRestores) {
  load(16, 8);
  const Skin before = skin();
  auto shown = [](const Skin& s, size_t i) {
    const size_t p = s.pixels[i];
    return std::array<std::uint8_t, 3>{s.palette[p * 3], s.palette[p * 3 + 1],
                                       s.palette[p * 3 + 2]};
  };
  run(kInvBoth);
  EXPECT_NE(skin().pixels, before.pixels);
  for (size_t i = 0; i < before.pixels.size(); ++i) ASSERT_EQ(shown(skin(), i), shown(before, i));
  run(kInvBoth);
  EXPECT_EQ(skin().pixels, before.pixels);
  EXPECT_EQ(skin().storedPixels, before.storedPixels);
  EXPECT_EQ(skin().palette, before.palette);

  run(kInvPalette);
  run(kInvPixels);
  EXPECT_EQ(skin().storedPixels[5], 255 - before.storedPixels[5]);
  for (size_t i = 0; i < before.pixels.size(); ++i) ASSERT_EQ(shown(skin(), i), shown(before, i));
}

// The F/X commands on a 16 x 8 skin whose first quad (s 0..8, t 0..16) is
// selected.
class SkinEffects : public SkinOperations {
 protected:
  void SetUp() override {
    load(16, 8);
    app.model.triangles[0].flags = kTriangleSelected;
    app.model.triangles[1].flags = kTriangleSelected;
    original = skin().pixels;
  }
  std::vector<std::uint8_t> mask() {
    return buildSelectionMask(app.model, app.rasterizer, skin().width, skin().height);
  }
  int changed() {
    int n = 0;
    for (size_t i = 0; i < original.size(); ++i) n += skin().pixels[i] != original[i];
    return n;
  }
  std::vector<std::uint8_t> original;
};

TEST_F(SkinEffects, ZeroAmountKeepsEveryPixelAtItsOwnNearestColour) {
  app.blendAmount = 0.0;
  for (int id : {kOutline, kFill, kShade}) {
    run(id);
    // The pattern palette has no repeated colour, so the nearest is the pixel itself.
    EXPECT_EQ(changed(), 0) << id;
  }
}

TEST_F(SkinEffects, WorkOnlyInsideTheSelectionAndTheSkin) {
  // The quad runs off the skin's bottom (t up to 16 on an 8-row skin);
  // both of its edges count.
  const std::vector<std::uint8_t> m = mask();
  ASSERT_EQ(m.size(), 16u * 8u);
  for (size_t i = 0; i < m.size(); ++i) EXPECT_EQ(m[i] != 0, i % 16 <= 8) << i;

  app.blendAmount = 1.0;
  app.colorSlots[static_cast<size_t>(app.currentSlot)] = 77;
  for (int id : {kOutline, kShade}) {
    run(id);
    for (size_t i = 0; i < m.size(); ++i)
      if (m[i] == 0) {
        ASSERT_EQ(skin().pixels[i], original[i]) << id;
      }
    if (id == kOutline) {
      EXPECT_EQ(skin().pixel(0, 0), 77);  // full strength: the paint colour
    }
  }
  EXPECT_GT(changed(), 0);
  EXPECT_EQ(skin().storedPixels, original);
}

TEST_F(SkinEffects, LoadToSelectedBlendsTheImageIn) {
  Skin image = patternSkin(16, 8, 40);
  const std::string path = dir.write("in/image.pcx", encodeSkinPcx(image));
  dir.write("in/small.pcx", encodeSkinPcx(patternSkin(8, 8, 40)));
  app.blendAmount = 1.0;
  platform.answerFile(dir.file("in/small"));  // no extension: the first filter's
  run(kLoadTo);
  EXPECT_EQ(platform.messageTexts(),
            std::vector<std::string>{"Error loading skin: Incorrect dimensions!"});
  EXPECT_EQ(app.loadFolder, dir.file("in"));

  platform.answerFile(path);
  run(kLoadTo);
  const std::vector<std::uint8_t> m = mask();
  for (size_t i = 0; i < m.size(); ++i) {
    const size_t p = image.pixels[i];
    const Rgb want{double(image.palette[p * 3]), double(image.palette[p * 3 + 1]),
                   double(image.palette[p * 3 + 2])};
    ASSERT_EQ(skin().pixels[i], m[i] ? nearestPaletteIndex(skin().palette, want) : original[i])
        << i;
  }
}

TEST_F(SkinOperations, NothingWithoutAModel) {
  platform.resizeAnswers.push_back(ResizeSkinsValues{64, 64, true});
  for (int id :
       {kResize, kReplace, kInvPalette, kInvPixels, kInvBoth, kOutline, kFill, kShade, kLoadTo})
    run(id);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(platform.resizeAnswers.size(), 1u);  // the dialog never opened
  EXPECT_TRUE(platform.fileRequests.empty());
}

}  // namespace
}  // namespace pelt
