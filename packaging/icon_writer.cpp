// Writes the program's icon in the icon theme's layout below a folder:
// scalable/apps/ID.svg and SIZExSIZE/apps/ID.png.

#include <QDir>
#include <QFile>
#include <QString>
#include <cstdio>

#include "ui/program_icon.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s FOLDER APP_ID\n", argv[0]);
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]);
  const QString id = QString::fromLocal8Bit(argv[2]);
  auto place = [&](const QString& sizeFolder) {
    const QString folder = root + "/" + sizeFolder + "/apps";
    return QDir().mkpath(folder) ? folder + "/" + id : QString();
  };

  QFile svg(place("scalable") + ".svg");
  if (!svg.open(QIODevice::WriteOnly) || svg.write(pelt::programIconSvg()) < 0) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
    return 1;
  }
  for (int size : pelt::kProgramIconSizes) {
    const QString png = place(QString("%1x%1").arg(size)) + ".png";
    if (!pelt::programIconImage(size).save(png, "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(png));
      return 1;
    }
  }
  return 0;
}
