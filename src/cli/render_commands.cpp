#include "cli/render_commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "app/app.h"
#include "app/commands/file_open.h"
#include "app/commands/options_maps.h"
#include "app/game_folder.h"
#include "app/main_frame.h"
#include "app/tables.h"
#include "app/view_factory.h"
#include "cli/cli_args.h"
#include "cli/console_platform.h"
#include "model/md2_format.h"
#include "platform/paths.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "view3d/model_view.h"

namespace pelt::cli {

namespace {

constexpr const char* kMapSizeMessage = "Incorrect dimensions! Maps must be 256x256";

struct SceneOptions {
  std::string model;
  std::string out;
  int mode = kModeTextured;
  int width = 640;
  int height = 480;
  int frame = 0;
  int frames = 100;
  bool mapping = false;
  std::string skin, phong, env, colormap, base;
};

constexpr int kMaxWidth = 8192;
constexpr int kMaxHeight = 2048;
constexpr int kMaxFrameIndex = 32767;
constexpr int kMaxBenchFrames = 1000000;

// The options, or the reason they are refused (printed, exit code 2).
struct ParsedOptions {
  std::optional<SceneOptions> options;
  std::string error;
};

ParsedOptions parseOptions(const std::vector<std::string>& args, bool wantsOut) {
  SceneOptions o;
  std::string error;
  std::vector<std::string> positional;
  auto refuse = [](std::string why) { return ParsedOptions{std::nullopt, std::move(why)}; };
  auto number = [&](const std::string& option, const std::string& text, int min, int max,
                    int& into) {
    std::optional<int> value = parseWholeNumber(option, text, min, max, error);
    if (value) into = *value;
    return value.has_value();
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--mapping") {
      o.mapping = true;
      continue;
    }
    if (a.rfind("--", 0) != 0) {
      positional.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) return refuse(a + " needs a value");
    const std::string& v = args[++i];
    bool ok = true;
    if (a == "--mode") ok = number(a, v, kModeWireframe, kModeTexturedPhong, o.mode);
    else if (a == "--frame") ok = number(a, v, 0, kMaxFrameIndex, o.frame);
    else if (a == "--frames") ok = number(a, v, 1, kMaxBenchFrames, o.frames);
    else if (a == "--size") ok = parseSize(a, v, kMaxWidth, kMaxHeight, o.width, o.height, error);
    else if (a == "--skin") o.skin = v;
    else if (a == "--phong") o.phong = v;
    else if (a == "--env") o.env = v;
    else if (a == "--colormap") o.colormap = v;
    else if (a == "--base") o.base = v;
    else return refuse("unknown option " + a);
    if (!ok) return refuse(error);
  }
  if (positional.size() != (wantsOut ? 2u : 1u))
    return refuse(wantsOut ? "expected MODEL and OUT" : "expected MODEL");
  o.model = positional[0];
  if (wantsOut) {
    o.out = positional[1];
    if (!outputImageKind(o.out, error)) return refuse(error);
  }
  return {o, ""};
}

// An image the user named (a file, else a name in the game's files): on
// failure says which and why.
std::unique_ptr<Skin> readNamedImage(App& app, const std::string& path) {
  FileReadResult file = app.gameFiles.readPath(path, nullptr, skinImageReadPlan);
  if (!file.ok()) {
    std::cerr << path << ": " << readErrorText(file.error) << "\n";
    return nullptr;
  }
  SkinDecodeResult decoded = decodeSkinImage(file.bytes);
  if (decoded.picture)
    std::cerr << path << kTrueColourRefusedMessage << "\n";
  else if (!decoded.skin)
    std::cerr << path << ": " << decoded.message << "\n";
  return std::move(decoded.skin);
}

bool addMap(App& app, MapKind kind, const std::string& path, bool named) {
  std::unique_ptr<Skin> map =
      named ? readNamedImage(app, path) : readGameSkin(app.platform, app.gameFiles, path);
  if (!map) return false;
  if (map->width != kMapSize || map->height != kMapSize) {
    if (named) std::cerr << path << ": " << kMapSizeMessage << "\n";
    return false;
  }
  if (kind == MapKind::Phong)
    for (auto& texel : map->pixels) texel = static_cast<std::uint8_t>(texel >> kPhongShift);
  MapList& list = mapList(app, kind);
  list.currentIndex = static_cast<int>(list.maps.size());
  list.current = map.get();
  list.maps.push_back(std::move(map));
  return true;
}

// Explicit files, else the first map of the game folder's "phongs" and
// "enviros" (else the program's own) and its pics/colormap.pcx. Returns an
// exit code.
int loadScene(App& app, const SceneOptions& o) {
  app.baseFolder = o.base.empty() ? baseFolderFor(o.model) : o.base;
  app.dataFolder = programDataFolder();
  FileReadResult modelFile = app.gameFiles.readPath(o.model, nullptr, md2ReadPlan);
  if (!modelFile.ok()) {
    std::cerr << o.model << ": " << readErrorText(modelFile.error) << "\n";
    return kExitFailure;
  }
  if (!loadMd2Bytes(app, o.model, std::move(modelFile.bytes))) return kExitFailure;
  Model& model = app.model;
  const int frameCount = static_cast<int>(model.frames.size());
  if (o.frame >= frameCount) {
    std::cerr << "--frame: " << o.frame << " is out of range (0 to " << frameCount - 1 << ")\n";
    return kExitUsage;
  }
  model.currentFrameIndex = o.frame;
  computeFaceNormals(model);
  if (!o.skin.empty()) {
    std::unique_ptr<Skin> skin = readNamedImage(app, o.skin);
    if (!skin) return kExitFailure;
    if (skin->width != model.skinWidth || skin->height != model.skinHeight) {
      std::cerr << o.skin << ": " << kCommandLineSkinSizeError << "\n";
      return kExitFailure;
    }
    model.skins.push_back(std::move(skin));
    model.currentSkinIndex = static_cast<int>(model.skins.size()) - 1;
  }
  if (!o.colormap.empty()) {
    if (!readNamedImage(app, o.colormap)) return kExitFailure;
    app.platform.writeString(settings::kPreferences, settings::kPalettePath, o.colormap);
  }
  for (auto [kind, file] :
       {std::pair{MapKind::Phong, o.phong}, std::pair{MapKind::Environment, o.env}}) {
    if (!file.empty()) {
      if (!addMap(app, kind, file, true)) return kExitFailure;
      continue;
    }
    std::vector<std::string> dirs{
        joinPath(app.baseFolder, kind == MapKind::Phong ? kMapFolderPhongs : kMapFolderEnviros)};
    if (!app.dataFolder.empty()) dirs.push_back(installedMapFolder(app, kind));
    for (const std::string& dir : dirs)
      for (const char* ext : {".pcx", ".bmp"})
        for (const GameFile& map : app.gameFiles.filesIn(dir, ext))
          if (mapList(app, kind).current == nullptr) addMap(app, kind, map.path, false);
  }
  app.interactionMode = o.mapping ? kInteractionMapping : kInteractionMeshPaint;
  rebuildShadeCurve(app);
  rebuildShadeRamps(app);
  return 0;
}

// The mode goes through the same availability check as the list.
bool enterMode(App& app, ModelView& view, int mode) {
  const int from = mode == kModeTextured ? kModeWireframe : app.renderMode;
  if (!view.checkRenderModeChange(from, mode)) return false;
  app.renderMode = mode;
  rebuildShadeCurve(app);
  return true;
}

bool writeViewImage(Platform& platform, const ModelView& view, const std::string& path) {
  Skin picture;
  allocateSkin(picture, view.viewWidth(), view.viewHeight());
  picture.palette = view.viewPalette();
  const auto pitch = static_cast<size_t>(view.viewWidth());
  const auto rows = static_cast<size_t>(view.viewHeight());
  for (size_t y = 0; y < rows; ++y)
    std::copy_n(view.pixels().begin() + static_cast<std::ptrdiff_t>((rows - 1 - y) * pitch), pitch,
                picture.pixels.begin() + static_cast<std::ptrdiff_t>(y * pitch));
  std::string ignored;
  const std::optional<ImageKind> kind = outputImageKind(path, ignored);
  return writeSkinInFormat(platform, picture, path,
                           static_cast<std::uint8_t>(kind.value_or(ImageKind::Bmp)));
}

double medianMs(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

template <class F>
double timeFrames(int frames, F&& draw) {
  std::vector<double> samples;
  for (int i = 0; i < frames; ++i) {
    const auto start = std::chrono::steady_clock::now();
    draw();
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    samples.push_back(spent.count());
  }
  return medianMs(std::move(samples));
}

// A loaded model in a sized view, in the chosen mode.
struct Scene {
  ConsolePlatform platform;
  App app{platform};
  std::unique_ptr<ModelView> view;
};

int setUpScene(Scene& scene, const SceneOptions& o) {
  if (int code = loadScene(scene.app, o)) return code;
  scene.view = makeModelView(scene.app);
  if (!enterMode(scene.app, *scene.view, o.mode)) return kExitFailure;
  scene.view->resize(o.width, o.height);
  scene.view->render(kRedrawFull);
  return 0;
}

// The options, or the exit code after saying why they are refused.
std::optional<SceneOptions> checkedOptions(const std::vector<std::string>& args, bool wantsOut,
                                           int& code) {
  ParsedOptions parsed = parseOptions(args, wantsOut);
  if (!parsed.options) {
    std::cerr << parsed.error << "\n" << usageText();
    code = kExitUsage;
  }
  return parsed.options;
}

}  // namespace

int runRender(const std::vector<std::string>& args) {
  int code = 0;
  std::optional<SceneOptions> o = checkedOptions(args, true, code);
  if (!o) return code;
  Scene scene;
  if ((code = setUpScene(scene, *o))) return code;
  return writeViewImage(scene.platform, *scene.view, o->out) ? 0 : kExitFailure;
}

int runBench(const std::vector<std::string>& args) {
  int code = 0;
  std::optional<SceneOptions> o = checkedOptions(args, false, code);
  if (!o) return code;
  Scene scene;
  if ((code = setUpScene(scene, *o))) return code;
  ModelView& view = *scene.view;
  const double quick = timeFrames(o->frames, [&] { view.render(kRedrawQuick); });
  const double full = timeFrames(o->frames, [&] { view.render(kRedrawFull); });
  std::printf("mode %d, %dx%d, %d frames\nquick: %.3f ms\nfull: %.3f ms\n", o->mode,
              view.viewWidth(), view.viewHeight(), o->frames, quick, full);
  return 0;
}

}  // namespace pelt::cli
