// The main view: the base picture, the header keys, the preset display, page keys, the
// effect chain, the EXP labels and the small markers.

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include "skin/view_layout.h"
#include "tools/skin_gen/paint_kit.h"

namespace skin_gen {
namespace {

using rq700::layout::kHitRects;
using rq700::layout::Rect;

QRectF Local(const Rect& r, int ox, int oy) {
  return QRectF(r.left - ox, r.top - oy, r.width(), r.height());
}

const char* const kTopLabels[5] = {"BACKUP / RESTORE", "SAVE", "IMPORT", "EXPORT", "VERSION"};
const char* const kPageLabels[4] = {"SYSTEM", "CTRL", "EXP", "PANEL"};

QImage KeyImage(const Rect& r, const QString& label, KeyState state, int px = 14) {
  QImage img = NewImage(r.width(), r.height());
  QPainter p(&img);
  Key(p, QRectF(0, 0, r.width(), r.height()), label, state, px);
  return img;
}

// Perforated speaker-grille texture.
void Grille(QPainter& p, const QRectF& r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  Well(p, r, 6);
  p.setPen(Qt::NoPen);
  for (qreal y = r.top() + 7; y < r.bottom() - 4; y += 7) {
    const bool odd = static_cast<int>((y - r.top()) / 7) % 2;
    for (qreal x = r.left() + 7 + (odd ? 3.5 : 0); x < r.right() - 4; x += 7) {
      p.setBrush(QColor(8, 8, 9));
      p.drawEllipse(QPointF(x, y), 2.1, 2.1);
      p.setBrush(QColor(255, 255, 255, 18));
      p.drawEllipse(QPointF(x + 0.6, y + 1.2), 1.2, 0.7);
    }
  }
  p.restore();
}

QImage Base() {
  QImage img = NewImage(rq700::layout::kBaseWidth, rq700::layout::kBaseHeight, true);
  Brushed(img, img.rect(), kMetal, 0x5EED0001);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // Outer frame of the unit.
  Bevel(p, QRectF(2, 2, 1228, 775), 10, QColor(255, 255, 255, 60), QColor(0, 0, 0, 160));
  for (QPointF s : {QPointF(16, 16), QPointF(1216, 16), QPointF(16, 763), QPointF(1216, 763)})
    Screw(p, s, 5.5, s.x() * 0.37 + s.y());

  // Module panel: the light enamel field under the model name, the illustrations and the
  // sliders.
  Well(p, QRectF(96, 171, 762, 276), 9);
  p.setPen(Qt::NoPen);
  p.setBrush(kEnamel);
  p.drawRoundedRect(QRectF(100, 175, 754, 268), 7, 7);
  Bevel(p, QRectF(100, 175, 754, 268), 7, QColor(255, 255, 255, 220), QColor(0, 0, 0, 90));
  // Left of it, a speaker grille.
  Grille(p, QRectF(18, 176, 72, 266));

  // Lower left: pedal section behind the EXP labels.
  Well(p, QRectF(18, 484, 232, 176), 8);
  Text(p, QRectF(56, 656, 160, 16), "EXPRESSION", 10, kEngrave, Qt::AlignCenter, QFont::Bold);
  // Footer plate under the version label.
  Enamel(p, QRectF(16, 733, 240, 30), 5);

  // Effect chain: a recessed bay, the signal path, and one socket per slot.
  Well(p, QRectF(262, 453, 634, 275), 10);
  QPen cable(QColor(16, 16, 18), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  QPainterPath path;
  path.moveTo(286, 518);
  path.lineTo(850, 518);
  path.quadTo(884, 518, 884, 552);
  path.lineTo(884, 622);
  path.quadTo(884, 656, 850, 656);
  path.lineTo(276, 656);
  p.setBrush(Qt::NoBrush);
  p.setPen(cable);
  p.drawPath(path);
  p.setPen(QPen(QColor(95, 98, 104), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  Text(p, QRectF(268, 494, 60, 14), "IN", 11, kEngrave, Qt::AlignLeft | Qt::AlignVCenter);
  Text(p, QRectF(270, 632, 60, 14), "OUT", 11, kEngrave, Qt::AlignLeft | Qt::AlignVCenter);
  for (int i = 0; i < 9; ++i) {
    const Rect& r = kHitRects[11 + i];
    const QRectF slot(r.left, r.top, r.width(), r.height());
    p.setPen(QPen(QColor(8, 8, 10), 1));
    QLinearGradient g(slot.topLeft(), slot.bottomLeft());
    g.setColorAt(0, QColor(44, 46, 50));
    g.setColorAt(1, QColor(30, 31, 34));
    p.setBrush(g);
    p.drawRoundedRect(slot.adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
    Bevel(p, slot.adjusted(1, 1, -1, -1), 6, QColor(255, 255, 255, 40), QColor(0, 0, 0, 0));
    Text(p, QRectF(r.left + 5, r.top + 1, 14, 12), QString::number(i + 1), 9, QColor(150, 152, 158),
         Qt::AlignLeft | Qt::AlignVCenter);
  }

  // Page keys sit in a bay; below them a badge.
  Well(p, QRectF(867, 176, 121, 196), 8);
  Text(p, QRectF(867, 336, 121, 30), "RQ700", 17, QColor(120, 123, 128), Qt::AlignCenter,
       QFont::Black);

  // Preset list.
  Text(p, QRectF(1004, 138, 200, 20), "PRESETS", 12, kEngrave, Qt::AlignLeft | Qt::AlignVCenter);
  Well(p, QRectF(996, 160, 232, 456), 8);
  p.setPen(Qt::NoPen);
  p.setBrush(kEnamel);
  p.drawRoundedRect(QRectF(1000, 164, 201, 448), 5, 5);
  p.setPen(QPen(QColor(215, 215, 215), 1));
  for (int r = 1; r < rq700::layout::kPresetRows; ++r) {
    const int y = 169 + 23 * r - 2;
    p.drawLine(QPointF(1006, y + 0.5), QPointF(1196, y + 0.5));
  }
  // Scroll track.
  QLinearGradient tg(QPointF(1203, 0), QPointF(1224, 0));
  tg.setColorAt(0, QColor(16, 16, 18));
  tg.setColorAt(0.5, QColor(34, 35, 38));
  tg.setColorAt(1, QColor(16, 16, 18));
  p.setBrush(tg);
  p.drawRoundedRect(QRectF(1203, 168, 21, 444), 4, 4);

  // Lower right: the maker's plate.
  Enamel(p, QRectF(998, 640, 226, 96), 8, QColor(62, 64, 69));
  Text(p, QRectF(998, 648, 226, 44), "ZORVA", 34, kEngrave, Qt::AlignCenter, QFont::Black);
  Text(p, QRectF(998, 692, 226, 18), "RQ700  GUITAR MULTI-EFFECTS", 11, kAccent, Qt::AlignCenter,
       QFont::Bold);
  Text(p, QRectF(998, 710, 226, 16), "STUDIO EDITOR", 10, QColor(170, 172, 178), Qt::AlignCenter,
       QFont::Normal);
  return img;
}

QImage Header() {
  QImage img = NewImage(1160, 40, true);
  Brushed(img, img.rect(), QColor(40, 42, 46), 0x5EED0002, 7);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  Bevel(p, QRectF(0, 0, 1160, 40), 6, QColor(255, 255, 255, 70), QColor(0, 0, 0, 180));
  Text(p, QRectF(14, 0, 120, 40), "ZORVA", 24, kEngrave, Qt::AlignLeft | Qt::AlignVCenter,
       QFont::Black);
  Text(p, QRectF(118, 0, 100, 40), "RQ700", 24, kAccent, Qt::AlignLeft | Qt::AlignVCenter,
       QFont::Black);
  Text(p, QRectF(212, 4, 120, 32), "STUDIO", 11, QColor(160, 162, 168),
       Qt::AlignLeft | Qt::AlignVCenter, QFont::Bold);
  for (int k = 0; k < 5; ++k) {
    const QRectF r = Local(kHitRects[k], 49, 36);
    Well(p, r.adjusted(-2, -2, 2, 2), 6);
    Key(p, r, kTopLabels[k], KeyState::kNormal, 13);
  }
  return img;
}

QImage PresetDisplay() {
  QImage img = NewImage(941, 51);
  QPainter p(&img);
  Lcd(p, QRectF(0, 0, 941, 51), 5);
  Text(p, QRectF(14, 8, 200, 14), "CURRENT PRESET", 10, kInkSoft, Qt::AlignLeft | Qt::AlignVCenter);
  Text(p, QRectF(14, 24, 240, 20), "RQ700", 18, QColor(150, 146, 132),
       Qt::AlignLeft | Qt::AlignVCenter, QFont::Black);
  // A divider before the volume section.
  p.setPen(QPen(QColor(180, 176, 160), 1));
  p.drawLine(QPointF(752.5, 9), QPointF(752.5, 42));
  return img;
}

QImage ModuleHeader() {
  QImage img = NewImage(640, 44);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  Enamel(p, QRectF(0, 2, 640, 40), 6, QColor(222, 222, 224));
  Text(p, QRectF(150, 2, 104, 40), "MODEL", 13, kInk, Qt::AlignRight | Qt::AlignVCenter);
  p.setPen(QPen(QColor(190, 190, 192), 1));
  p.drawLine(QPointF(20, 22.5), QPointF(140, 22.5));
  p.drawLine(QPointF(470, 22.5), QPointF(620, 22.5));
  return img;
}

QImage Field() {
  QImage img = NewImage(196, 28);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(90, 92, 96), 1));
  QLinearGradient g(0, 0, 0, 28);
  g.setColorAt(0, QColor(252, 252, 252));
  g.setColorAt(1, QColor(228, 229, 231));
  p.setBrush(g);
  p.drawRoundedRect(QRectF(0.5, 0.5, 195, 27), 4, 4);
  // The drop-down button at the right end.
  QRectF btn(170, 1, 25, 26);
  QLinearGradient bg(btn.topLeft(), btn.bottomLeft());
  bg.setColorAt(0, QColor(92, 95, 100));
  bg.setColorAt(1, QColor(56, 58, 62));
  p.setBrush(bg);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(btn, 3, 3);
  QPainterPath tri;
  tri.moveTo(176, 11);
  tri.lineTo(189, 11);
  tri.lineTo(182.5, 18);
  tri.closeSubpath();
  p.setBrush(kEngrave);
  p.drawPath(tri);
  return img;
}

QImage FieldHover() {
  QImage img = NewImage(25, 26);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, 26);
  g.setColorAt(0, kAccent.lighter(110));
  g.setColorAt(1, kAccentDeep);
  p.setBrush(g);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(QRectF(0, 0, 25, 26), 3, 3);
  QPainterPath tri;
  tri.moveTo(6, 10);
  tri.lineTo(19, 10);
  tri.lineTo(12.5, 17);
  tri.closeSubpath();
  p.setBrush(kInk);
  p.drawPath(tri);
  return img;
}

QImage VolumeField() {
  QImage img = NewImage(42, 27);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(10, 10, 12), 1));
  QLinearGradient g(0, 0, 0, 27);
  g.setColorAt(0, QColor(20, 21, 24));
  g.setColorAt(1, QColor(44, 46, 50));
  p.setBrush(g);
  p.drawRoundedRect(QRectF(0.5, 0.5, 41, 26), 4, 4);
  p.setPen(QPen(kAccent, 1));
  p.drawLine(QPointF(5, 24.5), QPointF(37, 24.5));
  return img;
}

QImage VolumePopup() {
  QImage img = NewImage(135, 51, true);
  Brushed(img, img.rect(), QColor(58, 60, 65), 0x5EED0003, 6);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  Bevel(p, QRectF(0, 0, 135, 51), 4, QColor(255, 255, 255, 90), QColor(0, 0, 0, 200));
  Text(p, QRectF(8, 2, 120, 14), "PRESET VOLUME", 10, kEngrave, Qt::AlignLeft | Qt::AlignVCenter);
  // Track under slider 0 (855..965 x 94..106, here 11..121 x 19..31).
  Well(p, QRectF(8, 16, 117, 19), 4);
  Ticks(p, QRect(11, 19, 111, 13), 10, QColor(150, 152, 158));
  return img;
}

QImage Thumb() {
  QImage img = NewImage(20, 76);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 20, 0);
  g.setColorAt(0, QColor(120, 123, 128));
  g.setColorAt(0.5, QColor(176, 178, 182));
  g.setColorAt(1, QColor(96, 98, 104));
  p.setPen(QPen(QColor(14, 14, 16), 1));
  p.setBrush(g);
  p.drawRoundedRect(QRectF(1.5, 0.5, 17, 75), 4, 4);
  for (int i = -2; i <= 2; ++i) {
    const qreal y = 38 + i * 5;
    p.setPen(QPen(QColor(60, 62, 66), 1));
    p.drawLine(QPointF(5, y), QPointF(15, y));
    p.setPen(QPen(QColor(220, 222, 226), 1));
    p.drawLine(QPointF(5, y + 1), QPointF(15, y + 1));
  }
  return img;
}

QImage SlotFrame(bool selected) {
  using rq700::layout::kChainSlotHeight;
  using rq700::layout::kChainSlotWidth;
  QImage img = NewImage(kChainSlotWidth, kChainSlotHeight);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(1.5, 1.5, kChainSlotWidth - 3, kChainSlotHeight - 3);
  if (selected) {
    p.setPen(QPen(kAccent, 3));
    p.setBrush(QColor(246, 174, 69, 28));
    p.drawRoundedRect(r, 7, 7);
    // Corner brackets, like a camera viewfinder.
    p.setPen(QPen(kAccent.lighter(115), 2));
    const qreal l = 12;
    p.drawLine(QPointF(5, 5), QPointF(5 + l, 5));
    p.drawLine(QPointF(5, 5), QPointF(5, 5 + l));
    p.drawLine(QPointF(kChainSlotWidth - 5, kChainSlotHeight - 5),
               QPointF(kChainSlotWidth - 5 - l, kChainSlotHeight - 5));
    p.drawLine(QPointF(kChainSlotWidth - 5, kChainSlotHeight - 5),
               QPointF(kChainSlotWidth - 5, kChainSlotHeight - 5 - l));
  } else {
    QRadialGradient g(r.center(), r.height() * 0.7);
    g.setColorAt(0, QColor(255, 255, 255, 34));
    g.setColorAt(1, QColor(255, 255, 255, 6));
    p.setBrush(g);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1.5));
    p.drawRoundedRect(r, 7, 7);
  }
  return img;
}

QImage ChainIcon(int type, bool on) {
  const int w = rq700::layout::ChainIconWidth(type);
  const int h = rq700::layout::ChainIconHeight();
  QImage img = NewImage(w, h);
  QPainter p(&img);
  ModuleGlyph(p, type, QRectF(0, 0, w, h), on);
  return img;
}

QImage ExpPlate(bool first_line) {
  QImage img = NewImage(180, 24);
  QPainter p(&img);
  Lcd(p, QRectF(0, 0, 180, 24), 3);
  if (first_line) {
    p.setPen(QPen(QColor(188, 184, 168), 1));
    p.drawLine(QPointF(8, 21.5), QPointF(172, 21.5));
  }
  return img;
}

QImage TouchBar() {
  QImage img = NewImage(117, 7);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 117, 0);
  g.setColorAt(0, QColor(246, 174, 69, 40));
  g.setColorAt(0.5, kAccent);
  g.setColorAt(1, QColor(246, 174, 69, 40));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(QRectF(0, 1, 117, 5), 2.5, 2.5);
  return img;
}

QImage ExpRail() {
  QImage img = NewImage(20, 130);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(12, 12, 14), 1));
  p.setBrush(QColor(40, 41, 45));
  p.drawRoundedRect(QRectF(6.5, 0.5, 7, 129), 3, 3);
  for (int i = 0; i < 2; ++i) {
    const QPointF c(10, 8 + 90 * i);
    p.setBrush(QColor(70, 72, 77));
    p.setPen(QPen(QColor(12, 12, 14), 1));
    p.drawEllipse(c, 8.5, 8.5);
    Text(p, QRectF(c.x() - 8, c.y() - 8, 16, 16), QString::number(i + 1), 11, kEngrave);
  }
  return img;
}

QImage TogglePanel() {
  QImage img = NewImage(296, 42);
  QPainter p(&img);
  Well(p, QRectF(0, 0, 296, 42), 7);
  return img;
}

QImage Toggle(const QString& label, bool on) {
  QImage img = NewImage(135, 34);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(0.5, 0.5, 134, 33);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, on ? QColor(76, 72, 66) : QColor(62, 64, 69));
  g.setColorAt(1, on ? QColor(50, 46, 42) : QColor(42, 43, 47));
  p.setBrush(g);
  p.setPen(QPen(QColor(10, 10, 12), 1));
  p.drawRoundedRect(r, 5, 5);
  Led(p, QPointF(17, 17), 5, on);
  Text(p, QRectF(30, 0, 100, 34), label, 13, on ? kAccent : QColor(150, 152, 158),
       Qt::AlignLeft | Qt::AlignVCenter);
  Text(p, QRectF(30, 0, 98, 34), on ? "ON" : "OFF", 10, on ? kEngrave : QColor(110, 112, 118),
       Qt::AlignRight | Qt::AlignVCenter);
  return img;
}

QImage DirtyMarker() {
  QImage img = NewImage(12, 18);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath tab;
  tab.moveTo(1, 2);
  tab.lineTo(7, 2);
  tab.lineTo(11.5, 9);
  tab.lineTo(7, 16);
  tab.lineTo(1, 16);
  tab.closeSubpath();
  p.setPen(QPen(QColor(90, 50, 10), 1));
  p.setBrush(kAccent);
  p.drawPath(tab);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 24, 6));
  p.drawEllipse(QPointF(5, 9), 1.8, 1.8);
  return img;
}

}  // namespace

void DrawMainView(Sink& out) {
  out.Put(0, Base());
  out.Put(1, Header());
  for (int k = 1; k <= 4; ++k) {
    out.Put(k + 1, KeyImage(kHitRects[k], kTopLabels[k], KeyState::kHover, 13));
    out.Put(k + 5, KeyImage(kHitRects[k], kTopLabels[k], KeyState::kPressed, 13));
  }
  out.Put(253, KeyImage(kHitRects[0], kTopLabels[0], KeyState::kHover, 13));
  out.Put(10, Thumb());
  for (int k = 0; k < 4; ++k) {
    const Rect& r = kHitRects[6 + k];
    out.Put(11 + k, KeyImage(r, kPageLabels[k], KeyState::kNormal, 14));
    out.Put(15 + k, KeyImage(r, kPageLabels[k], KeyState::kActive, 14));
    out.Put(45 + k, KeyImage(r, kPageLabels[k], KeyState::kHover, 14));
  }
  out.Put(19, ExpRail());
  out.Put(20, PresetDisplay());
  out.Put(30, ModuleHeader());
  for (int t = 1; t <= 9; ++t) {
    out.Put(20 + t, ChainIcon(t, true));
    out.Put(30 + t, ChainIcon(t, false));
  }
  out.Put(40, ExpPlate(false));
  out.Put(41, ExpPlate(true));
  out.Put(42, SlotFrame(false));
  out.Put(43, SlotFrame(true));
  out.Put(44, TouchBar());
  out.Put(200, VolumeField());
  out.Put(201, VolumePopup());
  out.Put(202, Field());
  out.Put(231, FieldHover());
  out.Put(240, TogglePanel());
  out.Put(241, Toggle("CAB SIM", false));
  out.Put(242, Toggle("CAB SIM", true));
  out.Put(243, Toggle("DRY OUT", false));
  out.Put(244, Toggle("DRY OUT", true));
  out.Put(250, DirtyMarker());
}

}  // namespace skin_gen
