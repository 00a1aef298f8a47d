#pragma once
// The values each of the program's own dialogs shows and returns.

#include <string>
#include <utility>
#include <vector>

namespace pelt {

struct ResizeSkinsValues {
  int width = 0;
  int height = 0;
  bool enforceLimits = true;
};

struct OffsetCompanionValues {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// The Preferences dialog; the three "..." buttons run through the same
// Platform (file dialog, folder browser) from the core's handlers.
struct PreferencesValues {
  int dirScanPrompt = 2;  // 0 auto yes, 1 auto no, 2 prompt
  bool skipIntro = false;
  bool quickExit = false;
  bool paletteOnTop = false;
  std::string palettePath;
  std::string phongPath;
  std::string envPath;
  // Ours: views fitted to each model opened, and the animation speed.
  bool fitOnOpen = true;
  int framesPerSecond = 10;
  bool interpolateFrames = true;
  // The undo history's memory, and Ctrl+Z as Undo instead of Skins/Revert.
  int undoMemoryMb = 256;
  bool ctrlZUndoes = false;
};

struct SnapshotValues {
  bool customSize = false;
  int width = 0;
  int height = 0;
  bool trueColor = false;
  bool smoothing = false;
  int sharpness = 0;  // track bar 0..9999
};

// "Reduce to the palette": how a true-colour picture becomes a skin.
struct ReduceColoursValues {
  int colours = 0;  // how many the picture has (shown)
  bool dithered = false;
  bool keepProtectedOut = false;
};

struct MapFromViewValues {
  int projection = 0;  // 0 perspective, 1 parallel
  bool noBackfaces = false;
  bool flip = false;
  bool mirror = false;
};

// File/Open From Game: the game's models with where each comes from.
struct GameModelRow {
  std::string name;    // relative to the base folder
  std::string source;  // "loose" or the archive's name, and what it shadows
};

struct OpenFromGameValues {
  std::vector<GameModelRow> models;
  std::string filter;  // the filter field's text
  std::string chosen;  // on OK: the name of the model to open
};

struct AboutValues {
  std::string nameAndVersion;
  std::string authorship;
  std::string contact;
  std::string musicCredit;
  // Rows of the list control: label, current value, declared limit.
  struct Row {
    std::string label;
    std::string current;
    std::string limit;
  };
  std::vector<Row> rows;
};

// The Keys and Mouse window: every command grouped by menu, then what the
// mouse does in each mode.
struct KeysAndMouseValues {
  struct Row {
    int id = 0;
    std::string command;  // menu text without '&' and key hint
    std::string menu;     // "Options > Phong Maps"; "" for key or button only
    std::string key;      // "Ctrl+O"; "" for none
    std::string toolBar;  // "button 3"; "" for none
  };
  struct Group {
    std::string title;
    std::vector<Row> rows;
  };
  struct Gesture {
    std::string action;  // "Left drag"
    std::string effect;  // "turns the camera about the target"
  };
  struct GestureGroup {
    std::string title;
    std::vector<Gesture> gestures;
  };
  std::vector<Group> commands;
  std::vector<GestureGroup> mouse;
};

}  // namespace pelt
