#include "ui/application.h"

#include "app/memory_guard.h"

namespace pelt {

bool Application::notify(QObject* receiver, QEvent* event) {
  if (platform_ == nullptr) return QApplication::notify(receiver, event);
  bool handled = false;
  try {
    runGuarded(*platform_, [&] { handled = QApplication::notify(receiver, event); });
  } catch (const std::bad_alloc&) {
    // The message itself found no memory; the action is dropped quietly.
  }
  return handled;
}

}  // namespace pelt
