// The Qt shell as a first-time user meets it: start-up prompts over a
// window already on screen, typed names without an extension, kernel
// folders, list selections and the status bar.
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
#include "app/model_loading.h"
#include "qt_test_app.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"

namespace pelt {
namespace {

using test::application;
using test::ModalScript;
using Step = ModalScript::Step;

// Types `name` into the dialog's name field, as a user does, and presses Open.
void typeAndAccept(QFileDialog* files, const QString& name) {
  auto* field = files->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(field, nullptr);
  field->setText(name);
  static_cast<QDialog*>(files)->accept();
}

// In folder `folder`, types `name` and presses Open.
Step typeName(const QString& folder, const QString& name, QStringList* seen = nullptr) {
  return [=](QWidget* modal) {
    auto* files = qobject_cast<QFileDialog*>(modal);
    if (files == nullptr) return false;
    if (seen) *seen << files->windowTitle();
    files->setDirectory(folder);
    typeAndAccept(files, name);
    return true;
  };
}

Step pressOk(QStringList* texts) {
  return [=](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return false;
    *texts << box->text();
    box->accept();
    return true;
  };
}

class Shell : public ::testing::Test {
 protected:
  Shell()
      : platform((application(), QString::fromStdString(dir.file("settings.ini")))),
        app(platform),
        window(app, platform) {
    platform.setWindow(&window);
    platform.writeInt("Preferences", "Quick Exit", 1);
    platform.writeInt("Preferences", "Skip Intro", 1);
    platform.writeInt("Preferences", "DirScan_Prompt", 1);
    dir.write("models/m/skin.pcx", encodeSkinPcx(test::patternSkin(64, 32)));
    model = dir.write("models/m/tris.md2",
                      encodeMd2(test::quadStripMd2(2, 64, 32, {"models/m/skin.pcx"}, 3)));
  }
  ~Shell() override { window.close(); }

  QString folder(const std::string& name = "") const {
    return QString::fromStdString(name.empty() ? dir.path() : dir.file(name));
  }

  test::TempDir dir;
  QtPlatform platform;
  App app;
  MainWindow window;
  std::string model;
};

TEST_F(Shell, StartUpPromptsOverTheShownWindowAndOpensATypedName) {
  QStringList texts, titles;
  bool shownAtEveryPrompt = true;
  auto visible = [&](Step step) {
    return [&, step](QWidget* modal) {
      shownAtEveryPrompt &= window.isVisible() && modal->parentWidget() == &window;
      return step(modal);
    };
  };
  ModalScript script({visible(pressOk(&texts)), visible(typeName(folder(), folder(), &titles)),
                      visible(typeName(folder("models/m"), "tris", &titles))});
  ASSERT_EQ(window.startUp(parseArguments({"pelt", "-base", dir.file("gone")})),
            StartupResult::Ready);
  EXPECT_TRUE(script.finished());
  EXPECT_TRUE(shownAtEveryPrompt);
  EXPECT_EQ(texts, QStringList{kFolderNotValidMessage});
  EXPECT_EQ(titles, (QStringList{"Please locate the 'baseq2' folder under Quake2", "Open"}));
  EXPECT_EQ(app.baseFolder, dir.path());
  EXPECT_EQ(app.currentFile, model);
}

TEST_F(Shell, OpenDialogsMatchAnyNameAndStayOutOfKernelFolders) {
  ASSERT_EQ(window.startUp(parseArguments({"pelt", "-base", dir.path(), "-md2", model})),
            StartupResult::Ready);
  dir.write("pics/noext", {1});
  QStringList filters, texts;
  QString startedIn;
  ModalScript script({
      [&](QWidget* modal) {
        auto* files = qobject_cast<QFileDialog*>(modal);
        if (files == nullptr) return false;
        filters = files->nameFilters();
        startedIn = files->directory().absolutePath();
        // Browsing the kernel's folders must not hang the dialog.
        files->setViewMode(QFileDialog::Detail);
        files->setDirectory("/proc");
        files->selectFile("/proc/kmsg");
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 300) QApplication::processEvents();
        files->setDirectory("/sys/kernel");
        // A name with an extension must exist: the dialog stays open.
        files->setDirectory(folder());
        typeAndAccept(files, "missing.pcx");
        return true;
      },
      pressOk(&texts),
      [&](QWidget* modal) {
        auto* files = qobject_cast<QFileDialog*>(modal);
        if (files == nullptr) return false;
        typeAndAccept(files, "colormap");
        return true;
      },
  });
  platform.writeString("Project", "LoadDir", "/proc/self");
  FileDialogRequest request{false, kPaletteFilter, "*.pcx", "/proc/self"};
  std::optional<FileDialogResult> chosen = platform.fileDialog(request);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->path, dir.file("colormap"));
  EXPECT_EQ(filters, (QStringList{"Mesh Skin (*.pcx)", "Bitmap (*.bmp)", "Photoshop ACT (*.act)",
                                  "All Files (*)"}));
  EXPECT_EQ(startedIn, folder());
  ASSERT_EQ(texts.size(), 1);
  EXPECT_TRUE(texts[0].startsWith("missing.pcx\nFile not found.")) << texts[0].toStdString();
}

TEST_F(Shell, MapListsShowNoChoiceWithoutACurrentMap) {
  ASSERT_EQ(window.startUp(parseArguments({"pelt", "-base", dir.path(), "-md2", model})),
            StartupResult::Ready);
  Skin map = test::patternSkin(256, 256);
  dir.write("phongs/a.pcx", encodeSkinPcx(map));
  dir.write("phongs/b.pcx", encodeSkinPcx(map));
  scanMapFolder(app, MapKind::Phong, dir.file("phongs"));
  QComboBox* phongs = window.list(FrameList::PhongMaps);
  EXPECT_EQ(phongs->count(), 2);
  EXPECT_EQ(phongs->currentIndex(), -1);
  EXPECT_EQ(phongs->currentText(), "");

  chooseMap(app, MapKind::Phong, 1);
  window.refillLists();
  EXPECT_EQ(phongs->currentText(), "b.pcx");
}

TEST_F(Shell, StatusBarSaysReadyAgainWhenThePointerLeavesAList) {
  ASSERT_EQ(window.startUp(parseArguments({"pelt", "-base", dir.path(), "-md2", model})),
            StartupResult::Ready);
  QComboBox* frames = window.list(FrameList::Frames);
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(frames, &enter);
  EXPECT_EQ(window.statusBar()->currentMessage(), "Current List of Frames");
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(frames, &leave);
  EXPECT_EQ(window.statusBar()->currentMessage(), "Ready");
}

}  // namespace
}  // namespace pelt
