// The whole command table: every row of the menus, keys and tool bar, every
// id dispatched through it, and the commands that only flip state.
#include "app/command_table.h"

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
#include <map>
#include <set>

#include "app/commands/help.h"
#include "app/intro/about.h"
#include "frame_fixture.h"
#include "skinview/skin_view.h"

namespace pelt {
namespace {

using test::RecordedRefresh;

struct Row {
  int id;
  const char* menu;
  const char* text;
  const char* key;
  int button;
};

// In the order the menus show them; the commands without a menu last.
// clang-format off
constexpr Row kExpected[] = {
    {32772, "File", "&Open...\tCtrl+O", "Ctrl+O", 0},
    {32773, "File", "&Save\tCtrl+S", "Ctrl+S", 0},
    {32774, "File", "Save &As...\tCtrl+A", "Ctrl+A", 0},
    {32771, "File", "&Base Folder...", "", 0},
    {32829, "File", "Preferences", "", 0},
    {57665, "File", "E&xit", "", 0},
    {32880, "File", "Open From &Game...", "", 0},
    {33300, "Edit", "&Undo\tAlt+Backspace", "Alt+Backspace", 15},
    {33301, "Edit", "&Redo\tCtrl+Y", "Ctrl+Y", 16},
    {32809, "Companion", "&Open", "", 0},
    {32810, "Companion", "&Close", "", 0},
    {32813, "Companion", "&Load Skin", "", 0},
    {32811, "Companion", "&Hide\tH", "H", 0},
    {32814, "Companion", "&Offset", "", 0},
    {32858, "Options/Phong Maps", "&Open", "", 0},
    {32859, "Options/Phong Maps", "&Close", "", 0},
    {32862, "Options/Phong Maps", "&Scan Folder", "", 0},
    {32860, "Options/Environment Maps", "&Open", "", 0},
    {32861, "Options/Environment Maps", "&Close", "", 0},
    {32863, "Options/Environment Maps", "&Scan Folder", "", 0},
    {32775, "Options", "&Swap Displays", "", 0},
    {32857, "Options", "Snapshot\tF12", "F12", 0},
    {32865, "Options", "&Benchmark\tF11", "F11", 0},
    {32779, "Options", "&Camera Override\tSpace", "Space", 1},
    {32780, "Options", "&Paint Mode\t1", "1", 2},
    {32781, "Options", "M&apping Mode\t2", "2", 3},
    {32802, "Options", "Point Brush\tShift+1", "Shift+1", 4},
    {32800, "Options", "Pencil Brush\tShift+2", "Shift+2", 5},
    {32801, "Options", "Line Brush\tShift+3", "Shift+3", 6},
    {33240, "Options", "Fill Brush\tShift+4", "Shift+4", 13},
    {33241, "Options", "Larger Brush\tCtrl+]", "Ctrl+]", 0},
    {33242, "Options", "Smaller Brush\tCtrl+[", "Ctrl+[", 0},
    {33243, "Options", "Round Brush\tB", "B", 0},
    {33244, "Options", "Soft Brush", "", 0},
    {33245, "Options", "Mirror Painting\tM", "M", 0},
    {33246, "Options/Mirror Axis", "X", "", 0},
    {33247, "Options/Mirror Axis", "Y", "", 0},
    {33248, "Options/Mirror Axis", "Z", "", 0},
    {kFitSkinId, "Options", "Fit Skin\tHome", "Home", 0},
    {kFrameModelId, "Options", "Frame Model\tShift+Home", "Shift+Home", 0},
    {kPlayAnimationId, "Options", "Play Animation\tP", "P", 14},
    {kPlayAllFramesId, "Options", "Play All Frames\tShift+P", "Shift+P", 0},
    {32785, "Skins", "&New\tShift+N", "Shift+N", 0},
    {32777, "Skins", "&Open\tShift+O", "Shift+O", 0},
    {32782, "Skins", "&Close/Delete\tShift+D", "Shift+D", 0},
    {32842, "Skins", "Dupl&icate\tCtrl+D", "Ctrl+D", 0},
    {32783, "Skins", "&Save\tShift+S", "Shift+S", 0},
    {32784, "Skins", "Save &As\tShift+A", "Shift+A", 0},
    {32788, "Skins", "&Link\tShift+L", "Shift+L", 0},
    {32789, "Skins", "&Unlink\tCtrl+L", "Ctrl+L", 0},
    {32793, "Skins", "&Move Up\tCtrl+Up", "Ctrl+Up", 0},
    {32794, "Skins", "Move &Down\tCtrl+Down", "Ctrl+Down", 0},
    {32787, "Skins", "&Store\tShift+Z", "Shift+Z", 0},
    {32786, "Skins", "&Revert\tCtrl+Z", "Ctrl+Z", 0},
    {32795, "Skins", "R&eload\tF5", "F5", 0},
    {33320, "Skins", "Export True Colour...", "", 0},
    {32776, "Skins", "&Scan Folder...", "", 0},
    {32799, "Skins", "Re-size &All...", "", 0},
    {32804, "Skins", "Re-&Palette", "", 0},
    {32855, "Skins", "Replace colors", "", 0},
    {32851, "Skins/Invert...", "&Palette", "", 0},
    {32852, "Skins/Invert...", "P&ixels", "", 0},
    {32853, "Skins/Invert...", "&Both", "", 0},
    {32843, "Skins/Skin F/X...", "&Outline Selected", "", 0},
    {32844, "Skins/Skin F/X...", "&Fill Selected", "", 0},
    {32845, "Skins/Skin F/X...", "&Shade Selected", "", 0},
    {32847, "Skins/Skin F/X...", "Load To Selected", "", 0},
    {32796, "Mapping", "&Select All\tShift+C", "Shift+C", 0},
    {32797, "Mapping", "Select &None\tC", "C", 0},
    {32798, "Mapping", "&Invert Selection\tI", "I", 0},
    {32837, "Mapping", "Select &Connected\t\\", "\\", 0},
    {32838, "Mapping", "&Grow Selection\t]", "]", 0},
    {32839, "Mapping", "Sh&rink Selection\t[", "[", 0},
    {32830, "Mapping", "&Hide Selected\tCtrl+H", "Ctrl+H", 0},
    {32831, "Mapping", "&Unhide All\tShift+H", "Shift+H", 0},
    {32840, "Mapping", "S&tore", "", 0},
    {32841, "Mapping", "R&evert", "", 0},
    {32816, "Mapping", "I&mport", "", 0},
    {32815, "Mapping", "&Export", "", 0},
    {32846, "Mapping", "Import to Selected", "", 0},
    {32867, "Rectangle", "&Map from 3D View...", "", 0},
    {57664, "Help", kAboutMenuText, "", 0},
    {kKeysAndMouseId, "Help", "Keys and Mouse\tF1", "F1", 0},
    {kUserGuideId, "Help", "User Guide", "", 0},
    {33302, "", "", "Ctrl+Shift+Z", 0},
    {32832, "", "", ".", 0},
    {32834, "", "", "'", 0},
    {32833, "", "", ",", 0},
    {32835, "", "", ";", 0},
    {32836, "", "", "", 7},
    {32866, "", "", "", 8},
    {32850, "", "", "", 9},
    {32864, "", "", "", 10},
    {32868, "", "", "", 11},
    {32869, "", "", "", 12},
};
// clang-format on

TEST(CommandTable, EveryRowAsTheMenusShowIt) {
  ASSERT_EQ(commandTable().size(), std::size(kExpected));
  std::vector<int> menuOrder, expectedMenuOrder, buttons(16);
  for (const Command& c : commandTable())
    if (*c.menu) menuOrder.push_back(c.id);
  for (const Row& row : kExpected) {
    const Command* c = findCommand(row.id);
    ASSERT_NE(c, nullptr) << row.id;
    EXPECT_EQ((std::array<std::string, 3>{c->menu, c->text, c->key}),
              (std::array<std::string, 3>{row.menu, row.text, row.key}));
    EXPECT_EQ(c->toolButton, row.button) << row.id;
    if (row.button) {
      buttons[static_cast<size_t>(row.button - 1)] = row.id;
      EXPECT_NE(*c->toolTip, 0) << row.id;
    }
    if (*row.menu) expectedMenuOrder.push_back(row.id);
  }
  EXPECT_EQ(menuOrder, expectedMenuOrder);
  std::set<std::string> keys;
  std::set<int> ids;
  for (const Command& c : commandTable()) {
    EXPECT_TRUE(!*c.key || keys.insert(c.key).second) << "bound twice: " << c.key;
    EXPECT_TRUE(ids.insert(c.id).second) << "id twice: " << c.id;
  }
  // The layout puts the buttons left to right by their numbers.
  std::vector<int> shown;
  std::copy_if(kToolBarLayout.begin(), kToolBarLayout.end(), std::back_inserter(shown),
               [](int id) { return id != 0; });
  EXPECT_EQ(shown, buttons);
}

// Keys and Mouse: every row of the table once, under its top menu in menu-bar
// order, with its key and button; the search matches words in any case.
TEST(CommandTable, KeysAndMouseListsEveryRow) {
  const KeysAndMouseValues values = keysAndMouseValues();
  std::map<int, KeysAndMouseValues::Row> rows;
  std::vector<std::string> titles;
  for (const auto& group : values.commands) {
    titles.push_back(group.title);
    for (const auto& row : group.rows) EXPECT_TRUE(rows.emplace(row.id, row).second) << row.id;
  }
  EXPECT_EQ(titles.front(), "File");
  EXPECT_EQ(titles[titles.size() - 2], "Help");
  ASSERT_EQ(rows.size(), commandTable().size());
  for (const auto& [id, row] : rows) EXPECT_FALSE(row.command.empty()) << id;
  EXPECT_EQ(std::tuple(rows.at(32779).key, rows.at(32779).toolBar, rows.at(32784).toolBar),
            std::tuple("Space", "button 1", ""));
  EXPECT_EQ(rows.at(32784).command, "Save As");
  EXPECT_EQ(rows.at(32858).menu, "Options > Phong Maps");
  EXPECT_EQ(rows.at(32843).menu, "Skins > Skin F/X...");
  EXPECT_EQ(rows.at(32836).command, "Drag Pixels with the Mapping");
  const std::pair<const char*, bool> searches[] = {
      {"", true}, {"save as", true}, {"SHIFT+a  skins", true}, {"save pencil", false}};
  for (auto [query, found] : searches) EXPECT_EQ(matchesSearch(rows.at(32784), query), found);
  EXPECT_GE(values.mouse.size(), 5u);
}

// "Menu/Item" without mnemonic and key hint; the tool tip or key of a row
// without a menu.
std::string commandName(const Command& c) {
  if (!*c.menu) return *c.toolTip ? c.toolTip : c.key;
  std::string name = std::string(c.menu) + "/";
  for (const char* p = c.text; *p && *p != '\t'; ++p)
    if (*p != '&') name += *p;
  return name;
}

using Names = std::set<std::string>;
const Names noCompanion = {"Companion/Close", "Companion/Load Skin", "Companion/Hide",
                           "Companion/Offset"};
const Names noHistory = {"Edit/Undo", "Edit/Redo", "Redo"};  // Redo: its second key

Names operator+(Names a, const Names& b) {
  a.insert(b.begin(), b.end());
  return a;
}

// What the menus offer and tick in each state, each row building on the one
// before. New commands add their names to the rows they belong to.
class CommandStates : public test::FrameTest {};

TEST_F(CommandStates, EnabledAndCheckedPerState) {
  const Names defaults = {"Options/Camera Override", "Options/Paint Mode",    "Options/Point Brush",
                          "Options/Round Brush",     "Options/Mirror Axis/X", "Blend: Mix Colours"};
  Names mapping = defaults, playing = defaults;
  mapping.erase("Options/Paint Mode");
  mapping.insert("Options/Mapping Mode");
  const Names noSkin = {"Skins/Export True Colour..."};
  playing.insert("Options/Play Animation");
  const struct {
    const char* state;
    std::function<void()> enter;
    Names disabled, checked;
  } states[] = {
      {"no model", [] {}, noCompanion + noHistory + noSkin, defaults},
      {"model without skin",
       [&] {
         ASSERT_TRUE(loadMd2(app, dir.write("bare.md2", encodeMd2(test::quadStripMd2(2, 16, 8)))));
       },
       noCompanion + noHistory + noSkin, defaults},
      {"skin, no selection", [&] { loadStrip(); }, noCompanion + noHistory, defaults},
      {"mapping mode", [&] { run(32781); }, noCompanion + noHistory, mapping},
      {"with selection", [&] { run(32796); }, noCompanion + noHistory, mapping},
      {"with companion",
       [&] {
         platform.answerFile(dir.write("c.md2", encodeMd2(test::quadStripMd2(1, 16, 8))));
         run(32809);
       },
       noHistory, mapping},
      {"paint mode", [&] { run(32780); }, noHistory, defaults},
      {"no selection", [&] { run(32797); }, noHistory, defaults},
      {"companion closed", [&] { run(32810); }, noCompanion + noHistory, defaults},
      {"a step made", [&] { run(32852); }, noCompanion + Names{"Edit/Redo", "Redo"}, defaults},
      {"undone", [&] { run(33300); }, noCompanion + Names{"Edit/Undo"}, defaults},
      {"playing", [&] { run(kPlayAnimationId); }, noCompanion + Names{"Edit/Undo"}, playing},
  };
  for (const auto& s : states) {
    SCOPED_TRACE(s.state);
    ASSERT_NO_FATAL_FAILURE(s.enter());
    Names disabled, checked;
    for (const Command& c : commandTable()) {
      if (!isCommandEnabled(c, app)) disabled.insert(commandName(c));
      if (isCommandChecked(c, app)) checked.insert(commandName(c));
    }
    EXPECT_EQ(disabled, s.disabled);
    EXPECT_EQ(checked, s.checked);
    for (const Command& c : commandTable())
      if (s.disabled.contains(commandName(c))) {
        EXPECT_FALSE(runCommand(frame, c.id)) << c.id;
      }
  }
}

class CommandWalk : public test::FrameTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(loadStrip());
    frame.setClientSize(800, 600, 40);
    platform.refreshes.clear();
  }
};

// Every dialog is cancelled and every question answered with its default,
// so each command runs to its first refusal without touching the disk.
TEST_F(CommandWalk, EveryIdDispatches) {
  for (const Command& c : commandTable())
    EXPECT_EQ(runCommand(frame, c.id), !(noCompanion + noHistory).contains(commandName(c))) << c.id;
  EXPECT_FALSE(runCommand(frame, 12345));
  EXPECT_EQ(host.closes, 1);  // Exit asks the window to close
}

// Help: Keys and Mouse shows the table's content; the guide opens from the
// build tree or the installation, or the user hears where it should be.
TEST_F(CommandWalk, HelpShowsTheKeysAndOpensTheGuide) {
  run(kKeysAndMouseId);
  EXPECT_EQ(platform.keysAndMouseGroups, keysAndMouseValues().commands.size());
  EXPECT_EQ(userGuideCandidates("/usr/bin")[2], "/usr/share/doc/pelt/user-guide.html");
  platform.programFolderPath = dir.file("bin");
  run(kUserGuideId);
  EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{kNoUserGuideMessage});
  dir.write("share/doc/pelt/user-guide.md", {'#'});
  run(kUserGuideId);
  dir.write("bin/docs/user-guide.html", {'<'});
  run(kUserGuideId);
  EXPECT_EQ(platform.documentsOpened,
            (std::vector<std::string>{dir.file("share/doc/pelt/user-guide.md"),
                                      dir.file("bin/docs/user-guide.html")}));
}

TEST_F(CommandWalk, ChecksFollowTheState) {
  for (const std::vector<int>& ids : {std::vector{32781, 32780},
                                      {32869, 32868},
                                      {32802, 32800, 33240, 32801},
                                      {33248, 33246, 33247}})
    for (int id : ids) {
      run(id);
      for (int other : ids) EXPECT_EQ(checked(other), other == id) << id;
    }
  EXPECT_EQ(app.brushKind, 2);  // the line brush, run last
  EXPECT_EQ(app.mirrorAxis, 1);
  // Round, soft and mirror flip; the soft brush's weakest strength is a sixteenth.
  for (int id : {33243, 33244, 33245}) {
    const bool was = checked(id);
    run(id);
    EXPECT_NE(checked(id), was) << id;
  }
  EXPECT_FALSE(app.brush.round);
  EXPECT_EQ(app.softBlendTables[kFullLevel], app.blendTable);
  EXPECT_EQ(platform.statusText, "Mirror painting across Y");
  run(32779);  // camera override off
  EXPECT_FALSE(checked(32779));

  run(32866);
  EXPECT_EQ(frame.skinView()->mapRectShown, 1);
  EXPECT_EQ(platform.refreshes.back(), (RecordedRefresh{0, 1, true}));
  run(32850);
  EXPECT_TRUE(app.showMeshWhilePainting && checked(32850) && checked(32866));
  EXPECT_EQ(platform.refreshes.back(), (RecordedRefresh{0, 0x2F, true}));
}

TEST_F(CommandWalk, ColourKeysStepTheSlotWrappingAndRebuildTheBlend) {
  const RecordedRefresh blend{0, 0x28, false}, views{0, 0x23, true};
  struct Case {
    int slot, id;
    std::uint8_t before, after;
    std::vector<RecordedRefresh> refreshes;  // the mesh and background slots redraw the views
  } cases[] = {
      {4, 32832, 255, 0, {blend}},        {4, 32833, 0, 255, {blend}},
      {4, 32834, 250, 10, {blend}},       {4, 32835, 3, 243, {blend}},
      {4, 32832, 7, 8, {blend}},          {3, 32834, 0, 16, {blend, views}},
      {7, 32833, 0, 255, {blend, views}},
  };
  for (const Case& c : cases) {
    platform.refreshes.clear();
    app.currentSlot = c.slot;
    app.colorSlots[static_cast<size_t>(c.slot)] = c.before;
    const auto ramps = app.shading.shadeRamps;
    run(c.id);
    EXPECT_EQ(app.shading.shadeRamps != ramps, c.slot >= 1 && c.slot <= 3) << c.slot;
    EXPECT_EQ(app.colorSlots[static_cast<size_t>(c.slot)], c.after) << c.id;
    // Full strength in RGB: every index paints to the new colour (the
    // pattern palette has no duplicates).
    EXPECT_EQ(app.blendTable[0], c.after);
    EXPECT_EQ(platform.refreshes, c.refreshes) << c.slot;
  }
}

}  // namespace
}  // namespace pelt
