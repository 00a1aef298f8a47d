// pelt: the desktop program.

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/command_line.h"
#include "app/intro/intro.h"
#include "app/main_frame.h"
#include "platform/paths.h"
#include "ui/application.h"
#include "ui/main_window.h"
#include "ui/program_icon.h"
#include "ui/qt_platform.h"

int main(int argc, char** argv) {
  // Before QApplication takes its own options out of argv.
  std::vector<std::string> arguments(argv, argv + argc);
  if (std::optional<std::string> answer = pelt::terminalAnswer(arguments)) {
    std::cout << *answer;
    return 0;
  }
  pelt::Application application(argc, argv);
  QApplication::setApplicationName("Pelt");
  QApplication::setOrganizationName("Quillon");
  QGuiApplication::setDesktopFileName(PELT_APP_ID);
  QApplication::setWindowIcon(pelt::programIconSet());

  pelt::QtPlatform platform;
  application.setPlatform(&platform);
  // Events after the platform is gone find none.
  struct Unset {
    pelt::Application& application;
    ~Unset() { application.setPlatform(nullptr); }
  } unset{application};
  pelt::App app(platform);
  app.dataFolder = pelt::programDataFolder();
  pelt::MainWindow window(app, platform);
  platform.setWindow(&window);
  pelt::CommandLine commandLine = pelt::parseArguments(arguments);
  commandLine.programFolder = QCoreApplication::applicationDirPath().toStdString();
  window.startUp(commandLine);
  if (window.frame().introChoice() == pelt::IntroChoice::Play) pelt::runIntro(platform, app.rasterizer);
  return application.exec();
}
