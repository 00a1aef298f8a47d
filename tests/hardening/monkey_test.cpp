// A seeded random walk over every command of the table and the four views'
// mouse, wheel and resize events, with dialogs answered at random (bad
// values included). The model's invariants are checked after every step.
//
// PELT_MONKEY_STEPS and PELT_MONKEY_SEED change the walk's length and seed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <limits>
#include <random>

#include "app/app.h"
#include "app/command_table.h"
#include "app/frame_lists.h"
#include "app/main_frame.h"
#include "demo/demo_folder.h"
#include "platform/paths.h"
#include "platform/settings_keys.h"
#include "support/fixtures.h"
#include "support/malformed_corpus.h"
#include "support/scripted_platform.h"
#include "view3d/model_view.h"

namespace pelt::test {
namespace {

constexpr std::array<ViewId, 4> kViews = {ViewId::SkinView, ViewId::ModelView, ViewId::GradientBox,
                                          ViewId::PaletteBox};

long environmentNumber(const char* name, long fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

// Sends refreshes straight to the frame and runs posted ones after each
// step, as the event loop would; moves the child windows as the Qt window
// would after a layout change. The failure names seed and step: rerun with
// both to see the walk up to it.
class MonkeyPlatform : public ScriptedPlatform, public FrameHost {
 public:
  MainFrame* frame = nullptr;
  std::deque<std::pair<int, int>> posted;

  void sendRefresh(int level, int mask) override { frame->refresh(level, mask); }
  void postRefresh(int level, int mask) override { posted.push_back({level, mask}); }
  void sendBarAdjust(int p) override { frame->barAdjust(p); }
  void repaint(ViewId) override {}
  void layoutChanged() override {
    for (ViewId id : kViews) {
      const Rect r = frame->viewRect(id);
      frame->resizeView(id, std::max(r.width(), 0), std::max(r.height(), 0));
    }
  }
  void grabSplitPointer(bool) override {}
  void closeWindow() override {}
  void runPosted() {
    for (int guard = 0; !posted.empty() && guard < 64; ++guard) {
      auto [level, mask] = posted.front();
      posted.pop_front();
      frame->refresh(level, mask);
    }
    posted.clear();
  }
};

class Monkey : public ::testing::Test {
 protected:
  Monkey() {
    if (!writeDemoGameFolder(dir_.path(), nullptr)) throw std::runtime_error("demo folder");
    corpus_ = writeCorpus(dir_.file("bad"), malformedCorpus());
    platform_.frame = &frame_;
    auto& prefs = platform_.settings[settings::kPreferences];
    prefs[settings::kSkipIntro] = "1";
    prefs[settings::kPalettePath] = joinPath(base_, kDemoColormapPath);
    prefs[settings::kPhongPath] = joinPath(base_, kDemoPhongFolder);
    prefs[settings::kEnvPath] = joinPath(base_, kDemoEnvironmentFolder);
    const std::string model = joinPath(base_, kDemoModelPath);
    if (frame_.start(parseArguments({"pelt", "-base", base_, "-md2", model})) !=
        StartupResult::Ready)
      throw std::runtime_error("start-up failed");
    frame_.setClientSize(640, 480, 40);
    platform_.runPosted();
  }

  void step() {
    answerDialogsAtRandom();
    const int kind = pick(100);
    if (kind < 35) {
      runCommand(frame_, commandTable()[static_cast<size_t>(pick(commandCount_))].id);
    } else if (kind < 75) {
      mouse();
    } else if (kind < 83) {
      const int x = between(-5, 700), y = between(-5, 520);
      frame_.routeWheel(x, y, 120 * between(-3, 3));
    } else if (kind < 88) {
      const int w = pick(8) == 0 ? between(0, 40) : between(100, 700);
      const int h = pick(8) == 0 ? between(0, 40) : between(80, 520);
      frame_.setClientSize(w, h, std::min(40, h));
    } else if (kind < 96) {
      const auto list = static_cast<FrameList>(pick(kFrameListCount));
      const int index = between(-1, static_cast<int>(listContents(app_, list).entries.size()));
      if (list == FrameList::RenderModes)
        chooseRenderMode(frame_, index);
      else
        chooseListEntry(app_, list, index);
    } else {
      frame_.barAdjust(0);
      frame_.splitDragMove(between(-20, 700));
      frame_.splitDragRelease();
    }
    platform_.runPosted();
  }

  // The first broken invariant after a step, or "".
  std::string fault() {
    if (std::string f = modelFault(app_.model, held_ == std::array<unsigned, 4>{}); !f.empty())
      return f;
    std::vector<float> numbers(app_.shading.lightDirection.begin(),
                               app_.shading.lightDirection.end());
    numbers.insert(numbers.end(), {float(app_.lightExponent), float(app_.splitRatio)});
    if (const ModelView* view = frame_.modelView()) {
      numbers.insert(numbers.end(), view->eye.begin(), view->eye.end());
      numbers.insert(numbers.end(), view->target.begin(), view->target.end());
      numbers.push_back(view->fieldOfView);
    }
    if (!std::all_of(numbers.begin(), numbers.end(), [](float v) { return std::isfinite(v); }))
      return "a view or shading number is not finite";
    for (ViewId id : kViews) {
      const ViewImage image = frame_.view(id).image();
      if (image.width % 4 != 0 || image.height < 0 ||
          (image.width > 0 && image.height > 0 && !image.pixels))
        return "image of view " + std::to_string(static_cast<int>(id));
    }
    return "";
  }

  int pick(int count) {
    return std::uniform_int_distribution<int>(0, std::max(count, 1) - 1)(random_);
  }
  int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool coin() { return pick(2) == 0; }
  template <typename T>
  T oneOf(std::initializer_list<T> choices) {
    return choices.begin()[pick(static_cast<int>(choices.size()))];
  }
  template <typename T>
  std::optional<T> sometimesNot(T value) {
    return pick(3) == 0 ? std::nullopt : std::optional(value);
  }

  float anyFloat() {
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float infinity = std::numeric_limits<float>::infinity();
    return oneOf({0.0f, -1.0f, 1e30f, -1e-30f, nan, infinity, 12.5f, -300.0f});
  }
  int anySize() { return oneOf({-8, 0, 1, 3, 8, 16, 64, 100, 256, 641, 4097}); }
  std::string anyPath() {
    const std::string bad = corpus_[static_cast<size_t>(pick(static_cast<int>(corpus_.size())))];
    const std::string saved = dir_.file("out/saved" + std::to_string(pick(4)) + ".pcx");
    return oneOf({bad, joinPath(base_, kDemoModelPath), joinPath(base_, kDemoWeaponPath),
                  joinPath(base_, kDemoWeaponSkinPath), saved, saved.substr(0, saved.size() - 4),
                  joinPath(base_, kDemoColormapPath), joinPath(base_, "nothing/there.md2")});
  }
  std::string anyFolder() {
    return oneOf<std::string>({base_, joinPath(base_, kDemoPhongFolder),
                               joinPath(base_, kDemoEnvironmentFolder), dir_.file("bad/corpus"),
                               "/nonexistent", ""});
  }

  void answerDialogsAtRandom() {
    ScriptedPlatform& p = platform_;
    p.messageAnswers.clear();
    p.fileAnswers.clear();
    p.folderAnswers.clear();
    for (int i = 0; i < 3; ++i) {
      p.messageAnswers.push_back(
          oneOf({MessageAnswer::Ok, MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Cancel}));
      p.fileAnswers.push_back(sometimesNot(FileDialogResult{anyPath(), between(0, 4)}));
      p.folderAnswers.push_back(sometimesNot(anyFolder()));
    }
    p.preferencesAnswers = {sometimesNot(PreferencesValues{between(-1, 3), coin(), coin(), coin(),
                                                           anyPath(), anyFolder(), anyFolder()})};
    p.resizeAnswers = {sometimesNot(ResizeSkinsValues{anySize(), anySize(), coin()})};
    p.offsetAnswers = {OffsetCompanionValues{anyFloat(), anyFloat(), anyFloat()}};
    p.snapshotAnswers = {
        SnapshotValues{coin(), anySize(), anySize(), coin(), coin(), between(-5, 10005)}};
    p.mapFromViewAnswers = {MapFromViewValues{between(-1, 2), coin(), coin(), coin()}};
  }

  // Presses, moves and releases of any button in any order, and lost
  // captures. A view's gesture ends only with its own release.
  void mouse() {
    const auto index = static_cast<size_t>(pick(4));
    CoreView& view = frame_.view(kViews[index]);
    const unsigned button = oneOf({kButtonLeft, kButtonRight, kButtonMiddle});
    const int action = pick(10);  // press, press, press, move x4, release x2, capture lost
    if (action == 9) {
      held_[index] = 0;
      return view.captureLost();
    }
    if (action < 3) held_[index] |= button;
    if (action >= 7) held_[index] &= ~button;
    const Rect r = frame_.viewRect(kViews[index]);
    const int x = between(-10, std::max(r.width(), 0) + 10);
    const int y = between(-10, std::max(r.height(), 0) + 10);
    const MouseEvent e{x,
                       y,
                       r.left + x,
                       r.top + y,
                       action < 3 || action >= 7 ? button : kButtonNone,
                       held_[index],
                       pick(4) == 0,
                       pick(4) == 0};
    if (action < 3)
      view.mousePress(e);
    else if (action < 7)
      view.mouseMove(e);
    else
      view.mouseRelease(e);
  }

  const unsigned seed_ = static_cast<unsigned>(environmentNumber("PELT_MONKEY_SEED", 20261206));
  std::mt19937 random_{seed_};
  TempDir dir_;
  std::string base_ = dir_.file("baseq2");
  std::vector<std::string> corpus_;
  MonkeyPlatform platform_;
  App app_{platform_};
  MainFrame frame_{app_, platform_};
  std::array<unsigned, 4> held_{};  // buttons down per view
  const int commandCount_ = static_cast<int>(commandTable().size());
};

TEST_F(Monkey, RandomUseKeepsTheModelSound) {
  ASSERT_EQ(fault(), "");
  const long steps = environmentNumber("PELT_MONKEY_STEPS", 10000);
  for (long i = 0; i < steps; ++i) {
    step();
    if (std::string f = fault(); !f.empty())
      FAIL() << "seed " << seed_ << ", step " << i << ": " << f;
  }
}

}  // namespace
}  // namespace pelt::test
