#pragma once
// Contents of the main window's six drop-down lists, and the choices made in
// them that belong to the shell.

#include <array>
#include <string>
#include <vector>

#include "app/frame_layout.h"

namespace pelt {

class App;
class MainFrame;

inline constexpr std::array<const char*, 9> kRenderModeNames = {
    "Wireframe",    "Wireframe, Solid",   "Flat Shaded",
    "Gouraud Shaded", "Phong Shaded",     "Textured",
    "Environment Mapped", "Textured, G-Shaded", "Textured, P-Shaded"};

// Ends the skin list entry of a skin painted since it was last saved; the
// leading "* " already marks unlinked skins.
inline constexpr const char* kPaintedSkinMark = " *";

struct ListContents {
  std::vector<std::string> entries;
  int selected = -1;
};

ListContents listContents(const App& app, FrameList list);

// Shows another frame of the model.
void chooseFrame(App& app, int index);

// A render mode chosen in the list; a mode the 3D view refuses leaves the
// list on the current one.
void chooseRenderMode(MainFrame& frame, int index);

// The user chose entry `index` of one of the six lists.
void chooseListEntry(App& app, FrameList list, int index);

}  // namespace pelt
