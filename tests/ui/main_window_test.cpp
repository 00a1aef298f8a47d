#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QToolBar>

#include "app/app.h"
#include "app/command_table.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "qt_test_app.h"
#include "ui/qt_platform.h"
#include "ui/view_widget.h"

namespace pelt {
namespace {

using test::application;

QStringList items(QComboBox* combo) {
  QStringList out;
  for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
  return out;
}

// Answers the modal dialogs a command opens: the file dialog picks `path`,
// a question is answered No.
class DialogAnswerer {
 public:
  explicit DialogAnswerer(const QString& path) : path_(path) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
    timer_.start(10);
  }

 private:
  // Answers from a posted call, not from the timer's slot: Qt does not fire a
  // timer again while its slot runs, so a modal opened by an answer (a refused
  // accept shows a message box) would never be answered.
  void answer() {
    if (posted_) return;
    posted_ = true;
    QMetaObject::invokeMethod(&timer_, [this] { answerNow(); }, Qt::QueuedConnection);
  }

  void answerNow() {
    posted_ = false;
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* files = qobject_cast<QFileDialog*>(modal)) {
      // Typed rather than selectFile(): that leaves the name field alone
      // while it has the focus, and the dialog would then wait for ever.
      files->findChild<QLineEdit*>("fileNameEdit")->setText(path_);
      static_cast<QDialog*>(files)->accept();
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      questions << box->text();
      if (QAbstractButton* no = box->button(QMessageBox::No)) no->click();
      else box->accept();
    }
  }

 public:
  QStringList questions;

 private:
  QString path_;
  QTimer timer_;
  bool posted_ = false;
};

TEST(MainWindowTest, ShowsTheModelAndOpensAnotherThroughTheCommandTable) {
  application();
  test::TempDir dir;
  dir.write("models/m/skin.pcx", encodeSkinPcx(test::patternSkin(64, 32)));
  std::string model =
      dir.write("models/m/tris.md2",
                encodeMd2(test::quadStripMd2(2, 64, 32, {"models/m/skin.pcx"}, 3)));
  std::string other =
      dir.write("other/tris.md2", encodeMd2(test::quadStripMd2(1, 64, 32, {"models/m/skin.pcx"}, 2)));

  QtPlatform platform(QString::fromStdString(dir.file("settings.ini")));
  App app(platform);
  MainWindow window(app, platform);
  platform.setWindow(&window);
  ASSERT_EQ(window.frame().start(parseArguments({"pelt", "-base", dir.path(), "-md2", model})),
            StartupResult::Ready);
  window.show();
  QApplication::processEvents();

  EXPECT_EQ(window.windowTitle(), "Pelt");
  EXPECT_EQ(items(window.list(FrameList::Frames)), (QStringList{"frame0", "frame1", "frame2"}));
  EXPECT_EQ(items(window.list(FrameList::Skins)), QStringList{"  models/m/skin.pcx"});
  EXPECT_EQ(window.list(FrameList::RenderModes)->currentText(), "Textured");
  EXPECT_EQ(window.list(FrameList::Frames)->statusTip(), "Current List of Frames");
  EXPECT_EQ(window.action(32772)->text(), "&Open...\tCtrl+O");

  // The child windows sit where the frame put them.
  for (ViewId id : {ViewId::SkinView, ViewId::ModelView, ViewId::GradientBox, ViewId::PaletteBox}) {
    Rect r = window.frame().viewRect(id);
    EXPECT_EQ(window.viewWidget(id)->geometry(), QRect(r.left, r.top, r.width(), r.height()));
  }
  EXPECT_GT(window.viewWidget(ViewId::SkinView)->width(), 0);

  // Choosing a frame in the list makes it current.
  emit window.list(FrameList::Frames)->activated(2);
  EXPECT_EQ(app.model.currentFrameIndex, 2);

  {
    DialogAnswerer answerer(QString::fromStdString(other));
    window.action(32772)->trigger();
    EXPECT_EQ(answerer.questions.join("|").toStdString(), "Save changes to the current Mesh?");
  }
  QApplication::processEvents();
  EXPECT_EQ(app.currentFile, other);
  EXPECT_EQ(items(window.list(FrameList::Frames)), (QStringList{"frame0", "frame1"}));
  EXPECT_EQ(platform.readString("Project", "CurFile", ""), other);

  // The close request stores the split before asking.
  platform.writeInt("Preferences", "Quick Exit", 1);
  window.close();
  EXPECT_EQ(platform.readInt("Preferences", "Splitter", 0), 6500);
}

}  // namespace
}  // namespace pelt
