#include "ui/program_icon.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QString>

namespace pelt {

namespace {

// A warm leather tile with a pale "P" stroked on it.
constexpr double kTileInset = 4;
constexpr double kTileRadius = 12;
const QColor kTileLight(150, 95, 50);
const QColor kTileDark(80, 45, 25);
const QColor kLetter(245, 225, 190);
constexpr double kLetterWidth = 7;

struct LetterPoint {
  char command;  // 'M' move, 'L' line, 'C' cubic (three points)
  double x[3];
  double y[3];
};

constexpr LetterPoint kLetterPath[] = {
    {'M', {22}, {50}},
    {'L', {22}, {15}},
    {'L', {34}, {15}},
    {'C', {48, 48, 34}, {15, 34, 34}},
    {'L', {22}, {34}},
};

QPainterPath letterPath() {
  QPainterPath path;
  for (const LetterPoint& p : kLetterPath) {
    if (p.command == 'M') path.moveTo(p.x[0], p.y[0]);
    if (p.command == 'L') path.lineTo(p.x[0], p.y[0]);
    if (p.command == 'C') path.cubicTo(p.x[0], p.y[0], p.x[1], p.y[1], p.x[2], p.y[2]);
  }
  return path;
}

QString svgPathData() {
  QString data;
  for (const LetterPoint& p : kLetterPath) {
    if (!data.isEmpty()) data += ' ';
    data += QChar(p.command);
    const int points = p.command == 'C' ? 3 : 1;
    for (int i = 0; i < points; ++i) data += QString(" %1 %2").arg(p.x[i]).arg(p.y[i]);
  }
  return data;
}

}  // namespace

QImage programIconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(double(size) / kProgramIconGrid, double(size) / kProgramIconGrid);
  QLinearGradient tile(0, 0, kProgramIconGrid, kProgramIconGrid);
  tile.setColorAt(0, kTileLight);
  tile.setColorAt(1, kTileDark);
  p.setPen(Qt::NoPen);
  p.setBrush(tile);
  const double side = kProgramIconGrid - 2 * kTileInset;
  p.drawRoundedRect(QRectF(kTileInset, kTileInset, side, side), kTileRadius, kTileRadius);
  p.setPen(QPen(kLetter, kLetterWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(letterPath());
  p.end();
  return image;
}

QByteArray programIconSvg() {
  const double side = kProgramIconGrid - 2 * kTileInset;
  QString svg =
      QString(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
          "viewBox=\"0 0 %1 %1\">\n"
          "  <defs>\n"
          "    <linearGradient id=\"tile\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"0\" "
          "x2=\"%1\" y2=\"%1\">\n"
          "      <stop offset=\"0\" stop-color=\"%2\"/>\n"
          "      <stop offset=\"1\" stop-color=\"%3\"/>\n"
          "    </linearGradient>\n"
          "  </defs>\n"
          "  <rect x=\"%4\" y=\"%4\" width=\"%5\" height=\"%5\" rx=\"%6\" ry=\"%6\" "
          "fill=\"url(#tile)\"/>\n"
          "  <path d=\"%7\" fill=\"none\" stroke=\"%8\" stroke-width=\"%9\" "
          "stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n"
          "</svg>\n")
          .arg(kProgramIconGrid)
          .arg(kTileLight.name(), kTileDark.name())
          .arg(kTileInset)
          .arg(side)
          .arg(kTileRadius)
          .arg(svgPathData(), kLetter.name())
          .arg(kLetterWidth);
  return svg.toUtf8();
}

QIcon programIconSet() {
  QIcon icon;
  for (int size : kProgramIconSizes) icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
  return icon;
}

}  // namespace pelt
