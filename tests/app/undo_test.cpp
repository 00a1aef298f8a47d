// The history on the demo model: random steps of every kind, then undo all
// and redo all, compared byte for byte.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "app/commands/edit.h"
#include "app/tables.h"
#include "app/undo_steps.h"
#include "app/unsaved_work.h"
#include "demo/demo_folder.h"
#include "frame_fixture.h"
#include "model/model.h"
#include "platform/paths.h"
#include "platform/settings_keys.h"
#include "skins/paint_stroke.h"
#include "skinview/skin_view.h"

namespace pelt::test {
namespace {

struct SkinBytes {
  const Skin* object;
  std::string name;
  std::vector<std::uint8_t> pixels;
  Palette palette;
  int width, height;
  std::uint32_t unlinked;
  friend bool operator==(const SkinBytes&, const SkinBytes&) = default;
};

struct DocumentBytes {
  std::vector<SkinBytes> skins;
  int skinWidth, skinHeight, stCount;
  std::vector<StCoord> st;
  std::vector<std::uint32_t> flags;
  std::vector<std::array<std::int16_t, 3>> stIndex;
  std::array<float, 3> offset;
  friend bool operator==(const DocumentBytes&, const DocumentBytes&) = default;
};

class UndoWalk : public FrameTest {
 protected:
  UndoWalk() {
    EXPECT_TRUE(writeDemoGameFolder(dir.path(), nullptr));
    app.baseFolder = dir.file("baseq2");
    EXPECT_TRUE(loadMd2(app, joinPath(app.baseFolder, kDemoModelPath)));
    platform.answerFile(joinPath(app.baseFolder, kDemoWeaponPath));
    run(32809);  // a companion, for its offset
  }

  DocumentBytes bytes() const {
    DocumentBytes d{{},
                    app.model.skinWidth,
                    app.model.skinHeight,
                    app.model.stCount,
                    app.model.stCoords,
                    {},
                    {},
                    {}};
    for (const auto& s : app.model.skins)
      d.skins.push_back(
          {s.get(), s->name, s->pixels, s->palette, s->width, s->height, s->unlinked});
    for (int i = 0; i < app.model.triangleCount; ++i) {
      d.flags.push_back(app.model.triangles[static_cast<size_t>(i)].flags);
      d.stIndex.push_back(app.model.triangles[static_cast<size_t>(i)].stIndex);
    }
    if (const Companion* c = app.companions.current())
      d.offset = {c->offsetX, c->offsetY, c->offsetZ};
    return d;
  }

  int any(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

  void stroke(int brush) {
    Skin* s = app.model.currentSkin();
    if (!s) return;
    app.colorSlots[0] = static_cast<std::uint8_t>(any(256));
    buildBlendTable(app);
    const PaintTables tables{app.blendTable, app.protectedColors};
    const WindowPoint a{any(s->width), any(s->height)}, b{any(s->width), any(s->height)};
    PaintStroke paint;
    paint.begin(*s, brush, a);
    if (brush == kBrushFill)
      paint.fill(a.x, a.y, tables, {});
    else
      paint.lineTexels(a, b, paint.footprint(), tables);
    recordStroke(app, paint);
    paint.end();
  }

  // A mapping drag: some st entries move.
  void drag() {
    beginMappingEdit(app);
    for (int i = 0; i < 5 && app.model.stCount > 0; ++i) {
      StCoord& st = app.model.stCoords[static_cast<size_t>(any(app.model.stCount))];
      st.s = static_cast<std::int16_t>(any(app.model.skinWidth));
    }
    endMappingEdit(app, "Vertex Drag");
  }

  void command(int id) {
    platform.messageAnswers.assign(4, MessageAnswer::Yes);
    platform.resizeAnswers.assign(1, ResizeSkinsValues{32 * (1 + any(4)), 32 * (1 + any(4)), true});
    platform.offsetAnswers.assign(1, OffsetCompanionValues{float(any(9)), 1.5f, -2.0f});
    runCommand(frame, id);
  }

  std::mt19937 random{20261207};
};

TEST_F(UndoWalk, UndoAllAndRedoAllGiveTheStatesBackByteForByte) {
  // clang-format off
  const std::vector<std::function<void()>> kinds = {
      [&] { stroke(kBrushPencil); }, [&] { stroke(kBrushPoint); }, [&] { stroke(kBrushLine); },
      [&] { stroke(kBrushFill); },   [&] { drag(); },
      [&] { command(32852); },  // invert pixels
      [&] { command(32851); },  // invert palette
      [&] { command(32864); },  // palette reset
      [&] { command(32787); },  // store
      [&] { command(32786); },  // revert
      [&] { command(32785); },  // new
      [&] { command(32842); },  // duplicate
      [&] { command(32782); },  // close
      [&] { command(32793); },  // move up
      [&] { command(32794); },  // move down
      [&] { command(32789); },  // unlink
      [&] { command(32799); },  // re-size all
      [&] { command(32830); },  // hide selected
      [&] { command(32831); },  // unhide all
      [&] { command(32840); },  // store mapping
      [&] { command(32841); },  // revert mapping
      [&] { command(32814); },  // companion offset
  };
  // clang-format on
  for (int round = 0; round < 6; ++round) {
    app.history.clear();
    command(round % 2 ? 32796 : 32798);  // select all or invert: not a step
    const DocumentBytes first = bytes();
    for (int i = 0; i < 40; ++i) kinds[static_cast<size_t>(any(static_cast<int>(kinds.size())))]();
    const DocumentBytes last = bytes();
    const size_t steps = app.history.undoCount();
    EXPECT_GT(steps, 10u);
    while (canUndo(app)) ASSERT_TRUE(runCommand(frame, kUndoId));
    EXPECT_TRUE(bytes() == first) << "round " << round;
    while (canRedo(app)) ASSERT_TRUE(runCommand(frame, kRedoId));
    EXPECT_TRUE(bytes() == last) << "round " << round;
    EXPECT_EQ(app.history.undoCount(), steps);
  }
}

}  // namespace
}  // namespace pelt::test

namespace pelt::test {
namespace {

TEST_F(UndoWalk, TheBudgetDropsTheOldestAndRefusesAStepLargerThanItAll) {
  platform.settings[settings::kPreferences][settings::kUndoMemory] = "1";
  applyUndoBudget(app);
  for (int i = 0; i < 20; ++i) command(32852);  // invert pixels: a whole-skin step each
  EXPECT_LT(app.history.undoCount(), 20u);
  EXPECT_GT(app.history.undoCount(), 2u);
  EXPECT_LE(app.history.bytes(), app.history.budget());
  runCommand(frame, kUndoId);
  EXPECT_TRUE(canRedo(app));
  platform.resizeAnswers.assign(1, ResizeSkinsValues{1024, 1024, false});
  runCommand(frame, 32799);
  EXPECT_FALSE(canRedo(app));
  command(32852);  // the old skin alone is larger than the budget
  EXPECT_FALSE(canUndo(app) || canRedo(app));
  EXPECT_EQ(platform.statusText, kUndoTooLargeMessage);
}

TEST_F(UndoWalk, CtrlZRevertsUnlessThePreferenceMakesItUndo) {
  const Command& undo = *findCommand(kUndoId);
  const Command& revert = *findCommand(32786);
  PaintStroke nothing;  // a click that painted no pixel is no step and no change
  nothing.begin(skin(), kBrushPencil, {1, 1});
  recordStroke(app, nothing);
  EXPECT_FALSE(canUndo(app) || skin().modified());
  stroke(kBrushFill);
  const std::vector<std::uint8_t> painted = skin().pixels;
  command(32786);
  EXPECT_EQ(std::string(commandText(undo, app)), "&Undo Revert Skin\tAlt+Backspace");
  runCommand(frame, kUndoId);
  EXPECT_EQ(skin().pixels, painted);
  EXPECT_EQ(platform.statusText, "Undone: Revert Skin");
  EXPECT_EQ(std::string(commandText(undo, app)), "&Undo Fill\tAlt+Backspace");
  EXPECT_EQ(std::string(commandKey(revert, app)) + "|" + commandKey(undo, app),
            "Ctrl+Z|Alt+Backspace");
  platform.settings[settings::kPreferences][settings::kCtrlZUndoes] = "1";
  applyUndoBudget(app);
  EXPECT_EQ(std::string(commandKey(revert, app)) + "|" + commandKey(undo, app) + "|" +
                commandText(revert, app),
            "|Alt+Backspace; Ctrl+Z|&Revert");
}

// Re-size All leaves every skin and the model modified; the model is not
// written without the question about the skins' files.
TEST_F(UndoWalk, SavingAfterReSizeAllAsksAboutTheSkinFiles) {
  app.currentFile = joinPath(app.baseFolder, kDemoModelPath);
  platform.resizeAnswers.assign(1, ResizeSkinsValues{128, 96, true});
  run(32799);
  EXPECT_TRUE(app.history.modelModified());
  EXPECT_EQ(windowTitle(app), "tris.md2[*] - Pelt");
  for (const auto& s : app.model.skins) EXPECT_TRUE(s->modified()) << s->name;
  platform.messages.clear();
  platform.messageAnswers = {MessageAnswer::Yes};
  run(32773);
  EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{kSaveChangedSkinsQuestion});
  EXPECT_FALSE(hasUnsavedWork(app));
  platform.messages.clear();
  ASSERT_TRUE(loadMd2(app, app.currentFile));
  EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{});
  EXPECT_EQ(skin().width, 128);
}

}  // namespace
}  // namespace pelt::test

namespace pelt::test {
namespace {

// A right-button drag of the selection in the skin view, with the pixels
// following, is one step; its undo puts mapping and pixels back.
TEST_F(UndoWalk, AMappingDragInTheSkinViewIsOneStep) {
  platform.frame = &frame;
  app.cameraOverride = false;
  app.interactionMode = 1;
  app.dragPixelsWithMapping = true;
  command(32796);  // select all
  frame.resizeView(ViewId::SkinView, 200, 150);
  const DocumentBytes before = bytes();
  SkinView& view = *frame.skinView();
  view.mousePress({100, 70, 100, 70, kButtonRight, kButtonRight});
  for (int x = 104; x <= 140; x += 12) view.mouseMove({x, 70, x, 70, kButtonNone, kButtonRight});
  view.mouseRelease({140, 70, 140, 70, kButtonRight, kButtonNone});
  EXPECT_EQ(app.history.undoName(), "Move Mapping");
  EXPECT_EQ(app.history.undoCount(), 1u);
  EXPECT_FALSE(bytes() == before);
  run(kUndoId);
  EXPECT_TRUE(bytes() == before);
  // A command in the middle of a drag: no step, but the model is unsaved.
  view.mousePress({100, 70, 100, 70, kButtonRight, kButtonRight});
  view.mouseMove({120, 70, 120, 70, kButtonNone, kButtonRight});
  command(32852);
  view.mouseRelease({120, 70, 120, 70, kButtonRight, kButtonNone});
  EXPECT_TRUE(app.history.modelModified());
}

}  // namespace
}  // namespace pelt::test
