#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStringList>
#include <QThread>
#include <QToolBar>
#include <QWheelEvent>
#include <QWindow>

#include "app/app.h"
#include "app/command_table.h"
#include "app/commands/options_brush.h"
#include "app/frame_lists.h"
#include "app/unsaved_work.h"
#include "ui/qt_platform.h"
#include "ui/tool_icons.h"
#include "ui/view_widget.h"

namespace pelt {

// The client area below the tool bar: lists and child windows are placed in
// its coordinates; it takes the wheel and the mouse during a split drag.
class FrameArea : public QWidget {
 public:
  explicit FrameArea(MainWindow& window) : QWidget(&window), window_(window) {}

 protected:
  void resizeEvent(QResizeEvent*) override { window_.areaResized(); }
  void wheelEvent(QWheelEvent* event) override {
    QPoint at = mapFromGlobal(event->globalPosition().toPoint());
    window_.frame().routeWheel(at.x(), at.y(), event->angleDelta().y(),
                               event->modifiers() & Qt::ControlModifier);
    window_.refreshViewStatus();
    event->accept();
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    window_.frame().splitDragMove(event->position().toPoint().x());
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) window_.frame().splitDragRelease();
  }

 private:
  MainWindow& window_;
};

namespace {

constexpr const char* kReadyText = "Ready";

const std::array<std::pair<ViewId, const char*>, 4> kViewCaptions = {{
    {ViewId::ModelView, "ISO Box"},
    {ViewId::SkinView, "Skin Box"},
    {ViewId::PaletteBox, "Pal Box"},
    {ViewId::GradientBox, "Gradient Box"},
}};

QRect qtRect(const Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

}  // namespace

MainWindow::MainWindow(App& app, QtPlatform& platform)
    : app_(app), platform_(platform), frame_(app, *this) {
  setWindowTitle("Pelt");
  setWindowIcon(programIcon());
  area_ = new FrameArea(*this);
  setCentralWidget(area_);
  statusBar()->showMessage(kReadyText);

  buildCommands();
  buildToolBar();
  buildLists();
  for (const auto& [id, caption] : kViewCaptions)
    views_[static_cast<size_t>(id)] = new ViewWidget(frame_, platform_, id, caption, area_);

  // Outer minimum 516 x 360; Qt applies it to the window without its frame.
  setMinimumSize(kMinOuterWidth, kMinOuterHeight);
  resize(1024, 720);
  updateCommandStates();
}

MainWindow::~MainWindow() { platform_.setWindow(nullptr); }

StartupResult MainWindow::startUp(const CommandLine& commandLine) {
  constexpr int kExposeWaitMs = 2000;
  constexpr int kExposeStepMs = 10;
  show();
  QElapsedTimer waited;
  waited.start();
  while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < kExposeWaitMs) {
    QCoreApplication::processEvents();
    QThread::msleep(kExposeStepMs);
  }
  repaint();
  QCoreApplication::processEvents();
  return frame_.start(commandLine);
}

QAction* MainWindow::action(int commandId) const {
  auto it = actions_.find(commandId);
  return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::buildCommands() {
  std::map<QString, QMenu*> menus;
  for (const char* top : kMenuOrder) {
    bool used = false;
    for (const Command& c : commandTable())
      used |= QString(c.menu).section('/', 0, 0) == top;
    if (used) menus[top] = menuBar()->addMenu(QString("&") + top);
  }
  // A path is a top menu and at most one submenu, whose name may itself
  // hold a '/' ("Skin F/X...").
  auto menuFor = [&](const QString& path) -> QMenu* {
    const QString top = path.section('/', 0, 0);
    if (!menus.count(top)) menus[top] = menuBar()->addMenu(top);
    const QString sub = path.section('/', 1);
    if (sub.isEmpty()) return menus[top];
    if (!menus.count(path)) menus[path] = menus[top]->addMenu(sub);
    return menus[path];
  };

  for (const Command& c : commandTable()) {
    auto* action = new QAction(QString::fromUtf8(c.text), this);
    if (*c.key) {
      action->setShortcut(QKeySequence::fromString(c.key, QKeySequence::PortableText));
      action->setShortcutContext(Qt::WindowShortcut);
    }
    if (c.checked) action->setCheckable(true);
    if (*c.toolTip) action->setToolTip(c.toolTip);
    if (c.toolButton) action->setIcon(toolIcon(c.id));
    const int id = c.id;
    connect(action, &QAction::triggered, this, [this, id] {
      runCommand(frame_, id);
      updateCommandStates();
      // The brush outline follows the brush.
      for (ViewWidget* view : views_)
        if (view) view->update();
    });
    addAction(action);  // keys work even for commands without a menu entry
    if (*c.menu) menuFor(c.menu)->addAction(action);
    actions_[c.id] = action;
  }
  for (auto& [path, menu] : menus)
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateCommandStates);
}

void MainWindow::buildToolBar() {
  toolBar_ = addToolBar("Tools");
  toolBar_->setMovable(false);
  toolBar_->setIconSize(QSize(kToolImageWidth, kToolImageHeight));
  brushSize_ = new QSpinBox(toolBar_);
  brushSize_->setRange(kMinBrushSize, kMaxBrushSize);
  brushSize_->setValue(app_.brush.size);
  brushSize_->setToolTip("Brush Size");
  brushSize_->setFocusPolicy(Qt::ClickFocus);
  for (int id : kToolBarLayout) {
    if (id == 0) {
      toolBar_->addSeparator();
    } else if (QAction* a = action(id)) {
      toolBar_->addAction(a);
      // The size box follows the last brush.
      if (id == kBrushSizeAfterId) toolBar_->addWidget(brushSize_);
    }
  }
  connect(brushSize_, &QSpinBox::valueChanged, this, [this](int size) {
    setBrushSize(app_, size);
    for (ViewWidget* view : views_)
      if (view) view->update();
  });
}

void MainWindow::buildLists() {
  for (const ListPlacement& placement : listPlacements(0)) {
    auto* combo = new QComboBox(area_);
    combo->setStatusTip(placement.statusText);
    combo->setToolTip(placement.statusText);
    combo->setMaxVisibleItems(12);  // about 200 pixels of drop-down
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(4);
    lists_[static_cast<size_t>(placement.list)] = combo;
    const FrameList which = placement.list;
    connect(combo, &QComboBox::activated, this, [this, which](int index) {
      if (which == FrameList::RenderModes)
        chooseRenderMode(frame_, index);
      else
        chooseListEntry(app_, which, index);
      updateCommandStates();
    });
  }
}

int MainWindow::listRowHeight() const { return list(FrameList::Skins)->sizeHint().height(); }

void MainWindow::areaResized() {
  const int rows = 2;
  const int bottom = kListGapBelowToolBar + rows * listRowHeight() + 1;
  frame_.setClientSize(area_->width(), area_->height(), bottom);
}

void MainWindow::layoutChanged() {
  if (area_ == nullptr) return;
  const int rowHeight = listRowHeight();
  for (const ListPlacement& placement : listPlacements(area_->width())) {
    QComboBox* combo = lists_[static_cast<size_t>(placement.list)];
    int top = kListGapBelowToolBar + placement.row * (rowHeight + 1);
    combo->setGeometry(placement.left, top, std::max(placement.right - placement.left, 0),
                       rowHeight);
  }
  for (ViewWidget* view : views_) {
    if (view == nullptr) continue;
    view->setGeometry(qtRect(frame_.viewRect(view->id())));
    view->update();
  }
}

void MainWindow::grabSplitPointer(bool grab) {
  if (grab)
    area_->grabMouse();
  else
    area_->releaseMouse();
}

void MainWindow::closeWindow() { close(); }

bool MainWindow::event(QEvent* event) {
  // A control's status text goes away with the pointer: say "Ready" again.
  if (event->type() == QEvent::StatusTip && static_cast<QStatusTipEvent*>(event)->tip().isEmpty()) {
    statusBar()->showMessage(kReadyText);
    return true;
  }
  return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (frame_.closeRequest())
    event->accept();
  else
    event->ignore();
}

void MainWindow::refillLists() {
  for (const ListPlacement& placement : listPlacements(0)) {
    QComboBox* combo = lists_[static_cast<size_t>(placement.list)];
    const QSignalBlocker blocker(combo);
    ListContents contents = listContents(app_, placement.list);
    combo->clear();
    for (const std::string& entry : contents.entries)
      combo->addItem(QString::fromStdString(entry));
    // Qt selects the first entry it is given; no current entry shows none.
    const bool valid = contents.selected >= 0 && contents.selected < combo->count();
    combo->setCurrentIndex(valid ? contents.selected : -1);
  }
  updateCommandStates();
}

void MainWindow::showCurrentFrame() {
  QComboBox* combo = list(FrameList::Frames);
  const QSignalBlocker blocker(combo);
  const int index = app_.model.currentFrameIndex;
  if (index >= 0 && index < combo->count()) combo->setCurrentIndex(index);
}

void MainWindow::refreshViewStatus() {
  for (ViewWidget* view : views_)
    if (view) view->refreshStatus();
}

void MainWindow::updateCommandStates() {
  setWindowTitle(QString::fromStdString(pelt::windowTitle(app_)));
  setWindowModified(pelt::hasUnsavedWork(app_));
  if (brushSize_ && brushSize_->value() != app_.brush.size) {
    const QSignalBlocker blocker(brushSize_);
    brushSize_->setValue(app_.brush.size);
  }
  for (const Command& c : commandTable()) {
    QAction* a = action(c.id);
    if (a == nullptr) continue;
    a->setEnabled(isCommandEnabled(c, app_));
    if (c.checked) a->setChecked(isCommandChecked(c, app_));
    if (c.liveText) a->setText(QString::fromUtf8(commandText(c, app_)));
    if (c.liveKey) {
      QList<QKeySequence> keys =
          QKeySequence::listFromString(commandKey(c, app_), QKeySequence::PortableText);
      keys.removeAll(QKeySequence());
      if (a->shortcuts() != keys) a->setShortcuts(keys);
    }
  }
}

}  // namespace pelt
