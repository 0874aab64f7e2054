// The firmware updater's four images and the two program icons.

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include "tools/skin_gen/paint_kit.h"

namespace skin_gen {
namespace {

QImage Background() {
  QImage img = NewImage(401, 201, true);
  Brushed(img, img.rect(), kMetal, 0x5EED0201);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  Bevel(p, QRectF(0, 0, 401, 201), 6, QColor(255, 255, 255, 80), QColor(0, 0, 0, 200));
  Text(p, QRectF(12, 2, 260, 16), "ZORVA STUDIO", 11, kEngrave, Qt::AlignLeft | Qt::AlignVCenter,
       QFont::Black);
  Text(p, QRectF(104, 2, 200, 16), "FIRMWARE UPDATE", 11, kAccent, Qt::AlignLeft | Qt::AlignVCenter,
       QFont::Bold);
  // The close mark at 385..396 x 2..15.
  p.setPen(QPen(kEngrave, 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(387.5, 4.5), QPointF(394.5, 12.5));
  p.drawLine(QPointF(394.5, 4.5), QPointF(387.5, 12.5));
  Text(p, QRectF(32, 30, 337, 26), "RQ700  -  keep the unit connected until the end", 11,
       QColor(170, 172, 178), Qt::AlignCenter, QFont::Bold);
  // Bay of the progress bar (32, 64, 337 x 40).
  Well(p, QRectF(28, 60, 345, 48), 6);
  // Display under the status text, anchored at (200, 115).
  Lcd(p, QRectF(40, 110, 321, 36), 4);
  // The update key, shown until the update starts.
  Well(p, QRectF(157, 150, 88, 33), 6);
  Key(p, QRectF(160, 153, 82, 27), "UPDATE", KeyState::kNormal, 13);
  for (QPointF s : {QPointF(10, 190), QPointF(391, 190)}) Screw(p, s, 4, s.x());
  return img;
}

QImage UpdateKey(bool done) {
  QImage img = NewImage(done ? 81 : 82, done ? 26 : 27);
  QPainter p(&img);
  if (done) {
    Key(p, QRectF(0, 0, 81, 26), "FINISH", KeyState::kActive, 13);
  } else {
    Key(p, QRectF(0, 0, 82, 27), "UPDATING", KeyState::kPressed, 11);
  }
  return img;
}

QImage CloseHighlight() {
  QImage img = NewImage(12, 14);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(kAccent);
  p.drawRoundedRect(QRectF(0, 0, 12, 14), 2, 2);
  p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(2.5, 2.5), QPointF(9.5, 10.5));
  p.drawLine(QPointF(9.5, 2.5), QPointF(2.5, 10.5));
  return img;
}

}  // namespace

QImage UpdaterImage(int n) {
  switch (n) {
    case 0:
      return Background();
    case 1:
      return UpdateKey(false);
    case 2:
      return UpdateKey(true);
    default:
      return CloseHighlight();
  }
}

QImage ProgramIcon(bool editor) {
  QImage img = NewImage(256, 256);
  QImage metal = NewImage(256, 256, true);
  Brushed(metal, metal.rect(), editor ? kMetal : QColor(44, 46, 50), editor ? 11 : 12, 10);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath body;
  body.addRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
  p.setClipPath(body);
  p.drawImage(0, 0, metal);
  p.setClipping(false);
  Bevel(p, QRectF(8, 8, 240, 240), 44, QColor(255, 255, 255, 110), QColor(0, 0, 0, 220));
  if (editor) {
    // A big knob with an orange pointer over a scale: the unit being edited.
    p.setPen(QPen(kAccent, 6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(48, 44, 160, 160), -45 * 16, 270 * 16);
    QRadialGradient g(QPointF(112, 108), 90);
    g.setColorAt(0, QColor(120, 122, 128));
    g.setColorAt(1, QColor(26, 27, 30));
    p.setBrush(g);
    p.setPen(QPen(QColor(10, 10, 12), 2));
    p.drawEllipse(QPointF(128, 124), 58, 58);
    p.setPen(QPen(kAccent, 9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(128, 124), QPointF(168, 88));
    Text(p, QRectF(8, 190, 240, 44), "RQ700", 34, kEngrave, Qt::AlignCenter, QFont::Black);
  } else {
    // A footswitch pedal with a chip: the launcher and updater.
    p.setPen(QPen(QColor(10, 10, 12), 2));
    QLinearGradient g(0, 60, 0, 190);
    g.setColorAt(0, QColor(110, 112, 118));
    g.setColorAt(1, QColor(50, 52, 56));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(58, 50, 140, 150), 16, 16);
    Led(p, QPointF(128, 76), 10, true);
    QRadialGradient sw(QPointF(124, 146), 40);
    sw.setColorAt(0, QColor(230, 230, 234));
    sw.setColorAt(1, QColor(90, 92, 96));
    p.setBrush(sw);
    p.drawEllipse(QPointF(128, 150), 30, 30);
    p.setPen(QPen(kAccent, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(196, 206), QPointF(214, 224), QPointF(232, 206)}));
    p.drawLine(QPointF(214, 224), QPointF(214, 170));
    Text(p, QRectF(8, 200, 200, 44), "ZS", 34, kEngrave, Qt::AlignCenter, QFont::Black);
  }
  return img;
}

}  // namespace skin_gen
