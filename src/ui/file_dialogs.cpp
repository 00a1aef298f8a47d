#include "ui/file_dialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QStyle>

#include "platform/paths.h"

namespace pelt {

QIcon NameOnlyIconProvider::icon(IconType type) const {
  QStyle* style = QApplication::style();
  switch (type) {
    case Computer:
      return style->standardIcon(QStyle::SP_ComputerIcon);
    case Drive:
      return style->standardIcon(QStyle::SP_DriveHDIcon);
    case Folder:
      return style->standardIcon(QStyle::SP_DirIcon);
    default:
      return style->standardIcon(QStyle::SP_FileIcon);
  }
}

QIcon NameOnlyIconProvider::icon(const QFileInfo& info) const {
  return icon(info.isDir() ? Folder : File);
}

QString NameOnlyIconProvider::type(const QFileInfo& info) const {
  if (info.isDir()) return "Folder";
  const QString suffix = info.suffix();
  return suffix.isEmpty() ? QString("File") : suffix.toUpper() + " File";
}

FileDialog::FileDialog(QWidget* parent, std::function<bool(const std::string&)> known)
    : QFileDialog(parent), known_(std::move(known)) {
  setOption(QFileDialog::DontUseNativeDialog);
  setOption(QFileDialog::DontUseCustomDirectoryIcons);
  setIconProvider(&icons_);
}

void FileDialog::accept() {
  // An open dialog takes any name (fileMode AnyFile) so that "tris" reaches
  // the program, which appends the filter's extension and checks the file.
  // A name that has an extension must exist, as in any open dialog.
  if (acceptMode() == QFileDialog::AcceptOpen) {
    const QStringList files = selectedFiles();
    const QFileInfo info(files.value(0));
    if (!files.isEmpty() && !info.exists() && info.fileName().contains('.') &&
        !(known_ && known_(files.front().toStdString()))) {
      QMessageBox::warning(this, windowTitle(),
                           info.fileName() + "\nFile not found.\nPlease check the file name.");
      return;
    }
  }
  QFileDialog::accept();
}

QString qtFilter(const FileFilter& filter) {
  QString label = QString::fromStdString(filter.label);
  QString patterns = QString::fromStdString(filter.pattern).replace(';', ' ');
  if (patterns == "*.*") patterns = "*";
  if (label.contains('(')) label = label.left(label.indexOf('(')).trimmed();
  return label + " (" + patterns + ")";
}

QString usableStartFolder(const std::string& folder, const QString& fallback) {
  if (folder.empty() || isSystemFolder(folder)) return fallback;
  return QString::fromStdString(folder);
}

}  // namespace pelt
