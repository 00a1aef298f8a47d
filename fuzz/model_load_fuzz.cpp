// The whole model load: parse, geometry, st compaction, stored mapping,
// normals and skins resolved below a base folder; then one render of the
// model in every mode at both interaction modes.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/app.h"
#include "app/model_loading.h"
#include "demo/demo_maps.h"
#include "demo/demo_palette.h"
#include "fuzz_platform.h"
#include "platform/paths.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "view3d/model_view.h"

namespace {

using namespace pelt;

// Skins the seeds name, of the sizes they announce, and the colormap the
// lit modes need.
struct BaseFolder {
  std::string path;
  std::unique_ptr<Skin> phong, env;

  BaseFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pelt-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path = pattern;
    const Palette palette = makeDemoPalette();
    for (int side : {8, 16, 64}) {
      Skin skin;
      allocateSkin(skin, side, side);
      for (size_t i = 0; i < skin.pixels.size(); ++i) skin.pixels[i] = static_cast<std::uint8_t>(i * 7);
      skin.palette = palette;
      write("s" + std::to_string(side) + ".pcx", encodeSkinPcx(skin));
      write("Models/S" + std::to_string(side) + ".BMP", encodeSkinBmp(skin));
    }
    write("colormap.pcx", encodeSkinPcx(makeColormapImage(palette)));
    phong = std::make_unique<Skin>(makePhongMap(0));
    for (auto& p : phong->pixels) p >>= 2;
    env = std::make_unique<Skin>(makeEnvironmentMap(0));
  }
  ~BaseFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  void write(const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(std::filesystem::path(joinPath(path, name)).parent_path());
    if (writeFileAtomically(joinPath(path, name), bytes) != 0) std::abort();
  }
};

void check(bool ok) {
  if (!ok) std::abort();
}

void checkModel(const Model& m) {
  for (int i = 0; i < m.triangleCount; ++i) {
    const ModelTriangle& tri = m.triangles[static_cast<size_t>(i)];
    for (size_t k = 0; k < 3; ++k) {
      check(tri.vertexIndex[k] >= 0 && tri.vertexIndex[k] < m.vertexCount);
      check(tri.stIndex[k] >= 0 && tri.stIndex[k] < m.stCount);
      check(tri.cornerSt[k] == m.stCoords[static_cast<size_t>(tri.stIndex[k])]);
      check(std::isfinite(tri.normal[k]));
    }
  }
  for (const ModelFrame& frame : m.frames) {
    check(static_cast<int>(frame.vertices.size()) == m.vertexCount);
    for (const Vec3& v : frame.vertices) check(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
  }
  for (const auto& skin : m.skins)
    check(skin->width == m.skinWidth && skin->height == m.skinHeight &&
          skin->pixels.size() == static_cast<size_t>(m.skinWidth) * m.skinHeight);
}

void renderEveryMode(App& app) {
  ModelView view(ModelViewInputs{app.platform, app.model, app.rasterizer, app.shading, app.colorSlots,
                                 app.renderMode, app.interactionMode, app.phongMaps.current,
                                 app.envMaps.current, {}});
  view.resize(36, 28);
  for (int interaction : {kInteractionMeshPaint, kInteractionMapping}) {
    app.interactionMode = interaction;
    for (int mode = kModeWireframe; mode <= kModeTexturedPhong; ++mode) {
      if (!view.checkRenderModeChange(app.renderMode, mode)) continue;
      app.renderMode = mode;
      for (int level : {kRedrawFull, kRedrawQuick, kRedrawRetexture, kRedrawBackground}) view.render(level);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static BaseFolder base;
  fuzz::QuietPlatform platform;
  platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 1);
  platform.writeString(settings::kPreferences, settings::kPalettePath, joinPath(base.path, "colormap.pcx"));
  App app(platform);
  app.baseFolder = base.path;
  app.phongMaps.current = base.phong.get();
  app.envMaps.current = base.env.get();
  if (!loadMd2Bytes(app, joinPath(base.path, "fuzz.md2"), Bytes(data, data + size))) return 0;
  checkModel(app.model);
  renderEveryMode(app);
  return 0;
}
