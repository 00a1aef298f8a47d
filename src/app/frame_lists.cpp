#include "app/frame_lists.h"

#include "app/app.h"
#include "app/commands/companion.h"
#include "app/commands/options_maps.h"
#include "app/commands/skins.h"
#include "app/main_frame.h"
#include "app/refresh.h"
#include "app/tables.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "view3d/model_view.h"

namespace pelt {

namespace {

ListContents skinEntries(const App& app) {
  ListContents out;
  for (const auto& skin : app.model.skins)
    out.entries.push_back((skin->isLinked() ? "  " : "* ") + withForwardSlashes(skin->name) +
                          (skin->readInstead.empty() ? "" : " (" + skin->readInstead + ")") +
                          (skin->modified() ? kPaintedSkinMark : ""));
  out.selected = app.model.currentSkinIndex < 0 ? 0 : app.model.currentSkinIndex;
  return out;
}

ListContents frameEntries(const App& app) {
  ListContents out;
  for (const ModelFrame& frame : app.model.frames) out.entries.push_back(frame.name);
  out.selected = app.model.currentFrameIndex;
  return out;
}

ListContents renderModeEntries(const App& app) {
  ListContents out;
  for (const char* name : kRenderModeNames) out.entries.push_back(name);
  out.selected = app.renderMode;
  return out;
}

ListContents mapEntries(const MapList& list) {
  ListContents out;
  for (const auto& map : list.maps) out.entries.push_back(map->name);
  // A scan fills the list without choosing: then nothing is shown as chosen.
  out.selected = list.current ? list.currentIndex : -1;
  return out;
}

}  // namespace

ListContents listContents(const App& app, FrameList list) {
  switch (list) {
    case FrameList::Skins: return skinEntries(app);
    case FrameList::Frames: return frameEntries(app);
    case FrameList::RenderModes: return renderModeEntries(app);
    case FrameList::PhongMaps: return mapEntries(app.phongMaps);
    case FrameList::EnvironmentMaps: return mapEntries(app.envMaps);
    case FrameList::Companions: return {companionEntries(app), app.companions.currentIndex};
  }
  return {};
}

void chooseFrame(App& app, int index) {
  Model& model = app.model;
  if (index < 0 || index >= static_cast<int>(model.frames.size())) return;
  model.currentFrameIndex = index;
  computeFaceNormals(model);
  app.platform.sendRefresh(0, 0x22);
}

void chooseListEntry(App& app, FrameList list, int index) {
  switch (list) {
    case FrameList::Skins: chooseSkin(app, index); break;
    case FrameList::Frames:
      stopPlayback(app);
      chooseFrame(app, index);
      break;
    case FrameList::PhongMaps: chooseMap(app, MapKind::Phong, index); break;
    case FrameList::EnvironmentMaps: chooseMap(app, MapKind::Environment, index); break;
    case FrameList::Companions: chooseCompanion(app, index); break;
    case FrameList::RenderModes: break;
  }
}

void chooseRenderMode(MainFrame& frame, int index) {
  App& app = frame.app;
  if (index < 0 || index >= static_cast<int>(kRenderModeNames.size())) return;
  if (index == app.renderMode) return;
  ModelView* view = frame.modelView();
  if (view == nullptr || view->checkRenderModeChange(app.renderMode, index)) {
    app.renderMode = index;
    rebuildShadeCurve(app);
    buildBlendTable(app);
  }
  app.platform.refillLists();
  app.platform.postRefresh(0, kRefreshSkinView | kRefreshModelView);
}

}  // namespace pelt
