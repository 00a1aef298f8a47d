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
#include <sstream>

#include "app/app.h"
#include "app/command_table.h"
#include "app/frame_lists.h"
#include "app/main_frame.h"
#include "demo/demo_folder.h"
#include "platform/paths.h"
#include "platform/settings_keys.h"
#include "support/fixtures.h"
#include "support/malformed_corpus.h"
#include "support/model_invariants.h"
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
// step, as the event loop would.
class MonkeyPlatform : public ScriptedPlatform {
 public:
  MainFrame* frame = nullptr;
  std::deque<std::pair<int, int>> posted;

  void sendRefresh(int level, int mask) override {
    if (frame) frame->refresh(level, mask);
  }
  void postRefresh(int level, int mask) override { posted.push_back({level, mask}); }
  void sendBarAdjust(int p) override {
    if (frame) frame->barAdjust(p);
  }
  void repaint(ViewId) override {}
  void runPosted() {
    for (int guard = 0; !posted.empty() && guard < 64; ++guard) {
      auto [level, mask] = posted.front();
      posted.pop_front();
      if (frame) frame->refresh(level, mask);
    }
    posted.clear();
  }
};

// Moves the child windows as the Qt window would after a layout change.
struct ResizingHost : FrameHost {
  MainFrame* frame = nullptr;
  void layoutChanged() override {
    if (!frame) return;
    for (ViewId id : kViews) {
      Rect r = frame->viewRect(id);
      frame->resizeView(id, std::max(r.width(), 0), std::max(r.height(), 0));
    }
  }
  void grabSplitPointer(bool) override {}
  void closeWindow() override {}
};

class Monkey {
 public:
  explicit Monkey(unsigned seed) : random_(seed) {
    std::string error;
    if (!writeDemoGameFolder(dir_.path(), &error)) throw std::runtime_error(error);
    base_ = dir_.file("baseq2");
    corpus_ = writeCorpus(dir_.file("bad"), malformedCorpus());
    platform_.frame = &frame_;
    host_.frame = &frame_;
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
    for (const Command& c : commandTable()) commands_.push_back(c.id);
  }

  // One random action; returns its description.
  std::string step() {
    answerDialogsAtRandom();
    std::ostringstream what;
    const int kind = pick(100);
    if (kind < 35)
      runACommand(what);
    else if (kind < 75)
      mouse(what);
    else if (kind < 83)
      wheel(what);
    else if (kind < 88)
      resize(what);
    else if (kind < 96)
      chooseInAList(what);
    else
      splitDrag(what);
    platform_.runPosted();
    platform_.messages.clear();
    platform_.fileRequests.clear();
    platform_.folderTitles.clear();
    return what.str();
  }

  // The first broken invariant after a step, or "".
  std::string fault() {
    const bool settled = std::all_of(held_.begin(), held_.end(), [](unsigned b) { return b == 0; });
    if (std::string f = modelFault(app_.model, settled); !f.empty()) return f;
    std::vector<float> numbers = {static_cast<float>(app_.lightExponent),
                                  static_cast<float>(app_.splitRatio)};
    numbers.insert(numbers.end(), app_.shading.lightDirection.begin(),
                   app_.shading.lightDirection.end());
    if (const ModelView* view = frame_.modelView()) {
      numbers.insert(numbers.end(), view->eye.begin(), view->eye.end());
      numbers.insert(numbers.end(), view->target.begin(), view->target.end());
      numbers.push_back(view->fieldOfView);
    }
    for (float v : numbers)
      if (!std::isfinite(v)) return "a view or shading number is not finite";
    for (ViewId id : kViews) {
      const ViewImage image = frame_.view(id).image();
      if (image.width % 4 != 0 || image.height < 0 ||
          (image.width > 0 && image.height > 0 && !image.pixels))
        return "image of view " + std::to_string(static_cast<int>(id));
    }
    return "";
  }

 private:
  int pick(int count) {
    return std::uniform_int_distribution<int>(0, std::max(count, 1) - 1)(random_);
  }
  int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool coin() { return pick(2) == 0; }

  float anyFloat() {
    const float odd[] = {0.0f,
                         -1.0f,
                         1e30f,
                         -1e-30f,
                         std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(),
                         12.5f,
                         -300.0f};
    return odd[pick(8)];
  }
  int anySize() {
    const int sizes[] = {-8, 0, 1, 3, 8, 16, 64, 100, 256, 641, 4097};
    return sizes[pick(11)];
  }

  std::string anyPath() {
    switch (pick(6)) {
      case 0:
        return corpus_[static_cast<size_t>(pick(static_cast<int>(corpus_.size())))];
      case 1:
        return joinPath(base_, kDemoModelPath);
      case 2:
        return joinPath(base_, kDemoWeaponPath);
      case 3:
        return joinPath(base_, kDemoWeaponSkinPath);
      case 4:
        return dir_.file("out/saved" + std::to_string(pick(4)) + (coin() ? ".pcx" : ""));
      default:
        return joinPath(base_, coin() ? kDemoColormapPath : "nothing/there.md2");
    }
  }
  std::string anyFolder() {
    const std::string folders[] = {base_,
                                   joinPath(base_, kDemoPhongFolder),
                                   joinPath(base_, kDemoEnvironmentFolder),
                                   dir_.file("bad/corpus"),
                                   "/nonexistent",
                                   ""};
    return folders[pick(6)];
  }

  void answerDialogsAtRandom() {
    ScriptedPlatform& p = platform_;
    p.messageAnswers.clear();
    p.fileAnswers.clear();
    p.folderAnswers.clear();
    for (int i = 0; i < 3; ++i) {
      const MessageAnswer answers[] = {MessageAnswer::Ok, MessageAnswer::Yes, MessageAnswer::No,
                                       MessageAnswer::Cancel};
      p.messageAnswers.push_back(answers[pick(4)]);
      if (pick(5) == 0)
        p.fileAnswers.push_back(std::nullopt);
      else
        p.answerFile(anyPath(), between(0, 4));
      p.folderAnswers.push_back(pick(5) == 0 ? std::nullopt : std::optional(anyFolder()));
    }
    p.preferencesAnswers = {
        pick(3) == 0 ? std::nullopt
                     : std::optional(PreferencesValues{between(-1, 3), coin(), coin(), coin(),
                                                       anyPath(), anyFolder(), anyFolder()})};
    p.resizeAnswers = {pick(3) == 0
                           ? std::nullopt
                           : std::optional(ResizeSkinsValues{anySize(), anySize(), coin()})};
    p.offsetAnswers = {OffsetCompanionValues{anyFloat(), anyFloat(), anyFloat()}};
    p.snapshotAnswers = {
        SnapshotValues{coin(), anySize(), anySize(), coin(), coin(), between(-5, 10005)}};
    p.mapFromViewAnswers = {MapFromViewValues{between(-1, 2), coin(), coin(), coin()}};
  }

  void runACommand(std::ostringstream& what) {
    const int id = commands_[static_cast<size_t>(pick(static_cast<int>(commands_.size())))];
    what << "command " << id;
    runCommand(frame_, id);
  }

  MouseEvent mouseAt(ViewId id, unsigned button) {
    const Rect r = frame_.viewRect(id);
    MouseEvent e;
    e.x = between(-10, std::max(r.width(), 0) + 10);
    e.y = between(-10, std::max(r.height(), 0) + 10);
    e.screenX = r.left + e.x;
    e.screenY = r.top + e.y;
    e.button = button;
    e.shift = pick(4) == 0;
    e.ctrl = pick(4) == 0;
    return e;
  }

  // Presses, moves and releases of any button in any order, and lost
  // captures. A view's gesture ends only with its own release.
  void mouse(std::ostringstream& what) {
    const auto index = static_cast<size_t>(pick(4));
    CoreView& view = frame_.view(kViews[index]);
    const unsigned button =
        std::array{kButtonLeft, kButtonRight, kButtonMiddle}[static_cast<size_t>(pick(3))];
    const int action = pick(10);
    what << "view " << index << " action " << action << " button " << button;
    unsigned& held = held_[index];
    if (action == 9) {
      held = 0;
      view.captureLost();
      return;
    }
    if (action < 3) held |= button;
    if (action >= 7) held &= ~button;
    MouseEvent e = mouseAt(kViews[index], action < 3 || action >= 7 ? button : kButtonNone);
    e.buttons = held;
    what << " at " << e.x << "," << e.y;
    if (action < 3)
      view.mousePress(e);
    else if (action < 7)
      view.mouseMove(e);
    else
      view.mouseRelease(e);
  }

  void wheel(std::ostringstream& what) {
    const int x = between(-5, 700), y = between(-5, 520), delta = 120 * between(-3, 3);
    what << "wheel " << delta << " at " << x << "," << y;
    frame_.routeWheel(x, y, delta);
  }

  void resize(std::ostringstream& what) {
    const int w = pick(8) == 0 ? between(0, 40) : between(100, 700);
    const int h = pick(8) == 0 ? between(0, 40) : between(80, 520);
    what << "client size " << w << "x" << h;
    frame_.setClientSize(w, h, std::min(40, h));
  }

  void chooseInAList(std::ostringstream& what) {
    const auto list = static_cast<FrameList>(pick(kFrameListCount));
    const int count = static_cast<int>(listContents(app_, list).entries.size());
    const int index = between(-1, count);
    what << "list " << static_cast<int>(list) << " entry " << index;
    if (list == FrameList::RenderModes)
      chooseRenderMode(frame_, index);
    else
      chooseListEntry(app_, list, index);
  }

  void splitDrag(std::ostringstream& what) {
    what << "split drag";
    frame_.barAdjust(0);
    frame_.splitDragMove(between(-20, 700));
    frame_.splitDragRelease();
  }

  std::mt19937 random_;
  TempDir dir_;
  std::string base_;
  std::vector<std::string> corpus_;
  MonkeyPlatform platform_;
  App app_{platform_};
  ResizingHost host_;
  MainFrame frame_{app_, host_};
  std::vector<int> commands_;
  std::array<unsigned, 4> held_{};  // buttons down per view
};

TEST(Monkey, RandomUseKeepsTheModelSound) {
  const auto seed = static_cast<unsigned>(environmentNumber("PELT_MONKEY_SEED", 20261206));
  const long steps = environmentNumber("PELT_MONKEY_STEPS", 10000);
  Monkey monkey(seed);
  ASSERT_EQ(monkey.fault(), "");
  std::deque<std::string> recent;
  for (long i = 0; i < steps; ++i) {
    recent.push_back(monkey.step());
    if (recent.size() > 12) recent.pop_front();
    if (std::string fault = monkey.fault(); !fault.empty()) {
      std::string trail;
      for (const std::string& s : recent) trail += "\n  " + s;
      FAIL() << "seed " << seed << ", step " << i << ": " << fault << "; last actions:" << trail;
    }
  }
}

}  // namespace
}  // namespace pelt::test
