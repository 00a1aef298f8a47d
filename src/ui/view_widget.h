#pragma once
// A child window: forwards the mouse to its core view and blits the view's
// finished bottom-up image 1:1.

#include <QWidget>
#include <optional>

#include "platform/core_view.h"
#include "platform/platform.h"

namespace pelt {

class MainFrame;
class QtPlatform;

class ViewWidget : public QWidget {
  Q_OBJECT

 public:
  ViewWidget(MainFrame& frame, QtPlatform& platform, ViewId id, const QString& caption,
             QWidget* parent);
  ViewId id() const { return id_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool event(QEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  MouseEvent translate(QMouseEvent* event, unsigned button);
  int frameX(QMouseEvent* event) const;
  void showStatus(const std::string& text);
  // Repaints when the brush outline under the pointer moved or changed.
  void followPointer(QPoint at, bool inside);

  QPoint pointer_;
  bool pointerInside_ = false;
  std::optional<BrushOutline> shownOutline_;

  MainFrame& frame_;
  QtPlatform& platform_;
  ViewId id_;
  bool showingStatus_ = false;
};

}  // namespace pelt
