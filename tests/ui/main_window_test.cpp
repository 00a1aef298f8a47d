// The Qt shell as a user meets it: the window built from the command table,
// start-up prompts, file dialogs and the mapping dialog.
#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QtWidgets>
#include <deque>
#include <functional>

#include "app/app.h"
#include "app/command_table.h"
#include "app/commands/options_maps.h"
#include "app/common_texts.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "ui/dialogs.h"
#include "ui/keys_and_mouse_window.h"
#include "ui/open_from_game_dialog.h"
#include "ui/qt_platform.h"
#include "ui/view_widget.h"
#include "view3d/map_from_view.h"

namespace pelt {
namespace {

QApplication& application() {
  static int argc = 1;
  static char name[] = "pelt_ui_tests";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed: tearing Qt down after main() has returned crashes.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Answers the modal dialogs a call opens, one step per dialog. Each step gets
// the modal widget on top; a step returning false is not for that widget and
// waits for the next. A step may open further modals (a refused accept shows
// a message box): the following steps answer them.
class ModalScript {
 public:
  using Step = std::function<bool(QWidget* modal)>;
  explicit ModalScript(std::deque<Step> steps) : steps_(std::move(steps)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    timer_.start(10);
  }
  bool finished() const { return steps_.empty(); }

 private:
  // Steps run from a posted call, not from the timer's slot: Qt does not
  // fire a timer again while its slot runs, and a step may open a modal.
  void tick() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || steps_.empty() || posted_) return;
    posted_ = true;
    QMetaObject::invokeMethod(
        &timer_,
        [this, modal = QPointer<QWidget>(modal)] {
          posted_ = false;
          if (modal.isNull() || steps_.empty()) return;
          Step step = std::move(steps_.front());
          steps_.pop_front();
          if (!step(modal)) steps_.push_front(std::move(step));
        },
        Qt::QueuedConnection);
  }

  std::deque<Step> steps_;
  QTimer timer_;
  bool posted_ = false;
};
using Step = ModalScript::Step;

// A step for the file dialog on top: `act` runs, then `name` is typed into
// the name field, as a user does, and Open pressed. Typed rather than
// selectFile(): that leaves the field alone while it has the focus, and the
// dialog would then wait for ever.
Step inFileDialog(QString name, std::function<void(QFileDialog*)> act = {}) {
  return [=](QWidget* modal) {
    auto* files = qobject_cast<QFileDialog*>(modal);
    if (files == nullptr) return false;
    if (act) act(files);
    files->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    static_cast<QDialog*>(files)->accept();
    return true;
  };
}

// A step for a message box: its text is kept, a question answered No.
Step answerBox(QStringList* texts) {
  return [=](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return false;
    *texts << box->text();
    QAbstractButton* no = box->button(QMessageBox::No);
    no ? no->click() : box->accept();
    return true;
  };
}

QStringList items(QComboBox* combo) {
  QStringList out;
  for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
  return out;
}

class Shell : public ::testing::Test {
 protected:
  Shell()
      : platform((application(), QString::fromStdString(dir.file("settings.ini")))),
        app(platform),
        window(app, platform) {
    platform.setWindow(&window);
    for (const char* key : {"Quick Exit", "Skip Intro", "DirScan_Prompt"})
      platform.writeInt("Preferences", key, 1);
    dir.write("models/m/skin.pcx", encodeSkinPcx(test::patternSkin(64, 32)));
    model = dir.write("models/m/tris.md2",
                      encodeMd2(test::quadStripMd2(2, 64, 32, {"models/m/skin.pcx"}, 3)));
  }
  ~Shell() override { window.close(); }
  QString path(const std::string& name = "") {
    return QString::fromStdString(name.empty() ? dir.path() : dir.file(name));
  }
  void startOnModel() {
    ASSERT_EQ(window.startUp(parseArguments({"pelt", "-base", dir.path(), "-md2", model})),
              StartupResult::Ready);
  }

  test::TempDir dir;
  QtPlatform platform;
  App app;
  MainWindow window;
  std::string model;
};

// Whether the action sits in the menu its path ends with.
bool inMenu(QAction* action, const QString& path) {
  const QString last = path.section('/', 1).isEmpty() ? "&" + path : path.section('/', 1);
  for (QObject* owner : action->associatedObjects())
    if (auto* menu = qobject_cast<QMenu*>(owner); menu && menu->title() == last) return true;
  return false;
}

TEST_F(Shell, EveryCommandWithItsMenuKeyStateAndToolButton) {
  startOnModel();
  window.updateCommandStates();
  QStringList tops;
  for (QAction* a : window.menuBar()->actions()) tops << a->text();
  EXPECT_EQ(tops.join(" ").toStdString(),
            "&File &Edit &Companion &Options &Skins &Mapping &Rectangle &Help");
  for (const Command& c : commandTable()) {
    QAction* action = window.action(c.id);
    ASSERT_NE(action, nullptr) << c.id;
    EXPECT_EQ(inMenu(action, c.menu), *c.menu != 0) << c.id;
    EXPECT_EQ(action->text().toStdString(), commandText(c, app)) << c.id;
    EXPECT_EQ(action->shortcut(), QKeySequence::fromString(c.key, QKeySequence::PortableText))
        << c.id;
    EXPECT_EQ(action->isEnabled(), isCommandEnabled(c, app)) << c.id;
    EXPECT_TRUE(!c.checked || action->isChecked() == isCommandChecked(c, app)) << c.id;
  }
  // The thirteen buttons and Play Animation, with images and tips, in the table's order.
  std::vector<int> ids;
  for (QAction* a : window.findChild<QToolBar*>()->actions()) {
    if (a->isSeparator() || qobject_cast<QWidgetAction*>(a)) continue;
    EXPECT_FALSE(a->icon().isNull() || a->toolTip().isEmpty());
    for (const Command& c : commandTable())
      if (window.action(c.id) == a) ids.push_back(c.id);
  }
  EXPECT_EQ(ids, (std::vector<int>{32779, 32780, 32781, 32802, 32800, 32801, 32836, 32866, 32850,
                                   32864, 32868, 32869, 33240, kPlayAnimationId, 33300, 33301}));
  // Then the brush size box: it follows the size keys and sets the size.
  window.action(33241)->trigger();
  EXPECT_EQ(window.brushSizeBox()->value(), 2);
  window.brushSizeBox()->setValue(24);
  EXPECT_EQ(app.brush.size, 24);
}

// F1 shows every command of the table; the search narrows the list.
// The title carries the modified mark while a step is undone; Ctrl+Z moves
// from Revert to Undo with its preference.
TEST_F(Shell, TheTitleAndTheEditMenuFollowTheHistory) {
  startOnModel();
  EXPECT_EQ(window.windowTitle().toStdString(), "tris.md2[*] - Pelt");
  EXPECT_FALSE(window.isWindowModified() || window.action(33300)->isEnabled());
  window.action(32852)->trigger();  // Invert Pixels
  EXPECT_TRUE(window.isWindowModified());
  EXPECT_EQ(window.action(33300)->text().toStdString(), "&Undo Invert Pixels\tAlt+Backspace");
  window.action(33300)->trigger();
  EXPECT_FALSE(window.isWindowModified());
  EXPECT_TRUE(window.action(33301)->isEnabled());
  app.ctrlZUndoes = true;
  window.updateCommandStates();
  EXPECT_EQ(window.action(33300)->shortcuts(),
            (QList<QKeySequence>{QKeySequence("Alt+Backspace"), QKeySequence("Ctrl+Z")}));
  EXPECT_TRUE(window.action(32786)->shortcuts().isEmpty());
}

TEST_F(Shell, KeysAndMouseWindowListsEveryCommand) {
  startOnModel();
  window.action(kKeysAndMouseId)->trigger();
  auto* keys = qobject_cast<KeysAndMouseWindow*>(platform.keysAndMouse());
  ASSERT_NE(keys, nullptr);
  EXPECT_TRUE(keys->isVisible());
  EXPECT_EQ(keys->shownCommands(), static_cast<int>(commandTable().size()));
  keys->findChild<QLineEdit*>("search")->setText("line BRUSH");
  EXPECT_EQ(keys->shownCommands(), 1);
  EXPECT_EQ(keys->findChild<QLabel*>("count")->text().toStdString(),
            "1 of " + std::to_string(commandTable().size()) + " commands");
  window.action(kKeysAndMouseId)->trigger();  // the same window again
  EXPECT_EQ(platform.keysAndMouse(), keys);
}

// A click that ends the intro goes nowhere else, its release included, and
// takes nothing from the click after it.
TEST_F(Shell, TheClickThatEndsTheIntroReachesNoButton) {
  startOnModel();
  QWidget* button = window.findChild<QToolBar*>()->widgetForAction(window.action(32781));
  auto click = [button](QEvent::Type type) {
    const QPointF at = button->rect().center();
    QMouseEvent event(type, at, button->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(button, &event);
  };
  // The release comes after the intro closed, or while it still shows; the
  // next click is the user's own either way.
  for (bool releasedOverIntro : {false, true}) {
    window.action(32780)->trigger();
    ASSERT_TRUE(platform.openIntroWindow(320, 240));
    click(QEvent::MouseButtonPress);
    EXPECT_TRUE(platform.takePendingInput());
    if (releasedOverIntro) click(QEvent::MouseButtonRelease);
    platform.closeIntroWindow();
    if (!releasedOverIntro) click(QEvent::MouseButtonRelease);
    EXPECT_EQ(app.interactionMode, 0);
    click(QEvent::MouseButtonPress);
    click(QEvent::MouseButtonRelease);
    EXPECT_EQ(app.interactionMode, 1) << releasedOverIntro;
  }
}

TEST_F(Shell, ShowsTheModelAndOpensAnotherThroughTheCommandTable) {
  startOnModel();
  EXPECT_EQ(items(window.list(FrameList::Frames)), (QStringList{"frame0", "frame1", "frame2"}));
  EXPECT_EQ(items(window.list(FrameList::Skins)), QStringList{"  models/m/skin.pcx"});
  for (ViewId id : {ViewId::SkinView, ViewId::ModelView, ViewId::GradientBox, ViewId::PaletteBox}) {
    Rect r = window.frame().viewRect(id);
    EXPECT_EQ(window.viewWidget(id)->geometry(), QRect(r.left, r.top, r.width(), r.height()));
  }
  emit window.list(FrameList::Frames)->activated(2);
  EXPECT_EQ(app.model.currentFrameIndex, 2);

  // Scanned maps show no choice: Qt would choose the first.
  for (const char* name : {"phongs/a.pcx", "phongs/b.pcx"})
    dir.write(name, encodeSkinPcx(test::patternSkin(256, 256)));
  scanMapFolder(app, MapKind::Phong, dir.file("phongs"));
  QComboBox* phongs = window.list(FrameList::PhongMaps);
  EXPECT_EQ(std::pair(phongs->count(), phongs->currentIndex()), std::pair(2, -1));

  const std::string other = dir.write(
      "other/tris.md2", encodeMd2(test::quadStripMd2(1, 64, 32, {"models/m/skin.pcx"}, 2)));
  ModalScript script({inFileDialog(QString::fromStdString(other))});
  window.action(32772)->trigger();
  EXPECT_TRUE(script.finished());  // nothing unsaved: no question
  EXPECT_EQ(app.currentFile, other);
  EXPECT_EQ(items(window.list(FrameList::Frames)), (QStringList{"frame0", "frame1"}));
  EXPECT_EQ(platform.readString("Project", "CurFile", ""), other);
  // The close request stores the split before asking.
  window.close();
  EXPECT_EQ(platform.readInt("Preferences", "Splitter", 0), 6500);
}

TEST_F(Shell, StartUpPromptsOverTheShownWindowAndOpensATypedName) {
  QStringList texts, titles;
  bool shownUnderEveryPrompt = true;
  auto checked = [&](Step step) -> Step {
    return [&, step](QWidget* modal) {
      shownUnderEveryPrompt &= window.isVisible() && modal->parentWidget() == &window;
      return step(modal);
    };
  };
  auto title = [&](QFileDialog* files) { titles << files->windowTitle(); };
  auto intoModels = [&](QFileDialog* files) {
    title(files);
    files->setDirectory(path("models/m"));
  };
  ModalScript script({checked(answerBox(&texts)), checked(inFileDialog(path(), title)),
                      checked(inFileDialog("tris", intoModels))});
  ASSERT_EQ(window.startUp(parseArguments({"pelt", "-base", dir.file("gone")})),
            StartupResult::Ready);
  EXPECT_TRUE(script.finished() && shownUnderEveryPrompt);
  EXPECT_EQ(texts, QStringList{kFolderNotValidMessage});
  EXPECT_EQ(titles, (QStringList{"Please locate the 'baseq2' folder under Quake2", "Open"}));
  EXPECT_EQ(app.currentFile, model);
}

TEST_F(Shell, OpenDialogsMatchAnyNameAndStayOutOfKernelFolders) {
  startOnModel();
  QStringList filters, texts;
  QString startedIn;
  auto browse = [&](QFileDialog* files) {
    filters = files->nameFilters();
    startedIn = files->directory().absolutePath();
    // Listing the kernel's files must not read them (/proc/kmsg never ends).
    files->setViewMode(QFileDialog::Detail);
    files->setDirectory("/proc");
    files->selectFile("/proc/kmsg");
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300) QApplication::processEvents();
    files->setDirectory(path());
  };
  // A name with an extension must exist; one without passes to the program.
  ModalScript script(
      {inFileDialog("missing.pcx", browse), answerBox(&texts), inFileDialog("colormap")});
  std::optional<FileDialogResult> chosen =
      platform.fileDialog({false, kPaletteFilter, "*.pcx", "/proc/self"});
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->path, dir.file("colormap"));
  EXPECT_TRUE(filters.contains("All Files (*)"));
  EXPECT_EQ(startedIn, path());
  EXPECT_TRUE(texts.size() == 1 && texts[0].startsWith("missing.pcx\nFile not found."));
}

// Each projection button stands for the projection its label names, and the
// dialog opens on "Parallel".
TEST(MapFromViewDialog, ButtonsChooseTheProjectionTheyName) {
  application();
  QStringList shown;
  ModalScript script({[&](QWidget* modal) {
    for (auto* button : modal->findChildren<QRadioButton*>())
      if (button->isChecked()) shown << button->text();
    for (auto* button : modal->findChildren<QRadioButton*>())
      if (button->text() == "Perspective") button->setChecked(true);
    static_cast<QDialog*>(modal)->accept();
    return true;
  }});
  MapFromViewValues values = defaultMapFromViewValues();
  ASSERT_TRUE(runMapFromViewDialog(nullptr, values));
  EXPECT_EQ(shown, QStringList{"Parallel"});
  EXPECT_EQ(values.projection, kProjectionPerspective);
}

// Typing into the filter hides the rows lacking any of its words (in name
// or source, any case) and chooses the first one left, so Enter opens it.
TEST(OpenFromGameDialog, TheFilterChoosesTheFirstRowItLeaves) {
  application();
  int shownRows = 0;
  ModalScript script({[&](QWidget* modal) {
    auto* filter = modal->findChild<QLineEdit*>("gameModelFilter");
    filter->setText(" WEAPON pak0 ");
    auto* table = modal->findChild<QTableWidget*>("gameModels");
    for (int r = 0; r < table->rowCount(); ++r) shownRows += table->isRowHidden(r) ? 0 : 1;
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(filter, &enter);
    return true;
  }});
  OpenFromGameValues values{{{"m/tris.md2", "loose"},
                             {"m/weapon.md2", "loose, shadows pak0.pak"},
                             {"w/weapon.md2", "pak1.pak"}},
                            "",
                            ""};
  ASSERT_TRUE(runOpenFromGameDialog(nullptr, values));
  EXPECT_EQ(shownRows, 1);
  EXPECT_EQ(values.chosen + "|" + values.filter, "m/weapon.md2| WEAPON pak0 ");
}

}  // namespace
}  // namespace pelt
