#pragma once
// Sections and keys of the settings store, and the text that means "not set".

namespace pelt::settings {

inline constexpr const char* kProject = "Project";
inline constexpr const char* kPreferences = "Preferences";
inline constexpr const char* kColors = "Colors";

inline constexpr const char* kBaseDir = "BaseDir";
inline constexpr const char* kLoadDir = "LoadDir";
inline constexpr const char* kSaveDir = "SaveDir";
inline constexpr const char* kCurFile = "CurFile";

inline constexpr const char* kDirScanPrompt = "DirScan_Prompt";
inline constexpr const char* kSkipIntro = "Skip Intro";
inline constexpr const char* kQuickExit = "Quick Exit";
inline constexpr const char* kPalOnTop = "Pal On Top";
inline constexpr const char* kSplitter = "Splitter";
inline constexpr const char* kPalettePath = "Palette Path";
inline constexpr const char* kPhongPath = "Phong Path";
inline constexpr const char* kEnvPath = "Env Path";
inline constexpr const char* kFitOnOpen = "Fit On Open";
inline constexpr const char* kFramesPerSecond = "Frames Per Second";
inline constexpr const char* kInterpolateFrames = "Interpolate Frames";
inline constexpr const char* kUndoMemory = "Undo Memory (MB)";
inline constexpr const char* kCtrlZUndoes = "Ctrl+Z undoes";

inline constexpr const char* kUnknown = "Unknown";

// The game keeps its palette and light table here, below the base folder.
inline constexpr const char* kGameColormapName = "pics/colormap.pcx";

}  // namespace pelt::settings
