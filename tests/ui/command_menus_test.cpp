// The menus, shortcuts and tool bar of the real window, built from the
// command table.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "app/app.h"
#include "app/command_line.h"
#include "app/command_table.h"
#include "qt_test_app.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"

namespace pelt {
namespace {

// Whether the action sits in the menu its path ends with.
bool inMenu(QAction* action, const QString& path) {
  const QString last = path.section('/', 1).isEmpty() ? "&" + path : path.section('/', 1);
  for (QObject* owner : action->associatedObjects())
    if (auto* menu = qobject_cast<QMenu*>(owner); menu && menu->title() == last) return true;
  return false;
}

TEST(CommandMenus, EveryEntryWithItsKeyButtonAndState) {
  test::application();
  test::TempDir dir;
  dir.write("m/skin.pcx", encodeSkinPcx(test::patternSkin(16, 8)));
  const std::string model =
      dir.write("m/tris.md2", encodeMd2(test::quadStripMd2(2, 16, 8, {"m/skin.pcx"})));
  QtPlatform platform(QString::fromStdString(dir.file("settings.ini")));
  platform.writeInt("Preferences", "Skip Intro", 1);
  App app(platform);
  MainWindow window(app, platform);
  platform.setWindow(&window);
  ASSERT_EQ(window.frame().start(parseArguments({"pelt", "-base", dir.path(), "-md2", model})),
            StartupResult::Ready);
  window.updateCommandStates();

  QStringList tops;
  for (QAction* a : window.menuBar()->actions()) tops << a->text();
  EXPECT_EQ(tops.join(" ").toStdString(),
            "&File &Companion &Options &Skins &Mapping &Rectangle &Help");

  for (const Command& c : commandTable()) {
    QAction* action = window.action(c.id);
    ASSERT_NE(action, nullptr) << c.id;
    EXPECT_EQ(inMenu(action, c.menu), *c.menu != 0) << c.id;
    EXPECT_EQ(action->text().toStdString(), commandText(c, app)) << c.id;
    EXPECT_EQ(action->shortcut(), QKeySequence::fromString(c.key, QKeySequence::PortableText))
        << c.id;
    EXPECT_EQ(action->isEnabled(), isCommandEnabled(c, app)) << c.id;
    if (c.checked) {
      EXPECT_EQ(action->isChecked(), isCommandChecked(c, app)) << c.id;
    }
  }

  // Twelve buttons with images and tips, in the table's order.
  QToolBar* bar = window.findChild<QToolBar*>();
  ASSERT_NE(bar, nullptr);
  std::vector<int> ids;
  for (QAction* a : bar->actions()) {
    if (a->isSeparator()) continue;
    EXPECT_FALSE(a->icon().isNull());
    EXPECT_FALSE(a->toolTip().isEmpty());
    for (const Command& c : commandTable())
      if (window.action(c.id) == a) ids.push_back(c.id);
  }
  EXPECT_EQ(ids, (std::vector<int>{32779, 32780, 32781, 32802, 32800, 32801, 32836, 32866, 32850,
                                   32864, 32868, 32869}));

  platform.writeInt("Preferences", "Quick Exit", 1);
  window.close();
}

}  // namespace
}  // namespace pelt
