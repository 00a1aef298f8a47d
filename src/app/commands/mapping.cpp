#include "app/commands/mapping.h"

#include <optional>
#include <string>

#include "app/app.h"
#include "app/folders.h"
#include "app/refresh.h"
#include "model/mapping_file.h"
#include "model/selection.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/safe_save.h"
#include "platform/settings_keys.h"

namespace pelt {

namespace {

constexpr const char* kMappingInitialName = "*.pmp";

template <void (*F)(Model&)>
void selectionCommand(App& app) {
  F(app.model);
  refreshListsAndViews(app);
}

// The file dialog of the three file commands; empty on Cancel.
std::optional<std::string> chooseMappingFile(App& app, bool save) {
  std::string& folder = save ? app.saveFolder : app.loadFolder;
  FileDialogRequest request{save, kMappingFilter, kMappingInitialName, folder};
  std::optional<FileDialogResult> chosen = app.platform.fileDialog(request);
  if (!chosen) return std::nullopt;
  rememberFolder(app, folder, save ? settings::kSaveDir : settings::kLoadDir, chosen->path);
  std::string path = chosen->path;
  if (lacksExtension(path)) path += ".pmp";
  return path;
}

// Reads and checks a chosen file; the refusal has been shown when empty.
std::optional<MappingFile> readMappingFile(App& app, bool checkIndices) {
  std::optional<std::string> path = chooseMappingFile(app, false);
  if (!path) return std::nullopt;
  FileReadResult read = app.gameFiles.readPath(*path, nullptr, mappingReadPlan);
  if (!read.ok()) {
    app.platform.messageBox("Error Loading: " + std::to_string(read.error), MessageButtons::Ok);
    return std::nullopt;
  }
  MappingParseResult parsed =
      parseMappingFile(read.bytes, mappingTargetOf(app.model, checkIndices));
  if (!parsed.file) app.platform.messageBox(parsed.message, MessageButtons::Ok);
  return std::move(parsed.file);
}

}  // namespace

void storeMappingCommand(App& app) { storeMapping(app.model); }

void revertMappingCommand(App& app) {
  revertMapping(app.model);
  refreshListsAndViews(app);
}

void selectAllCommand(App& app) { selectionCommand<selectAll>(app); }
void selectNoneCommand(App& app) { selectionCommand<selectNone>(app); }
void invertSelectionCommand(App& app) { selectionCommand<invertSelection>(app); }
void selectConnectedCommand(App& app) { selectionCommand<selectConnected>(app); }
void growSelectionCommand(App& app) { selectionCommand<growSelection>(app); }
void shrinkSelectionCommand(App& app) { selectionCommand<shrinkSelection>(app); }
void hideSelectedCommand(App& app) { selectionCommand<hideSelected>(app); }
void unhideAllCommand(App& app) { selectionCommand<unhideAll>(app); }

void exportMappingCommand(App& app) {
  std::optional<std::string> path = chooseMappingFile(app, true);
  if (!path) return;
  // The file holds the compacted table; the model's own is compacted only
  // once the file exists, so a failed export changes nothing.
  Model compacted;
  compacted.triangleCount = app.model.triangleCount;
  compacted.skinWidth = app.model.skinWidth;
  compacted.skinHeight = app.model.skinHeight;
  compacted.stCoords = app.model.stCoords;
  compacted.triangles = app.model.triangles;
  rebuildStTable(compacted);
  if (saveFileOrWarn(app.platform, *path, encodeMappingFile(compacted))) rebuildStTable(app.model);
}

void importMappingCommand(App& app) {
  std::optional<MappingFile> file = readMappingFile(app, true);
  if (!file) return;
  storeMapping(app.model);
  applyMapping(app.model, *file);
  refreshListsAndViews(app);
}

void importMappingToSelectedCommand(App& app) {
  std::optional<MappingFile> file = readMappingFile(app, false);
  if (!file) return;
  storeMapping(app.model);  // compacts the table first
  applyMappingToSelected(app.model, *file);
  refreshListsAndViews(app);
}

}  // namespace pelt
