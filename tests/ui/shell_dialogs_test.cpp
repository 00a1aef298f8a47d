// The Qt shell as a first-time user meets it: start-up prompts over a
// window already on screen, typed names, kernel folders, lists, status bar.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStatusBar>

#include "app/app.h"
#include "app/common_texts.h"
#include "app/map_commands.h"
#include "qt_test_app.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"

namespace pelt {
namespace {

using Step = test::ModalScript::Step;

// A step for the file dialog on top: `act` runs, then `name` is typed into
// the name field, as a user does, and Open pressed.
Step inFileDialog(std::function<void(QFileDialog*)> act, QString name) {
  return [=](QWidget* modal) {
    auto* files = qobject_cast<QFileDialog*>(modal);
    if (files == nullptr) return false;
    act(files);
    files->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    static_cast<QDialog*>(files)->accept();
    return true;
  };
}

Step pressOk(QStringList* texts) {
  return [=](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box) *texts << box->text();
    if (box) box->accept();
    return box != nullptr;
  };
}

class Shell : public ::testing::Test {
 protected:
  Shell()
      : platform((test::application(), QString::fromStdString(dir.file("settings.ini")))),
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
  test::ModalScript script({checked(pressOk(&texts)), checked(inFileDialog(title, path())),
                            checked(inFileDialog(intoModels, "tris"))});
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
  test::ModalScript script({inFileDialog(browse, "missing.pcx"), pressOk(&texts),
                            inFileDialog([](QFileDialog*) {}, "colormap")});
  std::optional<FileDialogResult> chosen =
      platform.fileDialog({false, kPaletteFilter, "*.pcx", "/proc/self"});
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->path, dir.file("colormap"));
  EXPECT_EQ(filters.last(), "All Files (*)");
  EXPECT_EQ(startedIn, path());
  ASSERT_EQ(texts.size(), 1);
  EXPECT_TRUE(texts[0].startsWith("missing.pcx\nFile not found."));
}

TEST_F(Shell, MapListsShowNoChoiceAndTheStatusBarSaysReadyAgain) {
  startOnModel();
  for (const char* name : {"phongs/a.pcx", "phongs/b.pcx"})
    dir.write(name, encodeSkinPcx(test::patternSkin(256, 256)));
  scanMapFolder(app, MapKind::Phong, dir.file("phongs"));
  QComboBox* phongs = window.list(FrameList::PhongMaps);
  EXPECT_EQ(phongs->count(), 2);
  EXPECT_EQ(phongs->currentIndex(), -1);

  QEvent enter(QEvent::Enter), leave(QEvent::Leave);
  QApplication::sendEvent(phongs, &enter);
  EXPECT_EQ(window.statusBar()->currentMessage(), "Current List of Phong Maps");
  QApplication::sendEvent(phongs, &leave);
  EXPECT_EQ(window.statusBar()->currentMessage(), "Ready");
}

}  // namespace
}  // namespace pelt
