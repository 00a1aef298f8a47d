#pragma once
// The application object: all document state, owned in one place and passed
// by reference. Tests create their own.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/playback.h"
#include "history/capture.h"
#include "model/companion.h"
#include "model/model.h"
#include "platform/file_io.h"
#include "platform/game_files.h"
#include "raster/rasterizer.h"
#include "skins/paint_rule.h"
#include "view3d/shade_tables.h"

namespace pelt {

class Platform;

// An ordered list of 256 x 256 maps with the one chosen. A folder scan adds
// maps without choosing one, so the choice is kept apart from the index.
struct MapList {
  std::vector<std::unique_ptr<Skin>> maps;
  int currentIndex = 0;
  Skin* current = nullptr;
};

class App {
 public:
  explicit App(Platform& platform) : platform(platform) {}
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  Platform& platform;
  Model model;

  // Folders and the file last opened (settings "BaseDir", "LoadDir",
  // "SaveDir", "CurFile").
  std::string baseFolder;
  std::string loadFolder;
  std::string saveFolder;
  std::string currentFile;
  // The archive the model was read from; "" for a file of its own.
  std::string modelSource;
  // The program's own data (share/pelt: phong and environment maps); "" for none.
  std::string dataFolder;

  // The game's files below `baseFolder`, loose and archived.
  GameFileSystem gameFiles{baseFolder, platform};

  // Every byte of the MD2 file last read; the writer patches it.
  Bytes rawModelImage;

  // Palette indices: slot 1 mesh edges, 2 selected, 3 dragged, 7 background.
  std::array<std::uint8_t, 8> colorSlots{248, 64, 128, 192, 15, 10, 5, 0};
  int currentSlot = 0;  // the paint colour
  ProtectedColors protectedColors{};

  // What painting does to each palette index; rebuilt by buildBlendTable
  // whenever the paint colour, the amount, the mode or the palette changes.
  BlendTable blendTable = identityBlendTable();
  double blendAmount = 1.0;
  int blendMode = kBlendRgb;

  // Tool-bar toggles: the mesh over the skin in paint mode; skin pixels
  // follow the mapping while it is dragged.
  bool showMeshWhilePainting = false;
  bool dragPixelsWithMapping = false;
  // The skin view's rectangle tool (its map rectangle lives in the view).
  std::int32_t mapRectShown = 0;

  // Main-window layout ("Pal On Top", "Splitter" / 10000, Swap Displays).
  bool paletteOnTop = false;
  double splitRatio = 0.65;
  bool viewsSwapped = false;

  // Entry of the render-mode list; 5 is "Textured".
  int renderMode = 5;

  // Tool-bar modes: 0 Mesh Paint / 1 Mapping Adjustment; brush 0 point,
  // 1 pencil, 2 line.
  bool cameraOverride = true;
  int interactionMode = 0;
  int brushKind = 0;  // 3 fills

  // Brush size and shape; the soft brush's strengths, built only while it
  // is on; mirror painting across the axis guessed at each model load.
  BrushShape brush;
  SoftBlendTables softBlendTables{};
  bool mirrorPainting = false;
  int mirrorAxis = 0;

  // Companion models shown beside the model.
  CompanionList companions;

  // Phong maps (pixels already shifted to 0..63) and environment maps.
  MapList phongMaps;
  MapList envMaps;

  // Exponent of the brightness curve (the gradient box changes it) and the
  // lighting tables built from it.
  double lightExponent = 1.0;
  ShadeTables shading;

  // The one rasterizer; every view binds its own buffers before drawing.
  Rasterizer rasterizer;

  // The frames playing, if any.
  Playback playback;
  // Models read so far; the main frame fits its views to each new one.
  unsigned modelLoads = 0;

  // Undo and redo, and what is unsaved.
  History history;
  // A mapping drag's state from its press, and the history's change count then.
  std::optional<DocumentCapture> pendingEdit;
  std::uint64_t pendingEditSince = 0;
  // "Ctrl+Z undoes" (Preferences): Ctrl+Z is Undo and Revert keeps its menu entry only.
  bool ctrlZUndoes = false;
  // The Edit menu's texts with the names of the steps.
  mutable std::string undoText;
  mutable std::string redoText;
};

}  // namespace pelt
