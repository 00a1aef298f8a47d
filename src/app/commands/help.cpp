#include "app/commands/help.h"

#include <filesystem>

#include "app/app.h"
#include "app/command_table.h"
#include "app/intro/about.h"
#include "platform/paths.h"
#include "platform/platform.h"

namespace pelt {

namespace {

using Gesture = KeysAndMouseValues::Gesture;
using GestureGroup = KeysAndMouseValues::GestureGroup;

constexpr const char* kOtherCommandsTitle = "Keys and tool-bar buttons without a menu entry";

// What the mouse does, by mode; the command table holds no gestures.
std::vector<GestureGroup> mouseGestures() {
  return {
      {"Camera override on (Space; Pelt starts this way): skin view",
       {{"Left drag", "moves the skin"}, {"Right drag up or down", "zooms out or in"}}},
      {"Camera override on: 3D view",
       {{"Left drag", "orbits the eye around the target"},
        {"Right drag", "looks around from the eye"},
        {"Left drag with the right button also held", "up or down moves the eye nearer or farther"},
        {"Right drag with the left button also held",
         "up or down moves the target farther or nearer"},
        {"Shift+left drag", "widens or narrows the field of view"},
        {"Shift+right drag", "turns the light"}}},
      {"In every mode",
       {{"Wheel over the skin view", "zooms about the pointer"},
        {"Wheel over the 3D view", "turns the model about the vertical axis"},
        {"Ctrl+wheel over the 3D view", "moves the eye toward or away from the target"},
        {"Middle drag in the 3D view", "slides the eye and the target together"},
        {"Any button in either view", "stops a playing animation on the frame shown"}}},
      {"Mesh Paint mode (1), camera override off",
       {{"Left drag in the skin view", "paints with the current brush at its size"},
        {"Left click with the fill brush", "fills the connected area of that colour"},
        {"Ctrl+left click with the fill brush", "fills it only where selected triangles lie"},
        {"Right click or drag in the skin view", "picks the paint colour from the skin"},
        {"Left drag on the model", "paints on the model (in the textured render modes)"},
        {"Right click or drag on the model", "picks the paint colour from the model"}}},
      {"Mapping Adjustment mode (2), camera override off",
       {{"Left drag on a mapping vertex", "moves it (for the selected triangles if they use it)"},
        {"Shift+left click or drag in the skin view", "adds the triangles under the pointer"},
        {"Ctrl+left click or drag in the skin view", "removes them from the selection"},
        {"Right drag in the skin view", "moves the selected mapping"},
        {"Shift+right drag in the skin view", "rotates it about the press point"},
        {"Ctrl+right drag in the skin view", "scales it about the press point"},
        {"Left drag on the model", "selects the triangles brushed over"},
        {"Right drag on the model", "deselects them"}}},
      {"Rectangle tool (tool-bar button 8), camera override off: skin view",
       {{"Left drag away from the rectangle", "draws a new one for Map from 3D View"},
        {"Left drag inside it", "moves it"},
        {"Left drag on a side", "moves that side"}}},
      {"Colour boxes",
       {{"Left click a slot of the palette box", "makes it the current slot, the paint colour"},
        {"Left click or drag in the palette", "gives the current slot that colour"},
        {"Right click or drag in the palette", "protects colours from painting, or frees them"},
        {"Wheel over the palette box", "steps the current slot's colour by 16"},
        {"Left drag in the gradient box", "sets how strongly painting blends"},
        {"Right drag in the gradient box", "sets the light curve of the lit modes"},
        {"Left drag on the gradient box's grip", "moves the split between the views"},
        {"Right click on the grip", "swaps the two views"},
        {"Left click on A or B", "applies that split"},
        {"Right click on A or B", "stores the current split there"}}},
  };
}

KeysAndMouseValues::Row rowOf(const Command& c) {
  KeysAndMouseValues::Row row;
  row.id = c.id;
  row.command = *c.text ? plainCommandText(c.text) : c.toolTip;
  row.menu = menuPathText(c.menu);
  row.key = c.key;
  if (c.toolButton) row.toolBar = "button " + std::to_string(c.toolButton);
  return row;
}

}  // namespace

std::string menuPathText(const char* menu) {
  const std::string path = menu;
  // Only the first '/' divides: "Skins/Skin F/X..." is one submenu.
  const size_t slash = path.find('/');
  return slash == std::string::npos ? path : path.substr(0, slash) + " > " + path.substr(slash + 1);
}

std::string plainCommandText(const char* text) {
  std::string out;
  for (const char* p = text; *p && *p != '\t'; ++p)
    if (*p != '&') out += *p;
  return out;
}

KeysAndMouseValues keysAndMouseValues() {
  KeysAndMouseValues values;
  for (const char* top : kMenuOrder) {
    KeysAndMouseValues::Group group{top, {}};
    for (const Command& c : commandTable())
      if (std::string(c.menu).substr(0, std::string(c.menu).find('/')) == top)
        group.rows.push_back(rowOf(c));
    if (!group.rows.empty()) values.commands.push_back(std::move(group));
  }
  KeysAndMouseValues::Group other{kOtherCommandsTitle, {}};
  for (const Command& c : commandTable())
    if (!*c.menu) other.rows.push_back(rowOf(c));
  if (!other.rows.empty()) values.commands.push_back(std::move(other));
  values.mouse = mouseGestures();
  return values;
}

bool matchesSearch(const KeysAndMouseValues::Row& row, const std::string& query) {
  return containsEveryWord(row.command + "\n" + row.menu + "\n" + row.key + "\n" + row.toolBar,
                           query);
}

std::vector<std::string> userGuideCandidates(const std::string& programFolder) {
  std::vector<std::string> out;
  if (programFolder.empty()) return out;
  for (const char* folder : {"docs", "../share/doc/pelt"})
    for (const char* name : {"user-guide.html", "user-guide.md"})
      out.push_back((std::filesystem::path(programFolder) / folder / name).lexically_normal());
  return out;
}

void showKeysAndMouse(App& app) { app.platform.keysAndMouseWindow(keysAndMouseValues()); }

void openUserGuide(App& app) {
  Platform& platform = app.platform;
  for (const std::string& path : userGuideCandidates(platform.programFolder()))
    if (std::error_code ec; std::filesystem::is_regular_file(path, ec)) {
      // The desktop may still find no viewer; the status line says where it is.
      if (!platform.openDocument(path)) break;
      platform.showStatusText("User guide: " + path);
      return;
    }
  platform.messageBox(kNoUserGuideMessage, MessageButtons::Ok);
}

void showAbout(App& app) { app.platform.aboutDialog(aboutValues(app.model, app.rasterizer)); }

}  // namespace pelt
