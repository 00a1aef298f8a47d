#pragma once
// The start the benchmarks share: the demo game folder written to a
// temporary folder and its creature loaded on a scripted platform.

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "app/app.h"
#include "app/commands/file_open.h"
#include "app/commands/options_maps.h"
#include "demo/demo_folder.h"
#include "platform/paths.h"
#include "platform/settings_keys.h"
#include "support/scripted_platform.h"
#include "view3d/model_view.h"

namespace pelt::bench {

template <class P = test::ScriptedPlatform>
struct DemoGame {
  P platform;
  App app{platform};
  std::string folder;
  std::string base;

  explicit DemoGame(const std::string& name)
      : folder((std::filesystem::temp_directory_path() / name).string()),
        base(joinPath(folder, "baseq2")) {
    writeDemoGameFolder(folder, nullptr);
    app.baseFolder = base;
    loadMd2(app, joinPath(base, kDemoModelPath));
  }
  ~DemoGame() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  DemoGame(const DemoGame&) = delete;
  DemoGame& operator=(const DemoGame&) = delete;

  // The demo colormap for the lit modes and its first phong map, as
  // Preferences and the map list would set them.
  void useLighting() {
    platform.writeString(settings::kPreferences, settings::kPalettePath,
                         joinPath(base, kDemoColormapPath));
    scanMapFolder(app, MapKind::Phong, joinPath(base, kDemoPhongFolder));
    chooseMap(app, MapKind::Phong, 0);
  }
};

// Moves the eye along its line until the model covers about `share` of the
// view.
inline void fitToCoverage(ModelView& view, double share) {
  for (int i = 0; i < 8; ++i) {
    view.render(kRedrawFull);
    const auto picks = view.picks();
    const auto covered =
        std::count_if(picks.begin(), picks.end(), [](std::int32_t p) { return p >= 0; });
    const double c = static_cast<double>(covered) / static_cast<double>(picks.size());
    if (c <= 0) break;
    view.eye[0] = static_cast<float>(view.eye[0] * std::sqrt(c / share));
  }
}

}  // namespace pelt::bench
