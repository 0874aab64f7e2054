#include "tools/skin_gen/paint_kit.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace skin_gen {

namespace {
int density = 1;
}  // namespace

void SetDensity(int d) { density = d; }
int Density() { return density; }

QImage NewImage(int w, int h, bool opaque) {
  QImage img(w * density, h * density,
             opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
  // A painter on the image then draws in units.
  if (density != 1) img.setDevicePixelRatio(density);
  img.fill(opaque ? QColor(0, 0, 0) : QColor(0, 0, 0, 0));
  return img;
}

QFont Font(int pixel_size, int weight, bool condensed) {
  QFont f(condensed ? "Liberation Sans Narrow" : "Liberation Sans");
  f.setPixelSize(pixel_size);
  f.setWeight(static_cast<QFont::Weight>(weight));
  f.setHintingPreference(QFont::PreferNoHinting);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

void Brushed(QImage& img, const QRect& r, QColor base, uint32_t seed, int strength) {
  Rng rng(seed);
  const QRect rr = r.intersected(img.rect());
  // One streak value per row segment, slowly varying along x: the grain of brushed metal.
  for (int y = rr.top(); y <= rr.bottom(); ++y) {
    int streak = rng.Range(2 * strength + 1) - strength;
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = rr.left(); x <= rr.right(); ++x) {
      if (rng.Range(23) == 0) streak = std::clamp(streak + rng.Range(5) - 2, -strength, strength);
      const int fine = rng.Range(5) - 2;
      const int v = streak + fine;
      const int rch = std::clamp(base.red() + v, 0, 255);
      const int gch = std::clamp(base.green() + v, 0, 255);
      const int bch = std::clamp(base.blue() + v + 1, 0, 255);
      line[x] = qRgba(rch, gch, bch, 255);
    }
  }
}

void Bevel(QPainter& p, const QRectF& r, qreal radius, QColor top_light, QColor bottom_dark) {
  p.save();
  p.setBrush(Qt::NoBrush);
  QPainterPath path;
  path.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top_light);
  g.setColorAt(1, bottom_dark);
  p.setPen(QPen(QBrush(g), 1));
  p.drawPath(path);
  p.restore();
}

void Enamel(QPainter& p, const QRectF& r, qreal radius, QColor base) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, base.lighter(103));
  g.setColorAt(1, base.darker(104));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(r, radius, radius);
  Bevel(p, r, radius, QColor(255, 255, 255, 200), QColor(0, 0, 0, 110));
  p.restore();
}

void Lcd(QPainter& p, const QRectF& r, qreal radius) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(kMetalDark);
  p.drawRoundedRect(r, radius + 2, radius + 2);
  const QRectF glass = r.adjusted(3, 3, -3, -3);
  QLinearGradient g(glass.topLeft(), glass.bottomLeft());
  g.setColorAt(0, kLcd.lighter(104));
  g.setColorAt(0.5, kLcd);
  g.setColorAt(1, kLcd.darker(106));
  p.setBrush(g);
  p.drawRoundedRect(glass, radius, radius);
  // A faint reflection across the top of the glass.
  QLinearGradient shine(glass.topLeft(), QPointF(glass.left(), glass.top() + glass.height() / 2));
  shine.setColorAt(0, QColor(255, 255, 255, 70));
  shine.setColorAt(1, QColor(255, 255, 255, 0));
  p.setBrush(shine);
  p.drawRoundedRect(glass.adjusted(2, 1, -2, -glass.height() / 2), radius, radius);
  p.restore();
}

void Well(QPainter& p, const QRectF& r, qreal radius) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, QColor(18, 19, 21));
  g.setColorAt(1, QColor(36, 37, 41));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(r, radius, radius);
  Bevel(p, r, radius, QColor(0, 0, 0, 160), QColor(255, 255, 255, 60));
  p.restore();
}

void Screw(QPainter& p, QPointF c, qreal radius, qreal angle) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient g(c - QPointF(radius / 3, radius / 3), radius * 1.4);
  g.setColorAt(0, QColor(190, 192, 196));
  g.setColorAt(1, QColor(70, 72, 76));
  p.setPen(QPen(QColor(20, 20, 22), 1));
  p.setBrush(g);
  p.drawEllipse(c, radius, radius);
  p.translate(c);
  p.rotate(angle);
  p.setPen(QPen(QColor(40, 40, 44), 1.6));
  p.drawLine(QPointF(-radius * 0.65, 0), QPointF(radius * 0.65, 0));
  p.restore();
}

void Led(QPainter& p, QPointF c, qreal radius, bool lit) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  if (lit) {
    QRadialGradient halo(c, radius * 2.6);
    halo.setColorAt(0, QColor(255, 170, 60, 150));
    halo.setColorAt(1, QColor(255, 170, 60, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(c, radius * 2.6, radius * 2.6);
  }
  QRadialGradient g(c - QPointF(radius / 3, radius / 3), radius * 1.3);
  g.setColorAt(0, lit ? QColor(255, 236, 190) : QColor(110, 90, 70));
  g.setColorAt(1, lit ? kLed : QColor(50, 40, 32));
  p.setPen(QPen(QColor(15, 15, 15), 1));
  p.setBrush(g);
  p.drawEllipse(c, radius, radius);
  p.restore();
}

void Text(QPainter& p, const QRectF& r, const QString& s, int px, QColor colour, int flags,
          int weight, bool condensed) {
  p.save();
  p.setFont(Font(px, weight, condensed));
  p.setPen(colour);
  p.drawText(r, flags, s);
  p.restore();
}

void Key(QPainter& p, const QRectF& r, const QString& label, KeyState state, int font_px) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const qreal rad = 5;
  QColor top, bottom, text = kEngrave;
  switch (state) {
    case KeyState::kNormal:
      top = QColor(88, 91, 97);
      bottom = QColor(52, 54, 58);
      break;
    case KeyState::kHover:
      top = QColor(108, 111, 118);
      bottom = QColor(66, 68, 73);
      break;
    case KeyState::kPressed:
      top = kAccentDeep;
      bottom = kAccent;
      text = kInk;
      break;
    case KeyState::kActive:
      top = kAccent.lighter(108);
      bottom = kAccentDeep;
      text = kInk;
      break;
  }
  p.setPen(QPen(QColor(12, 12, 14), 1));
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.setBrush(g);
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), rad, rad);
  if (state != KeyState::kPressed) {
    Bevel(p, r.adjusted(1, 1, -1, -1), rad - 1, QColor(255, 255, 255, 90), QColor(0, 0, 0, 0));
  }
  if (state == KeyState::kHover) {
    p.setPen(QPen(kAccent, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), rad - 1, rad - 1);
  }
  const QRectF tr = state == KeyState::kPressed ? r.translated(0, 1) : r;
  Text(p, tr, label, font_px, text);
  p.restore();
}

void PageKey(QPainter& p, const QRectF& r, const QString& label, KeyState state, int font_px) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QColor top(250, 250, 250), bottom(214, 215, 218);
  if (state == KeyState::kHover) {
    top = QColor(255, 246, 232);
    bottom = QColor(236, 222, 200);
  }
  if (state == KeyState::kPressed || state == KeyState::kActive) {
    top = kAccent.lighter(112);
    bottom = kAccent;
  }
  p.setPen(QPen(QColor(120, 122, 126), 1));
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.setBrush(g);
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
  if (state == KeyState::kHover) {
    p.setPen(QPen(kAccent, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
  }
  Text(p, r.adjusted(3, 0, -3, 0), label, font_px, kInk, Qt::AlignCenter, QFont::Bold,
       p.fontMetrics().horizontalAdvance(label) > r.width() - 10);
  p.restore();
}

void RadioRing(QPainter& p, QPointF c, qreal radius) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient g(c + QPointF(0, radius / 3), radius);
  g.setColorAt(0, QColor(255, 255, 255));
  g.setColorAt(1, QColor(200, 201, 204));
  p.setBrush(g);
  p.setPen(QPen(QColor(70, 72, 76), 1.3));
  p.drawEllipse(c, radius, radius);
  p.restore();
}

void Ticks(QPainter& p, const QRect& bar, int count, QColor colour) {
  p.save();
  p.setPen(QPen(colour, 1));
  const int y = bar.bottom() + 4;
  for (int i = 0; i <= count; ++i) {
    const qreal x = bar.left() + 3 + (bar.width() - 7) * i / static_cast<qreal>(count);
    const int len = (i == 0 || i == count || 2 * i == count) ? 5 : 3;
    p.drawLine(QPointF(x, y), QPointF(x, y + len));
  }
  p.restore();
}

namespace {

void Knob(QPainter& p, QPointF c, qreal r, QColor cap, qreal angle) {
  p.save();
  QRadialGradient g(c - QPointF(r / 3, r / 3), r * 1.5);
  g.setColorAt(0, cap.lighter(150));
  g.setColorAt(1, cap.darker(160));
  p.setPen(QPen(QColor(10, 10, 10), 1));
  p.setBrush(g);
  p.drawEllipse(c, r, r);
  p.translate(c);
  p.rotate(angle);
  p.setPen(QPen(QColor(250, 250, 250), std::max<qreal>(1, r / 4)));
  p.drawLine(QPointF(0, -r * 0.2), QPointF(0, -r * 0.85));
  p.restore();
}

}  // namespace

void ModuleGlyph(QPainter& p, int type, const QRectF& r, bool on) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  // Body colours per module: muted enamel hues so that the one orange stays the highlight.
  static const QColor kBody[10] = {QColor(),
                                   QColor(92, 120, 150),
                                   QColor(150, 96, 80),
                                   QColor(70, 70, 74),
                                   QColor(120, 96, 72),
                                   QColor(96, 110, 92),
                                   QColor(116, 118, 124),
                                   QColor(96, 92, 136),
                                   QColor(70, 118, 128),
                                   QColor(128, 104, 136)};
  QColor body = kBody[type];
  if (!on)
    body = QColor(qGray(body.rgb()) * 6 / 10, qGray(body.rgb()) * 6 / 10,
                  qGray(body.rgb()) * 6 / 10 + 4);
  const QColor ink = on ? QColor(240, 240, 240) : QColor(150, 150, 150);
  const qreal w = r.width(), h = r.height();
  const QRectF face = r.adjusted(1, 12, -1, -16);
  QLinearGradient g(face.topLeft(), face.bottomLeft());
  g.setColorAt(0, body.lighter(125));
  g.setColorAt(1, body.darker(130));
  p.setPen(QPen(QColor(10, 10, 12), 1));
  p.setBrush(g);
  // Shapes by module.
  switch (type) {
    case 1: {  // a treadle: narrow, rocker on top
      QPainterPath path;
      path.moveTo(face.left(), face.bottom());
      path.lineTo(face.left(), face.top() + 10);
      path.quadTo(face.center().x(), face.top() - 4, face.right(), face.top() + 10);
      path.lineTo(face.right(), face.bottom());
      path.closeSubpath();
      p.drawPath(path);
      p.setPen(QPen(QColor(0, 0, 0, 120), 1));
      for (qreal y = face.top() + 16; y < face.bottom() - 6; y += 5)
        p.drawLine(QPointF(face.left() + 3, y), QPointF(face.right() - 3, y));
      break;
    }
    case 2: {  // stompbox with three knobs
      p.drawRoundedRect(face, 5, 5);
      const qreal kr = std::min<qreal>(6, w / 10);
      for (int i = 0; i < 3; ++i)
        Knob(p, QPointF(face.left() + face.width() * (i + 1) / 4, face.top() + 12), kr,
             QColor(40, 40, 40), -60 + 60 * i);
      p.setBrush(QColor(20, 20, 20));
      p.drawEllipse(QPointF(face.center().x(), face.bottom() - 12), 7, 7);
      break;
    }
    case 3: {  // amp head: handle, control strip, grille
      p.drawRoundedRect(face, 4, 4);
      p.setBrush(QColor(210, 196, 160, on ? 255 : 120));
      const QRectF strip = QRectF(face.left() + 4, face.top() + 5, face.width() - 8, 12);
      p.drawRect(strip);
      for (int i = 0; i < 6; ++i)
        Knob(p, QPointF(strip.left() + 7 + i * (strip.width() - 14) / 5, strip.center().y()), 3.5,
             QColor(30, 30, 30), -90 + 36 * i);
      QRectF grille(face.left() + 4, strip.bottom() + 4, face.width() - 8,
                    face.bottom() - strip.bottom() - 8);
      p.setBrush(QColor(34, 30, 28));
      p.drawRect(grille);
      p.setPen(QPen(QColor(90, 80, 70, on ? 200 : 90), 1));
      for (qreal x = grille.left() + 3; x < grille.right(); x += 4)
        p.drawLine(QPointF(x, grille.top() + 1), QPointF(x - 6, grille.bottom() - 1));
      break;
    }
    case 4: {  // cabinet with one cone
      p.drawRoundedRect(face, 3, 3);
      const QPointF c = face.center() + QPointF(0, -2);
      const qreal cr = std::min(face.width(), face.height()) * 0.36;
      QRadialGradient cone(c, cr);
      cone.setColorAt(0, QColor(70, 66, 60));
      cone.setColorAt(0.3, QColor(28, 26, 24));
      cone.setColorAt(1, QColor(60, 56, 52));
      p.setBrush(cone);
      p.drawEllipse(c, cr, cr);
      p.setBrush(QColor(140, 136, 130));
      p.drawEllipse(c, cr * 0.25, cr * 0.25);
      break;
    }
    case 5: {  // gate: a rack unit with a level meter
      p.drawRoundedRect(face, 4, 4);
      const QRectF meter(face.left() + 8, face.top() + 10, face.width() - 16, 10);
      p.setBrush(QColor(20, 20, 20));
      p.drawRect(meter);
      for (int i = 0; i < 8; ++i) {
        QColor c = i < 5 ? QColor(120, 200, 110) : i < 7 ? kAccent : QColor(230, 70, 50);
        if (!on) c = QColor(70, 70, 70);
        p.fillRect(QRectF(meter.left() + 2 + i * (meter.width() - 4) / 8, meter.top() + 2,
                          (meter.width() - 4) / 8 - 2, meter.height() - 4),
                   c);
      }
      Knob(p, QPointF(face.center().x(), face.bottom() - 18), 9, QColor(36, 36, 36), 30);
      break;
    }
    case 6: {  // graphic EQ: a tall strip with fader caps
      p.drawRoundedRect(face, 3, 3);
      const qreal cx = face.center().x();
      p.setPen(QPen(QColor(15, 15, 15), 2));
      p.drawLine(QPointF(cx, face.top() + 6), QPointF(cx, face.bottom() - 6));
      const qreal ys[3] = {0.25, 0.6, 0.4};
      for (qreal f : ys) {
        const qreal y = face.top() + 6 + (face.height() - 12) * f;
        p.setPen(QPen(QColor(10, 10, 10), 1));
        p.setBrush(on ? QColor(235, 235, 235) : QColor(140, 140, 140));
        p.drawRect(QRectF(face.left() + 3, y - 3, face.width() - 6, 6));
      }
      break;
    }
    case 7: {  // modulation: box with a wave window
      p.drawRoundedRect(face, 5, 5);
      const QRectF win(face.left() + 5, face.top() + 10, face.width() - 10, 22);
      p.setBrush(QColor(20, 22, 26));
      p.drawRect(win);
      QPainterPath wave;
      for (int i = 0; i <= 24; ++i) {
        const qreal x = win.left() + win.width() * i / 24;
        const qreal y = win.center().y() - std::sin(i * 3.14159 / 6) * 7;
        i ? wave.lineTo(x, y) : wave.moveTo(x, y);
      }
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(on ? QColor(150, 220, 235) : QColor(90, 90, 90), 1.5));
      p.drawPath(wave);
      p.setPen(QPen(QColor(10, 10, 12), 1));
      Knob(p, QPointF(face.center().x(), face.bottom() - 14), 7, QColor(36, 36, 36), -40);
      break;
    }
    case 8: {  // delay: repeats fading away
      p.drawRoundedRect(face, 5, 5);
      p.setBrush(Qt::NoBrush);
      for (int i = 0; i < 4; ++i) {
        QColor c = on ? QColor(240, 240, 240, 230 - 50 * i) : QColor(150, 150, 150, 200 - 40 * i);
        p.setPen(QPen(c, 2.2));
        const qreal x = face.left() + 10 + i * (face.width() - 20) / 4;
        const qreal hh = 22 - 4 * i;
        p.drawLine(QPointF(x, face.top() + 26 - hh / 2), QPointF(x, face.top() + 26 + hh / 2));
      }
      p.setPen(QPen(QColor(10, 10, 12), 1));
      Knob(p, QPointF(face.left() + face.width() / 3, face.bottom() - 14), 6, QColor(36, 36, 36),
           20);
      Knob(p, QPointF(face.left() + 2 * face.width() / 3, face.bottom() - 14), 6,
           QColor(36, 36, 36), -50);
      break;
    }
    case 9: {  // reverb: spring tank lines
      p.drawRoundedRect(face, 5, 5);
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(on ? QColor(235, 225, 240) : QColor(140, 140, 140), 1.2));
      for (int s = 0; s < 2; ++s) {
        QPainterPath coil;
        const qreal y0 = face.top() + 16 + s * 14;
        for (int i = 0; i <= 40; ++i) {
          const qreal x = face.left() + 8 + (face.width() - 16) * i / 40;
          const qreal y = y0 + std::sin(i * 1.2) * 3;
          i ? coil.lineTo(x, y) : coil.moveTo(x, y);
        }
        p.drawPath(coil);
      }
      p.setPen(QPen(QColor(10, 10, 12), 1));
      Knob(p, QPointF(face.center().x(), face.bottom() - 13), 7, QColor(36, 36, 36), 45);
      break;
    }
    default:
      break;
  }
  // The status LED above the body, the short name below it.
  Led(p, QPointF(r.center().x(), r.top() + 5), 3.5, on);
  static const char* kShort[10] = {"",   "FX", "DS/OD", "AMP",   "CAB",
                                   "NS", "EQ", "MOD",   "DELAY", "REVERB"};
  Text(p, QRectF(r.left() - 8, r.bottom() - 14, w + 16, 14), kShort[type], 11, ink, Qt::AlignCenter,
       QFont::Bold, w < 40);
  (void)h;
  p.restore();
}

}  // namespace skin_gen
