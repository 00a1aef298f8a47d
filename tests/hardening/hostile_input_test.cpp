// Hostile input and hostile use. Every malformed file goes through the path
// a user would take: File/Open's loader for models, Skins/Open for images,
// Re-Palette for palettes. Then a seeded random walk over every command of
// the table and the four views' mouse, wheel and resize events, with dialogs
// answered at random (bad values included); the model's invariants are
// checked after every step.
//
// PELT_MONKEY_STEPS and PELT_MONKEY_SEED change the walk's length and seed;
// a failure names both, so the walk up to it can be rerun.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>

#include "app/app.h"
#include "app/command_table.h"
#include "app/commands/edit.h"
#include "app/commands/file_open.h"
#include "app/commands/skins.h"
#include "app/commands/skins_palette.h"
#include "app/frame_lists.h"
#include "app/main_frame.h"
#include "demo/demo_folder.h"
#include "model/mapping_file.h"
#include "model/md2_format.h"
#include "platform/paths.h"
#include "platform/settings_keys.h"
#include "skins/png_file.h"
#include "skins/skin_image.h"
#include "skins/tga_file.h"
#include "support/fixtures.h"
#include "support/malformed_corpus.h"
#include "support/model_invariants.h"
#include "support/scripted_platform.h"
#include "view3d/model_view.h"

namespace pelt::test {
namespace {

// Everything a refused file must leave as it was.
std::string fingerprint(const App& app) {
  const Model& m = app.model;
  std::string out(app.rawModelImage.begin(), app.rawModelImage.end());
  auto add = [&out](const auto* data, size_t count) {
    out.append(reinterpret_cast<const char*>(data), count * sizeof(*data));
  };
  add(&m.currentSkinIndex, 1);
  add(m.stCoords.data(), static_cast<size_t>(m.stCount));
  for (int i = 0; i < m.triangleCount; ++i) add(m.triangles[i].vertexIndex.data(), 3);
  for (const ModelFrame& f : m.frames) add(f.vertices.data(), f.vertices.size());
  for (const auto& skin : m.skins) {
    out += skin->name;
    add(skin->pixels.data(), skin->pixels.size());
    add(skin->palette.data(), skin->palette.size());
  }
  return out;
}

// Runs one file through its path; returns whether it was taken.
bool offer(App& app, ScriptedPlatform& platform, const CorpusFile& file, const std::string& path) {
  if (file.kind == CorpusKind::Md2) return loadMd2(app, path);
  platform.answerFile(path);
  if (file.kind == CorpusKind::Palette) {
    rePalette(app);
    return platform.messages.empty();
  }
  const size_t before = app.model.skins.size();
  openSkin(app);
  return app.model.skins.size() != before ||
         platform.messageTexts() == std::vector<std::string>{kWrongDimensionsMessage};
}

TEST(MalformedCorpus, EachFileIsRefusedWithItsMessageOrTakenSanely) {
  TempDir dir;
  ScriptedPlatform platform;
  App app{platform};
  app.baseFolder = app.loadFolder = dir.path();
  platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 1);
  const std::vector<CorpusFile> corpus = malformedCorpus();
  const std::vector<std::string> paths = writeCorpus(dir.path(), corpus);
  ASSERT_GE(corpus.size(), 60u);
  for (size_t i = 0; i < corpus.size(); ++i) {
    const CorpusFile& file = corpus[i];
    SCOPED_TRACE(file.name);
    ASSERT_TRUE(loadMd2(app, dir.file("corpus/good.md2")));
    platform.messages.clear();
    const std::string before = fingerprint(app);
    EXPECT_EQ(offer(app, platform, file, paths[i]), !file.refused);
    if (file.refused) {
      std::string message = file.message;
      if (const size_t at = message.find("{path}"); at != std::string::npos)
        message.replace(at, 6, paths[i]);
      EXPECT_EQ(platform.messageTexts(),
                std::vector<std::string>(message.empty() ? 0 : 1, message));
      EXPECT_EQ(fingerprint(app), before);
      continue;
    }
    for (const std::string& text : platform.messageTexts())
      EXPECT_TRUE(text.starts_with(kMissingSkinMessage) || text == kWrongSkinSizeMessage ||
                  text == kWrongDimensionsMessage || text == kNotValidSkinMessage)
          << text;
    EXPECT_EQ(modelFault(app.model, true), "");
    // Names that point outside the base folder or at special files become
    // stand-ins, never reads.
    EXPECT_TRUE(!file.name.starts_with("skin_name_") ||
                (app.model.skins.size() == 1 && !app.model.skins[0]->hasFile));
  }
}

// A file far longer than its header allows is read only that far (and, for
// a PCX, its closing palette), and what is read decodes as the file alone.
TEST(OversizedFiles, AreReadOnlyAsFarAsTheirHeadersAllow) {
  TempDir dir;
  const Bytes pcx = encodeSkinPcx(patternSkin(16, 8));
  Model mapped;
  mapped.triangleCount = 3;
  const std::tuple<std::string, Bytes, ReadPlanner, size_t> cases[] = {
      {"m.md2", encodeMd2(quadStripMd2(2, 16, 8, {"a.pcx"})), md2ReadPlan, 0},
      {"m.pmp", encodeMappingFile(mapped), mappingReadPlan, 0},
      {"s.bmp", encodeSkinBmp(patternSkin(16, 8)), skinImageReadPlan, 0},
      {"s.pcx", pcx, skinImageReadPlan, 128 + 2 * 16 * 8 + 769},
      {"s.tga", encodeSkinTga(patternSkin(16, 8)), skinImageReadPlan, 0},
      // Room for other chunks beside the pixels stored uncompressed.
      {"s.png", encodeSkinPng(patternSkin(16, 8)), skinImageReadPlan,
       33 + (16 * 8 + 7) * 8 + (8 << 20)},
  };
  for (const auto& [name, file, plan, read] : cases) {
    // 64 MB more: after the end, or before a PCX's palette.
    const size_t palette = name == "s.pcx" ? 769 : 0;
    const std::string path = dir.write(name, Bytes(file.begin(), file.end() - palette));
    std::filesystem::resize_file(path, file.size() + (64 << 20));
    std::ofstream(path, std::ios::binary | std::ios::app)
        .write(reinterpret_cast<const char*>(&*(file.end() - palette)), palette);
    const FileReadResult got = readFile(path, plan);
    EXPECT_EQ(got.bytes.size(), read ? read : file.size()) << name;
  }
  const Bytes shortPcx = readFile(dir.file("s.pcx"), skinImageReadPlan).bytes;
  EXPECT_EQ(decodeSkinImage(shortPcx).skin->pixels, decodeSkinImage(pcx).skin->pixels);
  EXPECT_EQ(decodeSkinImage(shortPcx).skin->palette, decodeSkinImage(pcx).skin->palette);
}

constexpr std::array<ViewId, 4> kViews = {ViewId::SkinView, ViewId::ModelView, ViewId::GradientBox,
                                          ViewId::PaletteBox};

long environmentNumber(const char* name, long fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

// Plays the user, the dialogs and the event loop: refreshes go straight to
// the frame, posted ones run after each step, and a layout change moves the
// child windows as the Qt window would.
class Monkey : public ::testing::Test, public ScriptedPlatform, public FrameHost {
 protected:
  Monkey() {
    if (!writeDemoGameFolder(dir_.path(), nullptr)) throw std::runtime_error("demo folder");
    corpus_ = writeCorpus(dir_.file("bad"), malformedCorpus());
    auto& prefs = settings[pelt::settings::kPreferences];
    prefs[pelt::settings::kSkipIntro] = "1";
    prefs[pelt::settings::kPalettePath] = joinPath(base_, kDemoColormapPath);
    prefs[pelt::settings::kPhongPath] = joinPath(base_, kDemoPhongFolder);
    prefs[pelt::settings::kEnvPath] = joinPath(base_, kDemoEnvironmentFolder);
    const std::string model = joinPath(base_, kDemoModelPath);
    if (frame_.start(parseArguments({"pelt", "-base", base_, "-md2", model})) !=
        StartupResult::Ready)
      throw std::runtime_error("start-up failed");
    frame_.setClientSize(640, 480, 40);
    runPosted();
  }

  void sendRefresh(int level, int mask) override { frame_.refresh(level, mask); }
  void postRefresh(int level, int mask) override { posted_.push_back({level, mask}); }
  void sendBarAdjust(int p) override { frame_.barAdjust(p); }
  void layoutChanged() override {
    for (ViewId id : kViews) {
      const Rect r = frame_.viewRect(id);
      frame_.resizeView(id, std::max(r.width(), 0), std::max(r.height(), 0));
    }
  }
  void grabSplitPointer(bool) override {}
  void closeWindow() override {}
  void runPosted() {
    for (int guard = 0; !posted_.empty() && guard < 64; ++guard) {
      auto [level, mask] = posted_.front();
      posted_.pop_front();
      frame_.refresh(level, mask);
    }
  }

  // Dialogs: any answer, any values; two of three times the user presses OK.
  MessageAnswer messageBox(const std::string&, MessageButtons) override {
    return oneOf({MessageAnswer::Ok, MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Cancel});
  }
  std::optional<FileDialogResult> fileDialog(const FileDialogRequest&) override {
    return pick(3) == 0 ? std::nullopt : std::optional(FileDialogResult{anyPath(), between(0, 4)});
  }
  std::optional<std::string> browseFolder(const std::string&) override {
    return pick(3) == 0 ? std::nullopt : std::optional(anyFolder());
  }
  template <typename T>
  bool fill(T& values, T given) {
    values = given;
    return pick(3) != 0;
  }
  bool resizeSkinsDialog(ResizeSkinsValues& v) override {
    return fill(v, {anySize(), anySize(), coin()});
  }
  bool offsetCompanionDialog(OffsetCompanionValues& v) override {
    return fill(v, {anyFloat(), anyFloat(), anyFloat()});
  }
  bool preferencesDialog(PreferencesValues& v) override {
    return fill(v, {between(-1, 3), coin(), coin(), coin(), anyPath(), anyFolder(), anyFolder()});
  }
  bool snapshotsDialog(SnapshotValues& v) override {
    return fill(v, {coin(), anySize(), anySize(), coin(), coin(), between(-5, 10005)});
  }
  bool mapFromViewDialog(MapFromViewValues& v) override {
    return fill(v, {between(-1, 2), coin(), coin(), coin()});
  }

  void step() {
    const int kind = pick(100);
    if (kind < 29) {
      runCommand(frame_, commandTable()[static_cast<size_t>(pick(commandCount_))].id);
    } else if (kind < 35) {
      runCommand(frame_, coin() ? kUndoId : kRedoId);  // often, in any state
    } else if (kind < 75) {
      mouse();
    } else if (kind < 83) {
      const int x = between(-5, 700), y = between(-5, 520);
      frame_.routeWheel(x, y, 120 * between(-3, 3));
    } else if (kind < 88) {
      const int w = pick(8) == 0 ? between(0, 40) : between(100, 700);
      const int h = pick(8) == 0 ? between(0, 40) : between(80, 520);
      frame_.setClientSize(w, h, std::min(40, h));
    } else {
      const auto list = static_cast<FrameList>(pick(kFrameListCount));
      const int index = between(-1, static_cast<int>(listContents(app_, list).entries.size()));
      list == FrameList::RenderModes ? chooseRenderMode(frame_, index)
                                     : chooseListEntry(app_, list, index);
    }
    runPosted();
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
    const unsigned changed = action < 3 || action >= 7 ? button : kButtonNone;
    const MouseEvent e{x, y, r.left + x, r.top + y, changed, held_[index], coin(), coin()};
    (view.*(action < 3   ? &CoreView::mousePress
            : action < 7 ? &CoreView::mouseMove
                         : &CoreView::mouseRelease))(e);
  }

  // The first broken invariant after a step, or "".
  std::string fault() {
    if (std::string f = modelFault(app_.model, held_ == std::array<unsigned, 4>{}); !f.empty())
      return f;
    const ModelView& view = *frame_.modelView();
    const auto& light = app_.shading.lightDirection;
    for (double v : std::initializer_list<double>{
             light[0], light[1], light[2], view.eye[0], view.eye[1], view.eye[2], view.target[0],
             view.target[1], view.target[2], view.fieldOfView, app_.lightExponent, app_.splitRatio})
      if (!std::isfinite(v)) return "a view, light or split number is not finite";
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

  const unsigned seed_ = static_cast<unsigned>(environmentNumber("PELT_MONKEY_SEED", 20261206));
  std::mt19937 random_{seed_};
  TempDir dir_;
  std::string base_ = dir_.file("baseq2");
  std::vector<std::string> corpus_;
  std::deque<std::pair<int, int>> posted_;
  App app_{*this};
  MainFrame frame_{app_, *this};
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
