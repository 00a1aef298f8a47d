#pragma once
// The one QApplication of the GUI tests, and a script that answers the
// modal dialogs a call opens, one step per dialog.

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>

namespace pelt::test {

inline QApplication& application() {
  static int argc = 1;
  static char name[] = "pelt_ui_tests";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed: tearing Qt down after main() has returned crashes.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Each step gets the modal widget on top; a step returning false is not for
// that widget and waits for the next. A step may open further modals (a
// refused accept shows a message box): the following steps answer them.
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

}  // namespace pelt::test
