#pragma once
// The Qt application: every event a widget handles passes here, so memory
// running out in any of them ends that action with a message, never the
// program.

#include <QApplication>

namespace pelt {

class Platform;

class Application : public QApplication {
 public:
  Application(int& argc, char** argv) : QApplication(argc, argv) {}
  // The platform that tells the user; until it is set a failure ends the program.
  void setPlatform(Platform* platform) { platform_ = platform; }
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  Platform* platform_ = nullptr;
};

}  // namespace pelt
