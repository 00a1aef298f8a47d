#pragma once
// The file dialog and folder browser the platform shows: they never read a
// file's contents to pick an icon or a type (files under /proc block or
// never end), and an open dialog lets a typed name without an extension
// through so the program can add the filter's one, and a name the game's
// archives hold though it is no file.

#include <QAbstractFileIconProvider>
#include <QFileDialog>
#include <QString>
#include <functional>
#include <string>

#include "platform/file_filter.h"

namespace pelt {

// Icons and type names from the file's name and kind alone.
class NameOnlyIconProvider : public QAbstractFileIconProvider {
 public:
  QIcon icon(IconType type) const override;
  QIcon icon(const QFileInfo& info) const override;
  QString type(const QFileInfo& info) const override;
};

class FileDialog : public QFileDialog {
  Q_OBJECT

 public:
  // `known` tells whether a path names something to open beyond files.
  explicit FileDialog(QWidget* parent, std::function<bool(const std::string&)> known = {});

 public slots:
  void accept() override;

 private:
  NameOnlyIconProvider icons_;
  std::function<bool(const std::string&)> known_;
};

// "All Files (*.*)" also means files without an extension here.
QString qtFilter(const FileFilter& filter);

// A start folder under /proc, /sys or /dev is not used.
QString usableStartFolder(const std::string& folder, const QString& fallback);

}  // namespace pelt
