#include "ui/qt_platform.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include "app/app.h"
#include "app/commands/file_preferences.h"
#include "app/intro/intro_music.h"
#include "app/main_frame.h"
#include "app/playback.h"
#include "platform/file_filter.h"
#include "ui/dialogs.h"
#include "ui/file_dialogs.h"
#include "ui/intro_window.h"
#include "ui/keys_and_mouse_window.h"
#include "ui/main_window.h"
#include "ui/open_from_game_dialog.h"
#include "ui/view_widget.h"

namespace pelt {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

QString groupKey(const std::string& section, const std::string& key) {
  return qs(section) + "/" + qs(key);
}

}  // namespace

QtPlatform::QtPlatform(const QString& settingsFile) {
  settings_ = settingsFile.isEmpty()
                  ? std::make_unique<QSettings>("Quillon", "Pelt")
                  : std::make_unique<QSettings>(settingsFile, QSettings::IniFormat);
  warpsWork_ = !QGuiApplication::platformName().startsWith("wayland");
  if (qApp) qApp->installEventFilter(this);
}

QtPlatform::~QtPlatform() {
  delete intro_;
  if (!musicFolder_.isEmpty()) QDir(musicFolder_).removeRecursively();
  if (pointerHidden_) QGuiApplication::restoreOverrideCursor();
}

QWidget* QtPlatform::dialogParent() const { return window_; }

MessageAnswer QtPlatform::messageBox(const std::string& text, MessageButtons buttons) {
  QMessageBox box(dialogParent());
  box.setWindowTitle("Pelt");
  box.setText(qs(text));
  switch (buttons) {
    case MessageButtons::Ok:
      box.setIcon(QMessageBox::Information);
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::YesNo:
      box.setIcon(QMessageBox::Question);
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MessageButtons::YesNoCancel:
      box.setIcon(QMessageBox::Question);
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case MessageButtons::SaveDiscardCancel:
      box.setIcon(QMessageBox::Warning);
      box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Save);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes:
    case QMessageBox::Save:
      return MessageAnswer::Yes;
    case QMessageBox::No:
    case QMessageBox::Discard:
      return MessageAnswer::No;
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    default:
      break;
  }
  // Closing a box without choosing counts as its most cautious answer.
  if (buttons == MessageButtons::YesNoCancel || buttons == MessageButtons::SaveDiscardCancel)
    return MessageAnswer::Cancel;
  if (buttons == MessageButtons::YesNo) return MessageAnswer::No;
  return MessageAnswer::Ok;
}

void QtPlatform::warningBox(const std::string& text) {
  QMessageBox box(QMessageBox::Warning, "Pelt", qs(text), QMessageBox::Ok, dialogParent());
  box.exec();
}

QString QtPlatform::fallbackFolder() const {
  if (window_ == nullptr) return QDir::homePath();
  const QString base = usableStartFolder(window_->frame().app.baseFolder, QDir::homePath());
  return QDir(base).exists() ? base : QDir::homePath();
}

std::optional<FileDialogResult> QtPlatform::fileDialog(const FileDialogRequest& request) {
  // A name typed below the base folder may be one the game's archives hold.
  FileDialog dialog(dialogParent(), [this](const std::string& path) {
    return window_ != nullptr && window_->frame().app.gameFiles.locate(path).has_value();
  });
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setWindowTitle(request.save ? "Save As" : "Open");
  QStringList filters;
  for (const FileFilter& filter : parseFilterString(request.filter)) filters << qtFilter(filter);
  dialog.setNameFilters(filters);
  dialog.setDirectory(usableStartFolder(request.startFolder, fallbackFolder()));
  if (!request.initialName.empty() && request.initialName.find('*') == std::string::npos)
    dialog.selectFile(qs(request.initialName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  FileDialogResult result;
  result.path = dialog.selectedFiles().front().toStdString();
  result.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  if (result.filterIndex < 1) result.filterIndex = 1;
  return result;
}

std::optional<std::string> QtPlatform::browseFolder(const std::string& title) {
  FileDialog dialog(dialogParent());
  dialog.setWindowTitle(qs(title));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setDirectory(fallbackFolder());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

bool QtPlatform::resizeSkinsDialog(ResizeSkinsValues& values) {
  return runResizeSkinsDialog(dialogParent(), values);
}

bool QtPlatform::offsetCompanionDialog(OffsetCompanionValues& values) {
  return runOffsetCompanionDialog(dialogParent(), values);
}

bool QtPlatform::preferencesDialog(PreferencesValues& values) {
  PreferencesChoosers choosers{[this] { return choosePalettePath(*this); },
                               [this] { return choosePhongFolder(*this); },
                               [this] { return chooseEnvFolder(*this); }};
  PreferencesDialog dialog(values, std::move(choosers), dialogParent());
  if (dialog.exec() != QDialog::Accepted) return false;
  values = dialog.values();
  return true;
}

bool QtPlatform::snapshotsDialog(SnapshotValues& values) {
  return runSnapshotsDialog(dialogParent(), values);
}

bool QtPlatform::mapFromViewDialog(MapFromViewValues& values) {
  return runMapFromViewDialog(dialogParent(), values);
}

void QtPlatform::aboutDialog(const AboutValues& values) { runAboutDialog(dialogParent(), values); }

bool QtPlatform::reduceColoursDialog(ReduceColoursValues& values) {
  return runReduceColoursDialog(dialogParent(), values);
}

bool QtPlatform::openFromGameDialog(OpenFromGameValues& values) {
  return runOpenFromGameDialog(dialogParent(), values);
}

int QtPlatform::readInt(const std::string& section, const std::string& key, int fallback) {
  QVariant value = settings_->value(groupKey(section, key));
  bool ok = false;
  int number = value.toInt(&ok);
  return value.isValid() && ok ? number : fallback;
}

std::string QtPlatform::readString(const std::string& section, const std::string& key,
                                   const std::string& fallback) {
  QVariant value = settings_->value(groupKey(section, key));
  return value.isValid() ? value.toString().toStdString() : fallback;
}

void QtPlatform::writeInt(const std::string& section, const std::string& key, int value) {
  settings_->setValue(groupKey(section, key), value);
  settings_->sync();
}

void QtPlatform::writeString(const std::string& section, const std::string& key,
                             const std::string& value) {
  settings_->setValue(groupKey(section, key), qs(value));
  settings_->sync();
}

void QtPlatform::capturePointer(ViewId view) {
  if (window_ == nullptr) return;
  if (ViewWidget* widget = window_->viewWidget(view)) widget->grabMouse();
}

void QtPlatform::releasePointer() {
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  pinned_.reset();
  lastGlobal_.reset();
}

void QtPlatform::hidePointer() {
  if (pointerHidden_) return;
  QGuiApplication::setOverrideCursor(Qt::BlankCursor);
  pointerHidden_ = true;
}

void QtPlatform::showPointer() {
  if (!pointerHidden_) return;
  QGuiApplication::restoreOverrideCursor();
  pointerHidden_ = false;
}

void QtPlatform::setPointerPosition(int screenX, int screenY) {
  pinned_ = QPoint(screenX, screenY);
  if (warpsWork_) QCursor::setPos(screenX, screenY);
}

QPoint QtPlatform::viewScreenPosition(QPoint global) {
  if (warpsWork_ || !pinned_) {
    lastGlobal_ = global;
    return global;
  }
  QPoint motion = lastGlobal_ ? global - *lastGlobal_ : QPoint();
  lastGlobal_ = global;
  return *pinned_ + motion;
}

void QtPlatform::sendRefresh(int level, int mask) {
  if (window_) window_->frame().refresh(level, mask);
}

void QtPlatform::postRefresh(int level, int mask) {
  if (window_ == nullptr) return;
  QMetaObject::invokeMethod(
      window_, [window = window_, level, mask] { window->frame().refresh(level, mask); },
      Qt::QueuedConnection);
}

void QtPlatform::sendBarAdjust(int p) {
  if (window_) window_->frame().barAdjust(p);
}

void QtPlatform::repaint(ViewId view) {
  if (window_ == nullptr) return;
  if (ViewWidget* widget = window_->viewWidget(view)) widget->repaint();
}

void QtPlatform::refillLists() {
  if (window_) window_->refillLists();
}

std::int64_t QtPlatform::nowMilliseconds() { return QDateTime::currentMSecsSinceEpoch(); }

UtcDate QtPlatform::todayUtc() {
  QDate date = QDateTime::currentDateTimeUtc().date();
  return UtcDate{date.month(), date.day()};
}

void QtPlatform::sleepMilliseconds(int ms) { QThread::msleep(static_cast<unsigned long>(ms)); }

bool QtPlatform::takePendingInput() {
  QCoreApplication::processEvents();
  return std::exchange(inputSeen_, false);
}

bool QtPlatform::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
                     type == QEvent::MouseButtonRelease;
  const Qt::MouseButton button = mouse ? static_cast<QMouseEvent*>(event)->button() : Qt::NoButton;
  if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress) inputSeen_ = true;
  // The press that ends the intro ends only the intro: neither it, its
  // release, nor a shortcut it would start reaches the main window.
  if (intro_ != nullptr) {
    if (type == QEvent::MouseButtonPress) buttonsHeldOverIntro_ |= button;
    // Released before the intro closed: the next release is the user's own.
    if (type == QEvent::MouseButtonRelease) buttonsHeldOverIntro_ &= ~button;
    if (type == QEvent::ShortcutOverride) event->accept();
    if (mouse || type == QEvent::KeyPress || type == QEvent::KeyRelease ||
        type == QEvent::ShortcutOverride)
      return true;
  }
  if (type == QEvent::MouseButtonRelease && (buttonsHeldOverIntro_ & button)) {
    buttonsHeldOverIntro_ &= ~button;
    return true;
  }
  return QObject::eventFilter(watched, event);
}

// The clips are synthesised, written once per run to a private folder and
// played from there.
void QtPlatform::playLoopingSound(int clipId) {
  if (musicFolder_.isEmpty()) {
    musicFolder_ = QStandardPaths::writableLocation(QStandardPaths::TempLocation) +
                   QString("/pelt-music-%1").arg(QCoreApplication::applicationPid());
    QDir().mkpath(musicFolder_);
  }
  const QString path = musicFolder_ + QString("/%1.wav").arg(clipId);
  if (!QFile::exists(path)) {
    const Bytes wave = introMusicWave(clipId);
    if (wave.empty() || writeFileAtomically(path.toStdString(), wave) != 0) return;
  }
  if (sound_ == nullptr) sound_ = new QSoundEffect(this);
  sound_->setSource(QUrl::fromLocalFile(path));
  sound_->setLoopCount(QSoundEffect::Infinite);
  sound_->play();
}

void QtPlatform::stopSound() {
  if (sound_) sound_->stop();
}

bool QtPlatform::openIntroWindow(int width, int height) {
  if (intro_ != nullptr) return false;
  intro_ = new IntroWindow(window_, width, height);
  intro_->show();
  intro_->raise();
  intro_->activateWindow();
  QCoreApplication::processEvents();
  inputSeen_ = false;  // only what arrives while the card shows ends it
  return true;
}

void QtPlatform::presentIntroFrame(const ViewImage& image) {
  if (intro_) intro_->present(image);
}

void QtPlatform::closeIntroWindow() {
  delete intro_;
  intro_ = nullptr;
}

void QtPlatform::showStatusText(const std::string& text) {
  if (window_ == nullptr) return;
  window_->statusBar()->showMessage(qs(text));
  window_->statusBar()->repaint();
}

bool QtPlatform::isCtrlHeld() {
  return QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
}

SystemColors QtPlatform::systemColors() {
  const QPalette palette = QApplication::palette();
  auto rgb = [&](QPalette::ColorRole role) {
    const QColor c = palette.color(QPalette::Active, role);
    return Rgb8{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                static_cast<std::uint8_t>(c.blue())};
  };
  return {rgb(QPalette::Button), rgb(QPalette::Light), rgb(QPalette::Dark),
          rgb(QPalette::ButtonText)};
}

void QtPlatform::startPlaybackTimer(int intervalMs) {
  if (playbackTimer_ == nullptr) {
    playbackTimer_ = new QTimer(this);
    connect(playbackTimer_, &QTimer::timeout, this, [this] {
      if (window_) tickPlayback(window_->frame().app);
    });
  }
  playbackTimer_->start(intervalMs);
}

void QtPlatform::stopPlaybackTimer() {
  if (playbackTimer_) playbackTimer_->stop();
}

void QtPlatform::showCurrentFrame() {
  if (window_ == nullptr) return;
  window_->showCurrentFrame();
  window_->refreshViewStatus();
}

void QtPlatform::keysAndMouseWindow(const KeysAndMouseValues& values) {
  if (keysAndMouse_.isNull()) {
    keysAndMouse_ = new KeysAndMouseWindow(values, window_);
    keysAndMouse_->setAttribute(Qt::WA_DeleteOnClose);
  }
  keysAndMouse_->show();
  keysAndMouse_->raise();
  keysAndMouse_->activateWindow();
}

bool QtPlatform::openDocument(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(qs(path)));
}

std::string QtPlatform::programFolder() {
  return QCoreApplication::applicationDirPath().toStdString();
}

}  // namespace pelt
