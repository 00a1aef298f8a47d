#pragma once
// The intro's borderless window: shows each finished frame at once.

#include <QImage>
#include <QWidget>

#include "platform/core_view.h"

namespace pelt {

class IntroWindow : public QWidget {
  Q_OBJECT

 public:
  IntroWindow(QWidget* parent, int width, int height);
  void present(const ViewImage& image);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage frame_;
};

}  // namespace pelt
