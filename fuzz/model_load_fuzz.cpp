// The whole model load: parse, geometry, st compaction, stored mapping,
// normals and skins resolved below a base folder; then the model drawn at
// every redraw level in every mode.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/app.h"
#include "app/commands/file_open.h"
#include "app/tables.h"
#include "app/view_factory.h"
#include "cli/console_platform.h"
#include "demo/demo_maps.h"
#include "demo/demo_palette.h"
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
      for (size_t i = 0; i < skin.pixels.size(); ++i)
        skin.pixels[i] = static_cast<std::uint8_t>(i * 7);
      skin.palette = palette;
      write("s" + std::to_string(side) + ".pcx", encodeSkinPcx(skin));
      write("Models/S" + std::to_string(side) + ".BMP", encodeSkinBmp(skin));
    }
    // A BMP colormap: the lit modes read it on every entry, and BMP rows copy fast.
    write("colormap.bmp", encodeSkinBmp(makeColormapImage(palette)));
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
    for (const Vec3& v : frame.vertices)
      check(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
  }
  for (const auto& skin : m.skins)
    check(skin->width == m.skinWidth && skin->height == m.skinHeight &&
          skin->pixels.size() == static_cast<size_t>(m.skinWidth) * m.skinHeight);
}

// One application and one view live across runs, as in the program, where
// every load replaces the model of the last.
struct Session {
  BaseFolder base;
  ConsolePlatform platform{false};
  App app{platform};
  std::unique_ptr<ModelView> view = makeModelView(app);

  Session() {
    platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 1);
    platform.writeString(settings::kPreferences, settings::kPalettePath,
                         joinPath(base.path, "colormap.bmp"));
    app.baseFolder = base.path;
    for (auto [list, map] :
         {std::pair{&app.phongMaps, base.phong.get()}, {&app.envMaps, base.env.get()}}) {
      list->maps.push_back(std::make_unique<Skin>(*map));
      list->current = list->maps.back().get();
    }
    view->resize(36, 28);
    // The phong map's lit plane, built once as choosing the mode would.
    app.renderMode = kModeTexturedPhong;
    rebuildShadeCurve(app);
    app.renderMode = kModeWireframe;
  }

  // The input picks the interaction mode, so both are reached at half the
  // cost per run.
  void renderEveryMode(int interaction) {
    app.interactionMode = interaction;
    for (int mode = kModeWireframe; mode <= kModeTexturedPhong; ++mode) {
      if (!view->checkRenderModeChange(app.renderMode, mode)) continue;
      app.renderMode = mode;
      for (int level : {kRedrawFull, kRedrawQuick, kRedrawRetexture, kRedrawBackground})
        view->render(level);
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Session session;
  App& app = session.app;
  if (!loadMd2Bytes(app, joinPath(session.base.path, "fuzz.md2"), Bytes(data, data + size)))
    return 0;
  checkModel(app.model);
  session.renderEveryMode(size % 2 != 0 ? kInteractionMapping : kInteractionMeshPaint);
  return 0;
}
