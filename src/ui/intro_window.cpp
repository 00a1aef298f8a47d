#include "ui/intro_window.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace pelt {

IntroWindow::IntroWindow(QWidget* parent, int width, int height)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("Intro");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::ArrowCursor);
  setFixedSize(width, height);
  QRect around = parent && parent->isVisible() ? parent->frameGeometry()
                                               : QGuiApplication::primaryScreen()->geometry();
  move(around.center() - QPoint(width / 2, height / 2));
}

void IntroWindow::present(const ViewImage& image) {
  // Core images run bottom-up.
  frame_ =
      QImage(image.pixels, image.width, image.height, image.bytesPerRow(), QImage::Format_RGB555)
          .mirrored(false, true);
  repaint();
}

void IntroWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (frame_.isNull())
    painter.fillRect(rect(), Qt::black);
  else
    painter.drawImage(0, 0, frame_);
}

}  // namespace pelt
