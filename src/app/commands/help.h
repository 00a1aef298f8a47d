#pragma once
// The Help menu: Keys and Mouse (every command of the command table and
// what the mouse does in each mode), the user guide, and About.

#include <string>
#include <vector>

#include "platform/dialog_values.h"

namespace pelt {

class App;

// Shown when no guide was found or the desktop could not open it.
inline constexpr const char* kNoUserGuideMessage =
    "The user guide could not be opened. It is installed with Pelt as user-guide.html "
    "(and user-guide.md) in its documentation folder.";

// The menu path of a command as the window shows it: "Options > Phong Maps".
std::string menuPathText(const char* menu);
// A menu text without its mnemonic marks and key hint: "Save &As\tShift+A" -> "Save As".
std::string plainCommandText(const char* text);

// The window's content, made from the command table: one group per menu in
// menu-bar order, then the commands only a key or a tool-bar button reaches.
KeysAndMouseValues keysAndMouseValues();

// Whether a row shows under a search: every word of `query` appears in its
// command, menu, key or tool-bar text, in any case.
bool matchesSearch(const KeysAndMouseValues::Row& row, const std::string& query);

// Where the guide may be, best first, for a program in `programFolder`: the
// build tree keeps it in docs/ beside the program, an installation in
// share/doc/pelt.
std::vector<std::string> userGuideCandidates(const std::string& programFolder);

void showKeysAndMouse(App& app);
void openUserGuide(App& app);
void showAbout(App& app);

}  // namespace pelt
