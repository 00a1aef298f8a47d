#include "app/undo_steps.h"

#include <algorithm>

#include "app/app.h"
#include "app/refresh.h"
#include "app/tables.h"
#include "history/pixel_runs.h"
#include "platform/platform.h"
#include "platform/settings_keys.h"
#include "skins/paint_stroke.h"

namespace pelt {

namespace {

constexpr unsigned kSkin = kCaptureCurrentSkin;
constexpr unsigned kList = 0;  // the skin list is always taken
constexpr unsigned kMapping = kCaptureMapping;

// clang-format off
constexpr StepCommand kStepCommands[] = {
  {32785, kList, "New Skin"},
  {32777, kList, "Open Skin"},
  {32782, kList, "Close Skin"},
  {32842, kList, "Duplicate Skin"},
  {32788, kSkin, "Link Skin"},
  {32789, kSkin, "Unlink Skin"},
  {32793, kList, "Move Skin Up"},
  {32794, kList, "Move Skin Down"},
  {32787, kSkin, "Store Skin"},
  {32786, kSkin, "Revert Skin"},
  {32795, kSkin, "Reload Skin"},
  {32776, kList, "Scan Folder"},
  {32799, kCaptureAllSkins | kMapping, "Re-size All"},
  {32804, kSkin, "Re-Palette"},
  {32855, kSkin, "Replace Colors"},
  {32851, kSkin, "Invert Palette"},
  {32852, kSkin, "Invert Pixels"},
  {32853, kSkin, "Invert Both"},
  {32843, kSkin, "Outline Selected"},
  {32844, kSkin, "Fill Selected"},
  {32845, kSkin, "Shade Selected"},
  {32847, kSkin, "Load To Selected"},
  {32864, kSkin, "Reset Palette"},
  {32830, kMapping, "Hide Selected"},
  {32831, kMapping, "Unhide All"},
  {32840, kMapping, "Store Mapping"},
  {32841, kMapping, "Revert Mapping"},
  {32816, kMapping, "Import Mapping"},
  {32846, kMapping, "Import to Selected"},
  {32815, kMapping, "Export Mapping"},  // compacts the st table
  {32867, kMapping | kSkin, "Map from 3D View"},
  {32814, kCaptureCompanion, "Companion Offset"},
};
// clang-format on

const char* strokeName(int brush) {
  switch (brush) {
    case kBrushPencil:
      return "Pencil Stroke";
    case kBrushLine:
      return "Line";
    case kBrushFill:
      return "Fill";
    default:
      return "Brush Stroke";
  }
}

void keep(App& app, Step step) {
  if (step.empty()) return;
  if (!app.history.record(std::move(step))) app.platform.showStatusText(kUndoTooLargeMessage);
  // The lists mark modified skins; the Edit menu names the step.
  app.platform.refillLists();
}

// What the original commands refreshed, for any mix of changes.
void refreshAfter(App& app, const Step& step) {
  // A step on one skin shows that skin.
  const Skin* only = nullptr;
  for (const auto& part : step.parts) {
    const Skin* skin = part->skin();
    if (skin == nullptr) continue;
    if (only != nullptr && only != skin) {
      only = nullptr;
      break;
    }
    only = skin;
  }
  auto& skins = app.model.skins;
  auto it =
      std::find_if(skins.begin(), skins.end(), [only](const auto& s) { return s.get() == only; });
  if (only != nullptr && it != skins.end())
    app.model.currentSkinIndex = static_cast<int>(it - skins.begin());
  refreshListsAndViews(app);
  buildBlendTable(app);
  rebuildShadeRamps(app);
}

}  // namespace

Document documentOf(App& app) { return {app.model, app.companions}; }

const StepCommand* stepCommand(int id) {
  for (const StepCommand& c : kStepCommands)
    if (c.id == id) return &c;
  return nullptr;
}

void recordCapture(App& app, DocumentCapture& capture, const std::string& name) {
  keep(app, capture.finish(documentOf(app), name, app.history));
}

void recordChange(App& app, unsigned scope, const std::string& name,
                  const std::function<void()>& change) {
  DocumentCapture capture(documentOf(app), scope);
  change();
  recordCapture(app, capture, name);
}

void recordStroke(App& app, const PaintStroke& stroke) {
  auto& skins = app.model.skins;
  auto it = std::find_if(skins.begin(), skins.end(),
                         [&](const auto& s) { return s.get() == stroke.skin(); });
  if (it == skins.end()) return;
  // A step on the skin during the stroke: its start is no longer the state
  // before it. The pixels stay painted, unsaved, without an undo.
  if ((*it)->revision != stroke.startRevision()) {
    if (!stroke.changed().empty()) (*it)->revision = app.history.newRevision();
    return;
  }
  auto part = std::make_unique<PixelRuns>(*it, stroke.startPixels(), stroke.changed(),
                                          app.history.newRevision());
  if (part->empty()) return;
  Step step;
  step.name = strokeName(stroke.brush());
  step.parts.push_back(std::move(part));
  keep(app, std::move(step));
}

void beginMappingEdit(App& app) {
  unsigned scope = kMapping;
  if (app.dragPixelsWithMapping) scope |= kCaptureCurrentSkin;
  app.pendingEdit.emplace(documentOf(app), scope);
  app.pendingEditSince = app.history.changeCount();
}

void endMappingEdit(App& app, const char* name) {
  if (!app.pendingEdit) return;
  // A command or an undo during the drag: what was taken no longer leads
  // here; the mapping and pixels it moved stay unsaved without an undo.
  if (app.pendingEditSince == app.history.changeCount()) {
    recordCapture(app, *app.pendingEdit, name);
  } else {
    app.history.markModelChanged();
    if (Skin* skin = app.model.currentSkin(); skin && app.dragPixelsWithMapping)
      skin->revision = app.history.newRevision();
  }
  app.pendingEdit.reset();
}

namespace {

// The status line says what came back, replacing the note of the command
// that made the step.
bool afterUndoOrRedo(App& app, const Step* step, const char* verb) {
  if (!step) return false;
  refreshAfter(app, *step);
  app.platform.showStatusText(verb + step->name);
  return true;
}

}  // namespace

bool undoStep(App& app) {
  Document doc = documentOf(app);
  return afterUndoOrRedo(app, app.history.undo(doc), "Undone: ");
}

bool redoStep(App& app) {
  Document doc = documentOf(app);
  return afterUndoOrRedo(app, app.history.redo(doc), "Redone: ");
}

void applyUndoBudget(App& app) {
  const int mb =
      app.platform.readInt(settings::kPreferences, settings::kUndoMemory, kDefaultUndoMemoryMb);
  app.history.setBudget(std::int64_t{std::clamp(mb, kMinUndoMemoryMb, kMaxUndoMemoryMb)} << 20);
  app.ctrlZUndoes = app.platform.readInt(settings::kPreferences, settings::kCtrlZUndoes, 0) != 0;
}

}  // namespace pelt
