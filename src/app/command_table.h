#pragma once
// Every command the menus, accelerators and tool bar can issue, bound in one
// table: the Qt window builds its menus, shortcuts and buttons from it and
// tests run commands through it.

#include <array>
#include <span>

namespace pelt {

class App;
class MainFrame;

using CommandFn = void (*)(MainFrame&);
using CommandRule = bool (*)(const App&);
using CommandText = const char* (*)(const App&);

struct Command {
  int id;
  // "File", "Options/Phong Maps": a top menu and at most one submenu, whose
  // name may hold a '/' ("Skins/Skin F/X..."); "" when only a key or button
  // reaches it.
  const char* menu;
  const char* text;  // with '&' mnemonic and "\t" key hint
  const char* key;   // accelerator, "Ctrl+O" notation; "" for none
  int toolButton;    // 1-based tool-bar position, 0 for none
  const char* toolTip;
  CommandFn run;
  CommandRule enabled = nullptr;  // null: always enabled
  CommandRule checked = nullptr;  // null: never shows a check mark
  CommandText liveText = nullptr;  // null: `text` always
  // Keys in effect, "; " between two; null: `key` always.
  CommandText liveKey = nullptr;
};

// Commands beyond the specified ones that other code names.
inline constexpr int kFitSkinId = 32925;
inline constexpr int kFrameModelId = 32926;
inline constexpr int kPlayAnimationId = 32927;
inline constexpr int kPlayAllFramesId = 32928;
inline constexpr int kKeysAndMouseId = 32929;
inline constexpr int kUserGuideId = 32930;

// Menu bar order of the top-level menus.
inline constexpr std::array<const char*, 8> kMenuOrder = {
    "File", "Edit", "Companion", "Options", "Skins", "Mapping", "Rectangle", "Help"};

// Tool-bar ids left to right; 0 is a separator. The brush size box follows
// the Fill Brush.
inline constexpr int kBrushSizeAfterId = 33240;
// clang-format off
inline constexpr std::array<int, 24> kToolBarLayout = {
    32779, 0, 32780, 32781, 0, 32802, 32800, 32801, 0, 32836, 32866, 32850, 0, 32864, 0,
    32868, 32869, 0, 33240, 0, kPlayAnimationId, 0, 33300, 33301};
// clang-format on

std::span<const Command> commandTable();
const Command* findCommand(int id);

bool isCommandEnabled(const Command& command, const App& app);
bool isCommandChecked(const Command& command, const App& app);
const char* commandText(const Command& command, const App& app);
const char* commandKey(const Command& command, const App& app);

// Runs an enabled command; false when the id is unknown or disabled.
bool runCommand(MainFrame& frame, int id);

}  // namespace pelt
