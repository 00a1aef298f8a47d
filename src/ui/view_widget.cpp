#include "ui/view_widget.h"

#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <QToolTip>

#include "app/main_frame.h"
#include "ui/qt_platform.h"

namespace pelt {

namespace {

unsigned buttonBits(Qt::MouseButtons buttons) {
  unsigned bits = kButtonNone;
  if (buttons & Qt::LeftButton) bits |= kButtonLeft;
  if (buttons & Qt::RightButton) bits |= kButtonRight;
  if (buttons & Qt::MiddleButton) bits |= kButtonMiddle;
  return bits;
}

QImage::Format qtFormat(ImageFormat format) {
  switch (format) {
    case ImageFormat::Indexed8: return QImage::Format_Indexed8;
    case ImageFormat::Rgb555: return QImage::Format_RGB555;
    case ImageFormat::Bgr24: return QImage::Format_BGR888;
  }
  return QImage::Format_Indexed8;
}

}  // namespace

ViewWidget::ViewWidget(MainFrame& frame, QtPlatform& platform, ViewId id, const QString& caption,
                       QWidget* parent)
    : QWidget(parent), frame_(frame), platform_(platform), id_(id) {
  setObjectName(caption);
  setAccessibleName(caption);
  setWindowTitle(caption);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

void ViewWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const ViewImage image = frame_.view(id_).image();
  if (image.pixels == nullptr || image.width <= 0 || image.height <= 0) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  QImage shown(image.pixels, image.width, image.height, image.bytesPerRow(),
               qtFormat(image.format));
  if (image.format == ImageFormat::Indexed8 && image.colors != nullptr) {
    QList<QRgb> table(256);
    const auto& c = *image.colors;
    for (int i = 0; i < 256; ++i) table[i] = qRgb(c[i * 3], c[i * 3 + 1], c[i * 3 + 2]);
    shown.setColorTable(table);
  }
  // Row 0 of the buffer is the bottom line of the window.
  painter.translate(0, image.height);
  painter.scale(1, -1);
  painter.drawImage(0, 0, shown);
  painter.resetTransform();
  shownOutline_.reset();
  if (!pointerInside_) return;
  shownOutline_ = frame_.view(id_).brushOutline(pointer_.x(), pointer_.y());
  if (!shownOutline_) return;
  // Inverted, so it shows over any colour.
  const BrushOutline& o = *shownOutline_;
  painter.setCompositionMode(QPainter::CompositionMode_Difference);
  painter.setPen(QPen(Qt::white, 1));
  painter.setBrush(Qt::NoBrush);
  const QRect box(o.left, o.top, o.right - o.left, o.bottom - o.top);
  if (o.round && box.width() > 1)
    painter.drawEllipse(box);
  else
    painter.drawRect(box);
}

void ViewWidget::followPointer(QPoint at, bool inside) {
  pointer_ = at;
  pointerInside_ = inside;
  const std::optional<BrushOutline> outline =
      inside ? frame_.view(id_).brushOutline(at.x(), at.y()) : std::nullopt;
  if (outline != shownOutline_) update();
}

void ViewWidget::resizeEvent(QResizeEvent*) { frame_.resizeView(id_, width(), height()); }

MouseEvent ViewWidget::translate(QMouseEvent* event, unsigned button) {
  MouseEvent out;
  QPoint local = event->position().toPoint();
  QPoint screen = platform_.viewScreenPosition(event->globalPosition().toPoint());
  out.x = local.x();
  out.y = local.y();
  out.screenX = screen.x();
  out.screenY = screen.y();
  out.button = button;
  out.buttons = buttonBits(event->buttons());
  out.shift = event->modifiers() & Qt::ShiftModifier;
  out.ctrl = event->modifiers() & Qt::ControlModifier;
  return out;
}

int ViewWidget::frameX(QMouseEvent* event) const {
  return mapToParent(event->position().toPoint()).x();
}

void ViewWidget::mousePressEvent(QMouseEvent* event) {
  frame_.view(id_).mousePress(translate(event, buttonBits(event->button())));
}

void ViewWidget::mouseMoveEvent(QMouseEvent* event) {
  if (frame_.splitDragging()) {
    frame_.splitDragMove(frameX(event));
    return;
  }
  const QPoint at = event->position().toPoint();
  pointer_ = at;
  pointerInside_ = rect().contains(at);
  CoreView& view = frame_.view(id_);
  view.mouseMove(translate(event, kButtonNone));
  followPointer(at, pointerInside_);
  showStatus(view.statusText(at.x(), at.y()));
  // A drag shows its tool tip as it goes.
  if (event->buttons() != Qt::NoButton) {
    const std::string tip = view.toolTipText(at.x(), at.y());
    if (!tip.empty())
      QToolTip::showText(event->globalPosition().toPoint(), QString::fromStdString(tip), this);
  }
}

void ViewWidget::leaveEvent(QEvent*) {
  followPointer(pointer_, false);
  showStatus({});
}

void ViewWidget::showStatus(const std::string& text) {
  auto* window = qobject_cast<QMainWindow*>(this->window());
  if (window == nullptr || (text.empty() && !showingStatus_)) return;
  showingStatus_ = !text.empty();
  if (showingStatus_)
    window->statusBar()->showMessage(QString::fromStdString(text));
  else
    window->statusBar()->clearMessage();
}

void ViewWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (frame_.splitDragging()) {
    if (event->button() == Qt::LeftButton) frame_.splitDragRelease();
    return;
  }
  frame_.view(id_).mouseRelease(translate(event, buttonBits(event->button())));
}

void ViewWidget::wheelEvent(QWheelEvent* event) {
  // The main window picks the view by pointer position.
  event->ignore();
}

bool ViewWidget::event(QEvent* event) {
  if (event->type() == QEvent::UngrabMouse) frame_.view(id_).captureLost();
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const std::string tip = frame_.view(id_).toolTipText(help->pos().x(), help->pos().y());
    if (tip.empty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), QString::fromStdString(tip), this);
    return true;
  }
  return QWidget::event(event);
}

}  // namespace pelt
