#pragma once
// The Platform services on Qt.

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSettings>
#include <memory>
#include <optional>

#include "platform/platform.h"

class QSoundEffect;
class QTimer;

namespace pelt {

class MainWindow;

class QtPlatform : public QObject, public Platform {
  Q_OBJECT

 public:
  // An empty path keeps the settings under "Quillon"/"Pelt"; tests pass a file.
  explicit QtPlatform(const QString& settingsFile = {});
  ~QtPlatform() override;

  void setWindow(MainWindow* window) { window_ = window; }

  MessageAnswer messageBox(const std::string& text, MessageButtons buttons) override;
  void warningBox(const std::string& text) override;
  std::optional<FileDialogResult> fileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> browseFolder(const std::string& title) override;
  bool resizeSkinsDialog(ResizeSkinsValues& values) override;
  bool offsetCompanionDialog(OffsetCompanionValues& values) override;
  bool preferencesDialog(PreferencesValues& values) override;
  bool snapshotsDialog(SnapshotValues& values) override;
  bool mapFromViewDialog(MapFromViewValues& values) override;
  void aboutDialog(const AboutValues& values) override;
  bool openFromGameDialog(OpenFromGameValues& values) override;
  bool reduceColoursDialog(ReduceColoursValues& values) override;

  int readInt(const std::string& section, const std::string& key, int fallback) override;
  std::string readString(const std::string& section, const std::string& key,
                         const std::string& fallback) override;
  void writeInt(const std::string& section, const std::string& key, int value) override;
  void writeString(const std::string& section, const std::string& key,
                   const std::string& value) override;

  void capturePointer(ViewId view) override;
  void releasePointer() override;
  void hidePointer() override;
  void showPointer() override;
  void setPointerPosition(int screenX, int screenY) override;

  void sendRefresh(int level, int mask) override;
  void postRefresh(int level, int mask) override;
  void sendBarAdjust(int p) override;
  void repaint(ViewId view) override;
  void refillLists() override;

  std::int64_t nowMilliseconds() override;
  UtcDate todayUtc() override;
  void sleepMilliseconds(int ms) override;
  bool takePendingInput() override;
  void playLoopingSound(int clipId) override;
  void stopSound() override;
  bool isCtrlHeld() override;
  bool openIntroWindow(int width, int height) override;
  void presentIntroFrame(const ViewImage& image) override;
  void closeIntroWindow() override;
  void showStatusText(const std::string& text) override;
  SystemColors systemColors() override;
  void startPlaybackTimer(int intervalMs) override;
  void stopPlaybackTimer() override;
  void showCurrentFrame() override;
  void keysAndMouseWindow(const KeysAndMouseValues& values) override;
  bool openDocument(const std::string& path) override;
  std::string programFolder() override;
  // The open Keys and Mouse window, if any.
  QWidget* keysAndMouse() const { return keysAndMouse_; }

  // The screen position a view should see. Where warps are refused the
  // pointer never returns to the pinned point, so positions are rebuilt as
  // the pinned point plus the motion since the last event.
  QPoint viewScreenPosition(QPoint global);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* dialogParent() const;
  // Where a dialog starts when it is given no usable folder.
  QString fallbackFolder() const;

  MainWindow* window_ = nullptr;
  std::unique_ptr<QSettings> settings_;
  bool pointerHidden_ = false;
  bool warpsWork_ = true;
  std::optional<QPoint> pinned_;
  std::optional<QPoint> lastGlobal_;
  bool inputSeen_ = false;
  Qt::MouseButtons buttonsHeldOverIntro_;
  QSoundEffect* sound_ = nullptr;
  class IntroWindow* intro_ = nullptr;
  QString musicFolder_;
  QTimer* playbackTimer_ = nullptr;
  QPointer<QWidget> keysAndMouse_;
};

}  // namespace pelt
