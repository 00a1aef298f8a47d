#pragma once
// The main window: menus, accelerators and tool bar built from the command
// table, the six drop-down lists and the four child windows placed where the
// main frame says.

#include <QMainWindow>
#include <array>
#include <map>
#include <memory>

#include "app/frame_layout.h"
#include "app/main_frame.h"

class QAction;
class QComboBox;
class QSpinBox;
class QToolBar;

namespace pelt {

class App;
class QtPlatform;
class ViewWidget;

class MainWindow : public QMainWindow, public FrameHost {
  Q_OBJECT

 public:
  MainWindow(App& app, QtPlatform& platform);
  ~MainWindow() override;

  MainFrame& frame() { return frame_; }
  // Shows and paints the window, then starts the frame, so the base-folder
  // prompt and the first Open dialog have a parent on screen.
  StartupResult startUp(const CommandLine& commandLine);
  ViewWidget* viewWidget(ViewId id) { return views_[static_cast<size_t>(id)]; }
  QComboBox* list(FrameList list) const { return lists_[static_cast<size_t>(list)]; }
  QAction* action(int commandId) const;
  QSpinBox* brushSizeBox() const { return brushSize_; }

  void refillLists();
  void updateCommandStates();

  // FrameHost
  void layoutChanged() override;
  void grabSplitPointer(bool grab) override;
  void closeWindow() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  friend class FrameArea;
  void buildCommands();
  void buildToolBar();
  void buildLists();
  void areaResized();
  int listRowHeight() const;

  App& app_;
  QtPlatform& platform_;
  MainFrame frame_;
  QWidget* area_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QSpinBox* brushSize_ = nullptr;
  std::map<int, QAction*> actions_;
  std::array<QComboBox*, kFrameListCount> lists_{};
  std::array<ViewWidget*, 4> views_{};
};

}  // namespace pelt
