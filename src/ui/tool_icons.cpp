#include "ui/tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

#include "app/command_table.h"
#include "ui/program_icon.h"

namespace pelt {

namespace {

const QColor kInk(40, 40, 48);
const QColor kAccent(40, 110, 200);
const QColor kWarm(200, 90, 40);

QIcon drawn(const std::function<void(QPainter&)>& draw) {
  // Twice the size for crisp scaling; the tool bar shows 16 x 15.
  QPixmap pixmap(kToolImageWidth * 2, kToolImageHeight * 2);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(2, 2);
  draw(p);
  p.end();
  return QIcon(pixmap);
}

void camera(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(QColor(90, 90, 100));
  p.drawRoundedRect(QRectF(1.5, 4.5, 13, 8), 1.5, 1.5);
  p.drawRect(QRectF(5.5, 2.5, 4, 2));
  p.setBrush(QColor(170, 200, 240));
  p.drawEllipse(QPointF(8, 8.5), 2.6, 2.6);
}

void paintMode(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(QColor(220, 190, 120));
  QPainterPath handle;
  handle.moveTo(13.5, 1.5);
  handle.lineTo(15, 3);
  handle.lineTo(7.5, 10.5);
  handle.lineTo(6, 9);
  handle.closeSubpath();
  p.drawPath(handle);
  p.setBrush(kWarm);
  QPainterPath tip;
  tip.moveTo(6, 9);
  tip.lineTo(7.5, 10.5);
  tip.cubicTo(6.5, 13.5, 3, 14, 1, 13.5);
  tip.cubicTo(2.5, 12.5, 3, 9, 6, 9);
  p.drawPath(tip);
}

void mappingMode(QPainter& p) {
  p.setPen(QPen(QColor(160, 160, 170), 1));
  for (int i = 0; i <= 4; ++i) {
    p.drawLine(QPointF(1.5 + i * 3.25, 1.5), QPointF(1.5 + i * 3.25, 13.5));
    p.drawLine(QPointF(1.5, 1.5 + i * 3), QPointF(14.5, 1.5 + i * 3));
  }
  p.setPen(QPen(kAccent, 1.5));
  p.setBrush(QColor(40, 110, 200, 70));
  p.drawPolygon(QPolygonF({QPointF(3, 12), QPointF(8, 3), QPointF(13.5, 11)}));
}

void pointBrush(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawRect(QRectF(6.5, 6, 3, 3));
  p.setPen(QPen(QColor(150, 150, 160), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(4.5, 4, 7, 7));
}

void pencilBrush(QPainter& p) {
  p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  QPainterPath scribble;
  scribble.moveTo(1.5, 11);
  scribble.cubicTo(4, 3, 6, 3, 7.5, 8);
  scribble.cubicTo(9, 13, 12, 12, 14.5, 3.5);
  p.drawPath(scribble);
}

void lineBrush(QPainter& p) {
  p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(2.5, 12), QPointF(13.5, 3));
  p.setPen(Qt::NoPen);
  p.setBrush(kAccent);
  p.drawEllipse(QPointF(2.5, 12), 1.8, 1.8);
  p.drawEllipse(QPointF(13.5, 3), 1.8, 1.8);
}

void dragPixels(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(QColor(230, 170, 80));
  p.drawRect(QRectF(1.5, 1.5, 7, 6));
  p.setPen(QPen(kAccent, 1.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(7, 7), QPointF(13.5, 13));
  p.drawLine(QPointF(13.5, 13), QPointF(13.5, 9.5));
  p.drawLine(QPointF(13.5, 13), QPointF(10, 13));
}

void rectangleTool(QPainter& p) {
  p.setPen(QPen(kInk, 1, Qt::DashLine));
  p.setBrush(QColor(40, 110, 200, 50));
  p.drawRect(QRectF(1.5, 2.5, 13, 10));
  p.setPen(Qt::NoPen);
  p.setBrush(kAccent);
  for (QPointF c : {QPointF(1.5, 2.5), QPointF(14.5, 2.5), QPointF(1.5, 12.5), QPointF(14.5, 12.5)})
    p.drawRect(QRectF(c.x() - 1.5, c.y() - 1.5, 3, 3));
}

void meshWhilePainting(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(120, 170, 110));
  p.drawRect(QRectF(1, 1, 14, 13));
  p.setPen(QPen(QColor(250, 250, 250), 1));
  p.drawLine(QPointF(1, 14), QPointF(8, 1));
  p.drawLine(QPointF(8, 1), QPointF(15, 14));
  p.drawLine(QPointF(4.5, 7.5), QPointF(11.5, 7.5));
  p.drawLine(QPointF(4.5, 7.5), QPointF(8, 14));
  p.drawLine(QPointF(11.5, 7.5), QPointF(8, 14));
}

void paletteReset(QPainter& p) {
  const QColor cells[] = {QColor(200, 60, 50), QColor(230, 190, 60), QColor(70, 160, 80),
                          QColor(60, 100, 200), QColor(150, 80, 170), QColor(90, 90, 90)};
  p.setPen(QPen(kInk, 0.5));
  for (int i = 0; i < 6; ++i) {
    p.setBrush(cells[i]);
    p.drawRect(QRectF(1 + (i % 3) * 4.5, 1 + (i / 3) * 4, 4.5, 4));
  }
  p.setPen(QPen(kInk, 1.3, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(4, 9, 9, 8), 30 * 16, 240 * 16);
  p.drawLine(QPointF(11.8, 10.2), QPointF(13.5, 10.5));
}

void blendRgb(QPainter& p) {
  QLinearGradient g(1, 0, 15, 0);
  g.setColorAt(0, QColor(30, 30, 30));
  g.setColorAt(1, kWarm);
  p.setPen(QPen(kInk, 1));
  p.setBrush(g);
  p.drawRect(QRectF(1.5, 3.5, 13, 8));
}

void blendHue(QPainter& p) {
  QConicalGradient g(QPointF(8, 7.5), 0);
  const QColor stops[] = {Qt::red, Qt::yellow, Qt::green, Qt::cyan, Qt::blue, Qt::magenta, Qt::red};
  for (int i = 0; i < 7; ++i) g.setColorAt(i / 6.0, stops[i]);
  p.setPen(QPen(kInk, 1));
  p.setBrush(g);
  p.drawEllipse(QPointF(8, 7.5), 6.5, 6.5);
}

// A tipped bucket pouring a drop.
void fillBrush(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(QColor(200, 200, 210));
  p.drawPolygon(QPolygonF({QPointF(2.5, 6.5), QPointF(8, 1.5), QPointF(13.5, 7), QPointF(8, 12.5)}));
  p.setBrush(kAccent);
  p.drawPolygon(QPolygonF({QPointF(2.5, 6.5), QPointF(8, 12.5), QPointF(5.5, 9.5)}));
  p.setPen(Qt::NoPen);
  QPainterPath drop;
  drop.moveTo(13.5, 8.5);
  drop.cubicTo(15.5, 11.5, 15.5, 13.5, 13.5, 13.5);
  drop.cubicTo(11.5, 13.5, 11.5, 11.5, 13.5, 8.5);
  p.drawPath(drop);
}

// A strip of film with a play triangle over it.
void playAnimation(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 70, 80));
  p.drawRect(QRectF(1, 2, 14, 11));
  p.setBrush(QColor(230, 230, 220));
  for (int i = 0; i < 4; ++i) {
    p.drawRect(QRectF(2 + i * 3.5, 2.8, 1.6, 1.2));
    p.drawRect(QRectF(2 + i * 3.5, 11, 1.6, 1.2));
  }
  p.setPen(QPen(kInk, 0.8));
  p.setBrush(QColor(90, 190, 90));
  p.drawPolygon(QPolygonF({QPointF(5.5, 4.8), QPointF(11.5, 7.5), QPointF(5.5, 10.2)}));
}

// A curved arrow turning back (undo) or, mirrored, forward (redo).
void turnArrow(QPainter& p, bool forward) {
  if (forward) {
    p.translate(16, 0);
    p.scale(-1, 1);
  }
  p.setPen(QPen(kAccent, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  QPainterPath bend;
  bend.moveTo(4, 6);
  bend.lineTo(10, 6);
  bend.cubicTo(15, 6, 15, 13, 10, 13);
  bend.lineTo(6, 13);
  p.drawPath(bend);
  p.setPen(Qt::NoPen);
  p.setBrush(kAccent);
  p.drawPolygon(QPolygonF({QPointF(0.8, 6), QPointF(5.5, 2), QPointF(5.5, 10)}));
}

void undoArrow(QPainter& p) { turnArrow(p, false); }
void redoArrow(QPainter& p) { turnArrow(p, true); }

}  // namespace

QIcon toolIcon(int commandId) {
  switch (commandId) {
    case 32779:
      return drawn(camera);
    case 32780:
      return drawn(paintMode);
    case 32781:
      return drawn(mappingMode);
    case 32802:
      return drawn(pointBrush);
    case 32800:
      return drawn(pencilBrush);
    case 32801:
      return drawn(lineBrush);
    case 32836:
      return drawn(dragPixels);
    case 32866:
      return drawn(rectangleTool);
    case 32850:
      return drawn(meshWhilePainting);
    case 32864:
      return drawn(paletteReset);
    case 32868:
      return drawn(blendRgb);
    case 32869:
      return drawn(blendHue);
    case 33240:
      return drawn(fillBrush);
    case kPlayAnimationId:
      return drawn(playAnimation);
    case 33300:
      return drawn(undoArrow);
    case 33301:
      return drawn(redoArrow);
  }
  return {};
}

QPixmap aboutPicture() {
  constexpr int kSide = 96;
  QPixmap pixmap(kSide, kSide);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  // The frame.
  p.setPen(QPen(QColor(90, 60, 30), 5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(8, 8), QPointF(88, 8));
  p.drawLine(QPointF(8, 88), QPointF(88, 88));
  p.drawLine(QPointF(10, 6), QPointF(10, 90));
  p.drawLine(QPointF(86, 6), QPointF(86, 90));
  // The hide: a body with four paw tabs, a neck and a tail, laced to the frame.
  QPainterPath hide;
  const QPointF right[] = {{54, 16}, {74, 20}, {80, 30}, {64, 38}, {66, 58},
                           {80, 68}, {72, 78}, {56, 70}, {51, 82}};
  hide.moveTo(48, 14);
  for (const QPointF& q : right) hide.lineTo(q);
  hide.lineTo(48, 86);
  for (int i = 8; i >= 0; --i) hide.lineTo(96 - right[i].x(), right[i].y());
  hide.closeSubpath();
  QLinearGradient fur(0, 14, 0, 86);
  fur.setColorAt(0, QColor(196, 142, 84));
  fur.setColorAt(1, QColor(138, 88, 48));
  p.setPen(QPen(QColor(70, 40, 20), 1.5));
  p.setBrush(fur);
  p.drawPath(hide);
  p.setPen(QPen(QColor(230, 215, 180), 0.8));
  for (const QPointF& q : {QPointF(80, 30), QPointF(16, 30), QPointF(80, 68), QPointF(16, 68)})
    p.drawLine(q, QPointF(q.x() < 48 ? 10 : 86, q.y()));
  // A green stroke of fresh paint and the brush that left it.
  p.setPen(QPen(QColor(40, 170, 70), 5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(34, 56), QPointF(54, 46));
  p.setPen(QPen(QColor(60, 60, 70), 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(58, 44), QPointF(78, 32));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 170, 70));
  p.drawEllipse(QPointF(56, 45), 3, 3);
  return pixmap;
}

QIcon programIcon() { return programIconSet(); }

}  // namespace pelt
