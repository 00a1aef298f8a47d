#include "app/command_table.h"

#include "app/app.h"
#include "app/commands/companion.h"
#include "app/commands/edit.h"
#include "app/commands/file_open.h"
#include "app/commands/file_open_game.h"
#include "app/commands/file_preferences.h"
#include "app/commands/file_save.h"
#include "app/commands/help.h"
#include "app/commands/mapping.h"
#include "app/commands/options_brush.h"
#include "app/commands/options_colors.h"
#include "app/commands/options_maps.h"
#include "app/commands/options_snapshot.h"
#include "app/commands/options_view.h"
#include "app/commands/rectangle.h"
#include "app/commands/skins.h"
#include "app/commands/skins_effects.h"
#include "app/commands/skins_operations.h"
#include "app/commands/skins_palette.h"
#include "app/intro/about.h"
#include "app/main_frame.h"
#include "app/memory_guard.h"
#include "app/refresh.h"
#include "app/true_colour.h"
#include "app/undo_steps.h"
#include "platform/platform.h"
#include "view3d/benchmark.h"

namespace pelt {

namespace {

// Most commands only need the application object.
template <void (*F)(App&)>
void onApp(MainFrame& frame) {
  F(frame.app);
}

void toggleCameraOverride(App& app) {
  app.cameraOverride = !app.cameraOverride;
  refreshListsAndViews(app);
}

template <int Mode>
void setInteractionMode(App& app) {
  if (app.interactionMode == Mode) return;
  app.interactionMode = Mode;
  refreshListsAndViews(app);
}

template <int Kind>
void setBrushKind(App& app) {
  app.brushKind = Kind;
}

template <int Axis>
void chooseMirrorAxis(App& app) {
  setMirrorAxis(app, Axis);
}
template <int Axis>
bool mirrorAxisIs(const App& app) {
  return app.mirrorAxis == Axis;
}
bool roundBrushOn(const App& app) { return app.brush.round; }
bool softBrushOn(const App& app) { return app.brush.soft; }
bool mirrorPaintingOn(const App& app) { return app.mirrorPainting; }

template <int Step>
void nudgeColor(App& app) {
  nudgeCurrentColor(app, Step);
}
template <int Mode>
void chooseBlendMode(App& app) {
  setBlendMode(app, Mode);
}

bool cameraOverrideOn(const App& app) { return app.cameraOverride; }
bool showMeshOn(const App& app) { return app.showMeshWhilePainting; }
bool dragPixelsOn(const App& app) { return app.dragPixelsWithMapping; }
bool mapRectangleOn(const App& app) { return app.mapRectShown != 0; }
template <int Mode>
bool blendModeIs(const App& app) {
  return app.blendMode == Mode;
}
template <int Mode>
bool interactionModeIs(const App& app) {
  return app.interactionMode == Mode;
}
template <int Kind>
bool brushKindIs(const App& app) {
  return app.brushKind == Kind;
}

template <MapKind Kind>
void openMapOf(App& app) {
  openMap(app, Kind);
}
template <MapKind Kind>
void closeMapOf(App& app) {
  closeMap(app, Kind);
}
template <MapKind Kind>
void scanMapsOf(App& app) {
  scanMapFolderCommand(app, Kind);
}

void benchmark(MainFrame& frame) {
  if (frame.modelView()) runBenchmark(frame.app.platform, *frame.modelView());
}

void swapDisplays(MainFrame& frame) { frame.swapDisplays(); }
void exitProgram(MainFrame& frame) { frame.requestExit(); }

// clang-format off
const Command kCommands[] = {
  {32772, "File", "&Open...\tCtrl+O", "Ctrl+O", 0, "", onApp<openModelCommand>},
  {32773, "File", "&Save\tCtrl+S", "Ctrl+S", 0, "", onApp<saveModelCommand>},
  {32774, "File", "Save &As...\tCtrl+A", "Ctrl+A", 0, "", onApp<saveModelAsCommand>},
  {32771, "File", "&Base Folder...", "", 0, "", onApp<baseFolderCommand>},
  {32829, "File", "Preferences", "", 0, "", preferencesCommand},
  {57665, "File", "E&xit", "", 0, "", exitProgram},
  {32880, "File", kOpenFromGameText, "", 0, "", onApp<openFromGameCommand>},
  {kUndoId, "Edit", "&Undo\tAlt+Backspace", "Alt+Backspace", 15, "Undo", onApp<undoCommand>,
   canUndo, nullptr, undoText, undoKeys},
  {kRedoId, "Edit", "&Redo\tCtrl+Y", "Ctrl+Y", 16, "Redo", onApp<redoCommand>, canRedo, nullptr,
   redoText},
  {kRedoOtherKeyId, "", "", "Ctrl+Shift+Z", 0, "Redo", onApp<redoCommand>, canRedo},
  {32809, "Companion", "&Open", "", 0, "", onApp<openCompanion>},
  {32810, "Companion", "&Close", "", 0, "", onApp<closeCompanion>, hasCurrentCompanion},
  {32813, "Companion", "&Load Skin", "", 0, "", onApp<loadCompanionSkin>, hasCurrentCompanion},
  {32811, "Companion", "&Hide\tH", "H", 0, "", onApp<toggleCompanionHidden>, hasCurrentCompanion,
   nullptr, hideCompanionText},
  {32814, "Companion", "&Offset", "", 0, "", onApp<offsetCompanion>, hasCurrentCompanion},
  {32858, "Options/Phong Maps", "&Open", "", 0, "", onApp<openMapOf<MapKind::Phong>>},
  {32859, "Options/Phong Maps", "&Close", "", 0, "", onApp<closeMapOf<MapKind::Phong>>},
  {32862, "Options/Phong Maps", "&Scan Folder", "", 0, "", onApp<scanMapsOf<MapKind::Phong>>},
  {32860, "Options/Environment Maps", "&Open", "", 0, "", onApp<openMapOf<MapKind::Environment>>},
  {32861, "Options/Environment Maps", "&Close", "", 0, "", onApp<closeMapOf<MapKind::Environment>>},
  {32863, "Options/Environment Maps", "&Scan Folder", "", 0, "",
   onApp<scanMapsOf<MapKind::Environment>>},
  {32775, "Options", "&Swap Displays", "", 0, "", swapDisplays},
  {32857, "Options", "Snapshot\tF12", "F12", 0, "", takeSnapshot},
  {32865, "Options", "&Benchmark\tF11", "F11", 0, "", benchmark},
  {32779, "Options", "&Camera Override\tSpace", "Space", 1, "Camera Override: drags turn the camera",
   onApp<toggleCameraOverride>, nullptr, cameraOverrideOn},
  {32780, "Options", "&Paint Mode\t1", "1", 2, "Paint Mode", onApp<setInteractionMode<0>>,
   nullptr, interactionModeIs<0>},
  {32781, "Options", "M&apping Mode\t2", "2", 3, "Mapping Mode", onApp<setInteractionMode<1>>,
   nullptr, interactionModeIs<1>},
  {32802, "Options", "Point Brush\tShift+1", "Shift+1", 4, "Point Brush", onApp<setBrushKind<0>>,
   nullptr, brushKindIs<0>},
  {32800, "Options", "Pencil Brush\tShift+2", "Shift+2", 5, "Pencil Brush", onApp<setBrushKind<1>>,
   nullptr, brushKindIs<1>},
  {32801, "Options", "Line Brush\tShift+3", "Shift+3", 6, "Line Brush", onApp<setBrushKind<2>>,
   nullptr, brushKindIs<2>},
  {33240, "Options", "Fill Brush\tShift+4", "Shift+4", 13, "Fill Brush", onApp<setBrushKind<3>>,
   nullptr, brushKindIs<3>},
  {33241, "Options", "Larger Brush\tCtrl+]", "Ctrl+]", 0, "", onApp<largerBrush>},
  {33242, "Options", "Smaller Brush\tCtrl+[", "Ctrl+[", 0, "", onApp<smallerBrush>},
  {33243, "Options", "Round Brush\tB", "B", 0, "", onApp<toggleRoundBrush>, nullptr, roundBrushOn},
  {33244, "Options", "Soft Brush", "", 0, "", onApp<toggleSoftBrush>, nullptr, softBrushOn},
  {33245, "Options", "Mirror Painting\tM", "M", 0, "", onApp<toggleMirrorPainting>, nullptr,
   mirrorPaintingOn},
  {33246, "Options/Mirror Axis", "X", "", 0, "", onApp<chooseMirrorAxis<0>>, nullptr, mirrorAxisIs<0>},
  {33247, "Options/Mirror Axis", "Y", "", 0, "", onApp<chooseMirrorAxis<1>>, nullptr, mirrorAxisIs<1>},
  {33248, "Options/Mirror Axis", "Z", "", 0, "", onApp<chooseMirrorAxis<2>>, nullptr, mirrorAxisIs<2>},
  {kFitSkinId, "Options", "Fit Skin\tHome", "Home", 0, "", fitSkinCommand},
  {kFrameModelId, "Options", "Frame Model\tShift+Home", "Shift+Home", 0, "", frameModelCommand},
  {kPlayAnimationId, "Options", "Play Animation\tP", "P", 14, "Play Animation",
   onApp<playAnimationCommand>, nullptr, playingAnimation},
  {kPlayAllFramesId, "Options", "Play All Frames\tShift+P", "Shift+P", 0, "",
   onApp<playAllFramesCommand>, nullptr, playingAllFrames},
  {32785, "Skins", "&New\tShift+N", "Shift+N", 0, "", onApp<newSkin>},
  {32777, "Skins", "&Open\tShift+O", "Shift+O", 0, "", onApp<openSkin>},
  {32782, "Skins", "&Close/Delete\tShift+D", "Shift+D", 0, "", onApp<closeSkin>},
  {32842, "Skins", "Dupl&icate\tCtrl+D", "Ctrl+D", 0, "", onApp<duplicateSkin>},
  {32783, "Skins", "&Save\tShift+S", "Shift+S", 0, "", onApp<saveSkin>},
  {32784, "Skins", "Save &As\tShift+A", "Shift+A", 0, "", onApp<saveSkinAs>},
  {32788, "Skins", "&Link\tShift+L", "Shift+L", 0, "", onApp<linkSkin>},
  {32789, "Skins", "&Unlink\tCtrl+L", "Ctrl+L", 0, "", onApp<unlinkSkin>},
  {32793, "Skins", "&Move Up\tCtrl+Up", "Ctrl+Up", 0, "", onApp<moveSkinUp>},
  {32794, "Skins", "Move &Down\tCtrl+Down", "Ctrl+Down", 0, "", onApp<moveSkinDown>},
  {32787, "Skins", "&Store\tShift+Z", "Shift+Z", 0, "", onApp<storeSkin>},
  {32786, "Skins", "&Revert\tCtrl+Z", "Ctrl+Z", 0, "", onApp<revertSkin>, nullptr, nullptr,
   revertText, revertKeys},
  {32795, "Skins", "R&eload\tF5", "F5", 0, "", onApp<reloadSkin>},
  {33320, "Skins", "Export True Colour...", "", 0, "", onApp<exportTrueColour>, hasCurrentSkin},
  {32776, "Skins", "&Scan Folder...", "", 0, "", onApp<scanSkinFolderCommand>},
  {32799, "Skins", "Re-size &All...", "", 0, "", onApp<resizeAllSkins>},
  {32804, "Skins", "Re-&Palette", "", 0, "", onApp<rePalette>},
  {32855, "Skins", "Replace colors", "", 0, "", onApp<replaceColors>},
  {32851, "Skins/Invert...", "&Palette", "", 0, "", onApp<invertPalette>},
  {32852, "Skins/Invert...", "P&ixels", "", 0, "", onApp<invertPixels>},
  {32853, "Skins/Invert...", "&Both", "", 0, "", onApp<invertBoth>},
  {32843, "Skins/Skin F/X...", "&Outline Selected", "", 0, "", onApp<outlineSelected>},
  {32844, "Skins/Skin F/X...", "&Fill Selected", "", 0, "", onApp<fillSelectedShade>},
  {32845, "Skins/Skin F/X...", "&Shade Selected", "", 0, "", onApp<shadeSelected>},
  {32847, "Skins/Skin F/X...", "Load To Selected", "", 0, "", onApp<loadToSelected>},
  {32796, "Mapping", "&Select All\tShift+C", "Shift+C", 0, "", onApp<selectAllCommand>},
  {32797, "Mapping", "Select &None\tC", "C", 0, "", onApp<selectNoneCommand>},
  {32798, "Mapping", "&Invert Selection\tI", "I", 0, "", onApp<invertSelectionCommand>},
  {32837, "Mapping", "Select &Connected\t\\", "\\", 0, "", onApp<selectConnectedCommand>},
  {32838, "Mapping", "&Grow Selection\t]", "]", 0, "", onApp<growSelectionCommand>},
  {32839, "Mapping", "Sh&rink Selection\t[", "[", 0, "", onApp<shrinkSelectionCommand>},
  {32830, "Mapping", "&Hide Selected\tCtrl+H", "Ctrl+H", 0, "", onApp<hideSelectedCommand>},
  {32831, "Mapping", "&Unhide All\tShift+H", "Shift+H", 0, "", onApp<unhideAllCommand>},
  {32840, "Mapping", "S&tore", "", 0, "", onApp<storeMappingCommand>},
  {32841, "Mapping", "R&evert", "", 0, "", onApp<revertMappingCommand>},
  {32816, "Mapping", "I&mport", "", 0, "", onApp<importMappingCommand>},
  {32815, "Mapping", "&Export", "", 0, "", onApp<exportMappingCommand>},
  {32846, "Mapping", "Import to Selected", "", 0, "", onApp<importMappingToSelectedCommand>},
  {32867, "Rectangle", "&Map from 3D View...", "", 0, "", mapFromViewCommand},
  {32836, "", "", "", 7, "Drag Pixels with the Mapping", onApp<toggleDragPixelsWithMapping>,
   nullptr, dragPixelsOn},
  {57664, "Help", kAboutMenuText, "", 0, "", onApp<showAbout>},
  {kKeysAndMouseId, "Help", "Keys and Mouse\tF1", "F1", 0, "", onApp<showKeysAndMouse>},
  {kUserGuideId, "Help", "User Guide", "", 0, "", onApp<openUserGuide>},
  {32832, "", "", ".", 0, "Paint colour: next palette entry", onApp<nudgeColor<1>>},
  {32834, "", "", "'", 0, "Paint colour: sixteen entries on", onApp<nudgeColor<16>>},
  {32833, "", "", ",", 0, "Paint colour: previous palette entry", onApp<nudgeColor<-1>>},
  {32835, "", "", ";", 0, "Paint colour: sixteen entries back", onApp<nudgeColor<-16>>},
  {32866, "", "", "", 8, "Map Rectangle", onApp<toggleMapRectangle>, nullptr, mapRectangleOn},
  {32850, "", "", "", 9, "Show Mesh while Painting", onApp<toggleShowMeshWhilePainting>, nullptr,
   showMeshOn},
  {32868, "", "", "", 11, "Blend: Mix Colours", onApp<chooseBlendMode<kBlendRgb>>, nullptr,
   blendModeIs<kBlendRgb>},
  {32869, "", "", "", 12, "Blend: Hue and Saturation", onApp<chooseBlendMode<kBlendHueSaturation>>,
   nullptr, blendModeIs<kBlendHueSaturation>},
  {32864, "", "", "", 10, "Reset the palette to the default palette", onApp<resetPalette>},
};
// clang-format on

}  // namespace

std::span<const Command> commandTable() { return kCommands; }

const Command* findCommand(int id) {
  for (const Command& command : kCommands)
    if (command.id == id) return &command;
  return nullptr;
}

bool isCommandEnabled(const Command& command, const App& app) {
  return command.enabled == nullptr || command.enabled(app);
}

bool isCommandChecked(const Command& command, const App& app) {
  return command.checked != nullptr && command.checked(app);
}

const char* commandText(const Command& command, const App& app) {
  return command.liveText ? command.liveText(app) : command.text;
}

const char* commandKey(const Command& command, const App& app) {
  return command.liveKey ? command.liveKey(app) : command.key;
}

bool runCommand(MainFrame& frame, int id) {
  const Command* command = findCommand(id);
  if (command == nullptr || !isCommandEnabled(*command, frame.app)) return false;
  if (!commandKeepsPlayback(id)) stopPlayback(frame.app);
  // A command that changes the document becomes one step.
  const StepCommand* step = stepCommand(id);
  std::optional<DocumentCapture> capture;
  if (step) capture.emplace(documentOf(frame.app), step->scope);
  runGuarded(frame.app.platform, [&] { command->run(frame); });
  if (capture) recordCapture(frame.app, *capture, step->name);
  frame.fitNewModel();
  return true;
}

}  // namespace pelt
