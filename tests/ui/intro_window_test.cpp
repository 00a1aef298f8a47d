// The intro's own window under Qt.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include "qt_test_app.h"
#include "support/fixtures.h"
#include "ui/qt_platform.h"

namespace pelt {
namespace {

// The intro's window takes a click as the end of the card, and only clicks
// that come while it shows.
TEST(IntroWindow, AClickWhileItShowsEndsIt) {
  test::application();
  test::TempDir dir;
  QtPlatform platform(QString::fromStdString(dir.file("settings.ini")));
  QWidget stray;
  QCoreApplication::postEvent(
      &stray, new QMouseEvent(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  ASSERT_TRUE(platform.openIntroWindow(320, 240));
  EXPECT_FALSE(platform.openIntroWindow(320, 240));  // only one at a time
  QWidget* intro = QApplication::topLevelWidgets().last();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "Intro") intro = w;
  ASSERT_EQ(intro->objectName(), "Intro");
  EXPECT_EQ(intro->size(), QSize(320, 240));
  EXPECT_FALSE(platform.takePendingInput());
  QCoreApplication::postEvent(
      intro, new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                             Qt::LeftButton, Qt::NoModifier));
  EXPECT_TRUE(platform.takePendingInput());
  EXPECT_FALSE(platform.takePendingInput());
  platform.closeIntroWindow();
}

}  // namespace
}  // namespace pelt
