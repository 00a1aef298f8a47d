#include "cli/render_commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "app/app.h"
#include "app/game_folder.h"
#include "app/map_commands.h"
#include "app/model_loading.h"
#include "app/tables.h"
#include "cli/console_platform.h"
#include "platform/paths.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "view3d/model_view.h"

namespace pelt::cli {

namespace {

struct SceneOptions {
  std::string model;
  std::string out;
  int mode = kModeTextured;
  int width = 640;
  int height = 480;
  int frame = 0;
  int frames = 100;
  bool mapping = false;
  std::string skin, phong, env, colormap;
};

bool parseSize(const std::string& text, int& w, int& h) {
  return std::sscanf(text.c_str(), "%dx%d", &w, &h) == 2 && w > 0 && h > 0 && h <= 2048 &&
         w <= 8192;
}

std::optional<SceneOptions> parseOptions(const std::vector<std::string>& args, bool wantsOut) {
  SceneOptions o;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--mapping") o.mapping = true;
    else if (a == "--mode" && hasValue) o.mode = std::atoi(args[++i].c_str());
    else if (a == "--frame" && hasValue) o.frame = std::atoi(args[++i].c_str());
    else if (a == "--frames" && hasValue) o.frames = std::max(1, std::atoi(args[++i].c_str()));
    else if (a == "--size" && hasValue) {
      if (!parseSize(args[++i], o.width, o.height)) return std::nullopt;
    } else if (a == "--skin" && hasValue) o.skin = args[++i];
    else if (a == "--phong" && hasValue) o.phong = args[++i];
    else if (a == "--env" && hasValue) o.env = args[++i];
    else if (a == "--colormap" && hasValue) o.colormap = args[++i];
    else if (a.rfind("--", 0) == 0) return std::nullopt;
    else positional.push_back(a);
  }
  if (positional.size() != (wantsOut ? 2u : 1u) || o.mode < 0 || o.mode > 8) return std::nullopt;
  o.model = positional[0];
  if (wantsOut) o.out = positional[1];
  return o;
}

bool addMap(App& app, MapKind kind, const std::string& path) {
  std::unique_ptr<Skin> map = readSkinImage(app.platform, path);
  if (!map || map->width != kMapSize || map->height != kMapSize) return false;
  if (kind == MapKind::Phong)
    for (auto& texel : map->pixels) texel = static_cast<std::uint8_t>(texel >> kPhongShift);
  MapList& list = mapList(app, kind);
  list.currentIndex = static_cast<int>(list.maps.size());
  list.current = map.get();
  list.maps.push_back(std::move(map));
  return true;
}

// Explicit files, else the first map of the game folder's "phongs" and
// "enviros" and its pics/colormap.pcx.
bool loadScene(App& app, const SceneOptions& o) {
  app.baseFolder = baseFolderFor(o.model);
  if (!loadMd2(app, o.model)) return false;
  Model& model = app.model;
  model.currentFrameIndex = std::clamp(o.frame, 0, std::max(0, int(model.frames.size()) - 1));
  computeFaceNormals(model);
  if (!o.skin.empty()) {
    std::unique_ptr<Skin> skin = readSkinImage(app.platform, o.skin);
    if (!skin) return false;
    model.skins.push_back(std::move(skin));
    model.currentSkinIndex = static_cast<int>(model.skins.size()) - 1;
  }
  const std::string colormap =
      o.colormap.empty() ? joinPath(app.baseFolder, "pics/colormap.pcx") : o.colormap;
  app.platform.writeString(settings::kPreferences, settings::kPalettePath, colormap);
  for (auto [kind, file, folder] : {std::tuple{MapKind::Phong, o.phong, "phongs"},
                                    std::tuple{MapKind::Environment, o.env, "enviros"}}) {
    if (!file.empty()) {
      if (!addMap(app, kind, file)) return false;
      continue;
    }
    const std::string dir = joinPath(app.baseFolder, folder);
    for (const char* ext : {".pcx", ".bmp"})
      for (const std::string& name : listFilesWithExtension(dir, ext))
        if (mapList(app, kind).current == nullptr) addMap(app, kind, joinPath(dir, name));
  }
  app.interactionMode = o.mapping ? kInteractionMapping : kInteractionMeshPaint;
  rebuildShadeCurve(app);
  rebuildShadeRamps(app);
  return true;
}

std::unique_ptr<ModelView> makeView(App& app) {
  return std::make_unique<ModelView>(ModelViewInputs{
      app.platform, app.model, app.rasterizer, app.shading, app.colorSlots, app.renderMode,
      app.interactionMode, app.phongMaps.current, app.envMaps.current, {}});
}

// The mode goes through the same availability check as the list.
bool enterMode(App& app, ModelView& view, int mode) {
  const int from = mode == kModeTextured ? kModeWireframe : app.renderMode;
  if (!view.checkRenderModeChange(from, mode)) return false;
  app.renderMode = mode;
  rebuildShadeCurve(app);
  return true;
}

bool writeViewBmp(Platform& platform, const ModelView& view, const std::string& path) {
  Skin picture;
  allocateSkin(picture, view.viewWidth(), view.viewHeight());
  picture.palette = view.viewPalette();
  const auto pitch = static_cast<size_t>(view.viewWidth());
  const auto rows = static_cast<size_t>(view.viewHeight());
  for (size_t y = 0; y < rows; ++y)
    std::copy_n(view.pixels().begin() + static_cast<std::ptrdiff_t>((rows - 1 - y) * pitch), pitch,
                picture.pixels.begin() + static_cast<std::ptrdiff_t>(y * pitch));
  return writeSkinBmp(platform, picture, path);
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

bool setUpScene(Scene& scene, const SceneOptions& o) {
  if (!loadScene(scene.app, o)) return false;
  scene.view = makeView(scene.app);
  if (!enterMode(scene.app, *scene.view, o.mode)) return false;
  scene.view->resize(o.width, o.height);
  return true;
}

}  // namespace

int runRender(const std::vector<std::string>& args) {
  std::optional<SceneOptions> o = parseOptions(args, true);
  if (!o) return 2;
  Scene scene;
  if (!setUpScene(scene, *o)) return 1;
  return writeViewBmp(scene.platform, *scene.view, o->out) ? 0 : 1;
}

int runBench(const std::vector<std::string>& args) {
  std::optional<SceneOptions> o = parseOptions(args, false);
  if (!o) return 2;
  Scene scene;
  if (!setUpScene(scene, *o)) return 1;
  ModelView& view = *scene.view;
  const double quick = timeFrames(o->frames, [&] { view.render(kRedrawQuick); });
  const double full = timeFrames(o->frames, [&] { view.render(kRedrawFull); });
  std::printf("mode %d, %dx%d, %d frames\nquick: %.3f ms\nfull: %.3f ms\n", o->mode,
              view.viewWidth(), view.viewHeight(), o->frames, quick, full);
  return 0;
}

}  // namespace pelt::cli
