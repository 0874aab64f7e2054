// Popups and setting pages: system, control (switch and tempo tabs), EXP and its settings,
// the confirmations, backup/restore, the list side keys and the EXP parameter choices.

#include <QLinearGradient>
#include <QPainterPath>

#include "skin/view_layout.h"
#include "tools/skin_gen/paint_kit.h"

namespace skin_gen {
namespace {

using rq700::layout::kHitRects;
using rq700::layout::kPanels;
using rq700::layout::kSliderBars;
using rq700::layout::Rect;

const char* const kModuleNames[10] = {"",   "FX/COMP", "DS/OD", "AMP",   "CAB",
                                      "NS", "EQ",      "MOD",   "DELAY", "REVERB"};

// A page or popup: brushed frame, dark title band, light enamel body. Returns a painter
// whose origin is the page's top-left corner; `ox`, `oy` is that corner on the canvas.
struct Page {
  QImage img;
  int ox, oy;
  QRectF Local(const Rect& r) const {
    return QRectF(r.left - ox, r.top - oy, r.width(), r.height());
  }
  QPointF Local(int x, int y) const { return QPointF(x - ox, y - oy); }
};

Page MakePage(int ox, int oy, int w, int h, const QString& title, uint32_t seed) {
  Page pg{NewImage(w, h), ox, oy};
  QImage metal = NewImage(w, h, true);
  Brushed(metal, metal.rect(), QColor(56, 58, 63), seed, 7);
  QPainter p(&pg.img);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath outline;
  outline.addRoundedRect(QRectF(0, 0, w, h), 9, 9);
  p.setClipPath(outline);
  p.drawImage(0, 0, metal);
  p.setClipping(false);
  Bevel(p, QRectF(0, 0, w, h), 9, QColor(255, 255, 255, 90), QColor(0, 0, 0, 220));
  // Title band.
  Text(p, QRectF(18, 4, w - 36, 28), title, 15, kEngrave, Qt::AlignLeft | Qt::AlignVCenter,
       QFont::Black);
  p.setPen(Qt::NoPen);
  p.setBrush(kAccent);
  p.drawRoundedRect(QRectF(w - 48, 15, 30, 5), 2, 2);
  // Body.
  p.setBrush(kEnamel);
  p.drawRoundedRect(QRectF(7, 36, w - 14, h - 43), 6, 6);
  Bevel(p, QRectF(7, 36, w - 14, h - 43), 6, QColor(0, 0, 0, 90), QColor(255, 255, 255, 160));
  for (QPointF s : {QPointF(12, 12), QPointF(w - 12, h - 12)}) Screw(p, s, 3.5, s.x());
  return pg;
}

void Label(QPainter& p, const QRectF& r, const QString& s, int px = 13,
           int flags = Qt::AlignRight | Qt::AlignVCenter, QColor c = kInk) {
  Text(p, r, s, px, c, flags, QFont::Bold);
}

// A slider track under a bar the painter fills, with ticks below.
void Track(QPainter& p, const Page& pg, const Rect& bar, int ticks = 10) {
  const QRectF b = pg.Local(bar);
  Well(p, b.adjusted(-3, -3, 3, 3), 4);
  Ticks(p, QRect(b.left(), b.top(), b.width(), b.height()), ticks, kInkSoft);
}

// A two-way choice: ring with its label to the right.
void Choice(QPainter& p, const Page& pg, QPointF ring_centre, const QString& label) {
  const QPointF c = pg.Local(static_cast<int>(ring_centre.x()), static_cast<int>(ring_centre.y()));
  RadioRing(p, c + QPointF(0, 0), 7.5);
  Label(p, QRectF(c.x() + 12, c.y() - 9, 100, 18), label, 12, Qt::AlignLeft | Qt::AlignVCenter);
}

// Centre of the chosen dot when image 68 is drawn at (rect corner + shift).
QPointF DotCentre(const Rect& r, int shift) {
  return QPointF(r.left + shift + 8, r.top + shift + 8);
}

// Hover glow laid over a small page key (close, OK): the key's own label shows through.
QImage KeyGlow() {
  QImage img = NewImage(77, 23);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kAccentDeep, 2));
  p.setBrush(QColor(246, 174, 69, 120));
  p.drawRoundedRect(QRectF(1, 1, 75, 21), 4, 4);
  return img;
}

QImage Dot() {
  QImage img = NewImage(16, 16);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient g(QPointF(6.5, 6.5), 6);
  g.setColorAt(0, kAccent.lighter(130));
  g.setColorAt(1, kAccentDeep);
  p.setPen(QPen(QColor(90, 50, 10), 1));
  p.setBrush(g);
  p.drawEllipse(QPointF(8, 8), 4.5, 4.5);
  return img;
}

// Lit overlay for a chosen grid key: the label under it stays readable.
QImage GridLit() {
  QImage img = NewImage(111, 37);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kAccentDeep, 2));
  p.setBrush(QColor(246, 174, 69, 110));
  p.drawRoundedRect(QRectF(1, 1, 109, 35), 4, 4);
  Led(p, QPointF(11, 18.5), 3.5, true);
  return img;
}

QImage KeyOf(const Rect& r, const QString& label, KeyState state, int px = 13) {
  QImage img = NewImage(r.width(), r.height());
  QPainter p(&img);
  PageKey(p, QRectF(0, 0, r.width(), r.height()), label, state, px);
  return img;
}

QImage DarkKeyOf(int w, int h, const QString& label, KeyState state, int px = 14) {
  QImage img = NewImage(w, h);
  QPainter p(&img);
  Key(p, QRectF(0, 0, w, h), label, state, px);
  return img;
}

// System page.
QImage SystemPage() {
  const Rect& panel = kPanels[0];
  Page pg = MakePage(panel.left, panel.top, panel.width(), panel.height(), "SYSTEM", 0x5EED0101);
  QPainter p(&pg.img);
  p.setRenderHint(QPainter::Antialiasing);
  auto section = [&](int y, const QString& s) {
    Label(p, QRectF(22, y - pg.oy, 200, 18), s, 11, Qt::AlignLeft | Qt::AlignVCenter, kInkSoft);
    p.setPen(QPen(QColor(200, 200, 202), 1));
    p.drawLine(QPointF(22, y - pg.oy + 20.5),
               QPointF(pg.img.deviceIndependentSize().width() - 22, y - pg.oy + 20.5));
  };
  section(208, "OUTPUT");
  auto slider_row = [&](int s, const QString& label) {
    const Rect& b = kSliderBars[s];
    Label(p, QRectF(20, b.top - pg.oy - 6, b.left - pg.ox - 30, 24), label);
    Track(p, pg, b, s == 1 ? 21 : 10);
  };
  slider_row(1, "MASTER LEVEL");
  section(272, "INPUT AND OUTPUT");
  Label(p, QRectF(20, 300 - pg.oy, 180, 20), "INPUT");
  Choice(p, pg, DotCentre(kHitRects[36], 0), "INSTRUMENT");
  Choice(p, pg, DotCentre(kHitRects[37], 0), "LINE");
  Label(p, QRectF(20, 342 - pg.oy, 180, 20), "OUTPUT");
  Choice(p, pg, DotCentre(kHitRects[38], 0), "AMP");
  Choice(p, pg, DotCentre(kHitRects[39], 0), "PHONES");
  slider_row(2, "USB RECORD");
  slider_row(3, "USB MONITOR");
  section(468, "SIGNAL");
  Label(p, QRectF(20, 497 - pg.oy, 180, 20), "CAB SIM");
  Choice(p, pg, DotCentre(kHitRects[71], 0), "ON");
  Choice(p, pg, DotCentre(kHitRects[72], 0), "OFF");
  Label(p, QRectF(20, 538 - pg.oy, 180, 20), "DRY OUT");
  Choice(p, pg, DotCentre(kHitRects[73], 0), "ON");
  Choice(p, pg, DotCentre(kHitRects[74], 0), "OFF");
  section(574, "PEDALS");
  Label(p, QRectF(20, 602 - pg.oy, 180, 20), "AUTO SAVE");
  Choice(p, pg, DotCentre(kHitRects[92], 0), "ON");
  Choice(p, pg, DotCentre(kHitRects[93], 0), "OFF");
  Label(p, QRectF(20, 639 - pg.oy, 180, 20), "EXP POLARITY");
  Choice(p, pg, DotCentre(kHitRects[94], 0), "NORMAL");
  Choice(p, pg, DotCentre(kHitRects[95], 0), "REVERSE");
  // Keys: calibration, close, factory reset (the reset key is as wide as the other).
  const Rect& r20 = kHitRects[20];
  PageKey(p, pg.Local(r20), "CALIBRATE", KeyState::kNormal, 12);
  PageKey(p,
          QRectF(kHitRects[21].left - pg.ox, kHitRects[21].top - pg.oy, r20.width(), r20.height()),
          "FACTORY RESET", KeyState::kNormal, 12);
  PageKey(p, pg.Local(kHitRects[70]), "CLOSE", KeyState::kNormal, 12);
  return pg.img;
}

QImage ConfirmPage() {
  const Rect& panel = kPanels[18];
  Page pg =
      MakePage(panel.left, panel.top, panel.width(), panel.height(), "FACTORY RESET", 0x5EED0102);
  QPainter p(&pg.img);
  p.setRenderHint(QPainter::Antialiasing);
  Label(p, QRectF(24, 48, panel.width() - 48, 52),
        "Restore every preset and setting to factory defaults?\n"
        "The editor closes while the unit restarts.",
        12, Qt::AlignCenter | Qt::TextWordWrap);
  Choice(p, pg, DotCentre(kHitRects[40], 0), "YES");
  Choice(p, pg, DotCentre(kHitRects[41], 0), "NO");
  PageKey(p, pg.Local(kHitRects[84]), "OK", KeyState::kNormal, 12);
  return pg.img;
}

QImage CalibratePage(int pedal) {
  const Rect& panel = kPanels[19];
  Page pg = MakePage(panel.left, panel.top, panel.width(), panel.height(), "PEDAL CALIBRATION",
                     0x5EED0103);
  QPainter p(&pg.img);
  p.setRenderHint(QPainter::Antialiasing);
  Label(p, QRectF(24, 44, panel.width() - 48, 24), "Choose the pedal to calibrate:", 13,
        Qt::AlignCenter);
  Choice(p, pg, DotCentre(kHitRects[85], 5), "EXP1");
  Choice(p, pg, DotCentre(kHitRects[86], 5), "EXP2");
  const QString how = QString(
                          "Press OK, then rock EXP%1 slowly from heel to toe\n"
                          "and back twice. The unit stores its range itself.")
                          .arg(pedal + 1);
  Label(p, QRectF(24, 360 - pg.oy, panel.width() - 48, 60), how, 12,
        Qt::AlignCenter | Qt::TextWordWrap, kInkSoft);
  // A small pedal picture with the chosen pedal's number.
  const QRectF ped(panel.width() / 2.0 - 30, 76, 60, 26);
  p.setPen(QPen(QColor(40, 40, 44), 1));
  p.setBrush(QColor(70, 72, 77));
  p.drawRoundedRect(ped, 5, 5);
  Text(p, ped, QString("EXP%1").arg(pedal + 1), 12, kAccent);
  PageKey(p, pg.Local(kHitRects[87]), "OK", KeyState::kNormal, 12);
  return pg.img;
}

Page ControlFrame(bool tempo) {
  const Rect& panel = kPanels[1];
  Page pg = MakePage(panel.left, panel.top, panel.width(), panel.height(), "CONTROL",
                     tempo ? 0x5EED0105 : 0x5EED0104);
  QPainter p(&pg.img);
  p.setRenderHint(QPainter::Antialiasing);
  Choice(p, pg, DotCentre(kHitRects[42], 0), "SWITCH");
  Choice(p, pg, DotCentre(kHitRects[43], 0), "TEMPO");
  PageKey(p, pg.Local(kHitRects[31]), "CLOSE", KeyState::kNormal, 12);
  return pg;
}

QImage ControlSwitchPage() {
  Page pg = ControlFrame(false);
  QPainter p(&pg.img);
  Label(p, QRectF(61, 272 - pg.oy, 400, 18), "MODULES ON THE FOOTSWITCH", 11,
        Qt::AlignLeft | Qt::AlignVCenter, kInkSoft);
  for (int k = 0; k < 9; ++k)
    PageKey(p, pg.Local(kHitRects[22 + k]), kModuleNames[k + 1], KeyState::kNormal);
  return pg.img;
}

QImage ControlTempoPage() {
  Page pg = ControlFrame(true);
  QPainter p(&pg.img);
  p.setRenderHint(QPainter::Antialiasing);
  // The tempo tab's own dot.
  const QPointF c = pg.Local(0, 0) + DotCentre(kHitRects[43], 0);
  p.drawImage(QPointF(c.x() - 8, c.y() - 8), Dot());
  Well(p, QRectF(370 - pg.ox - 4, 300 - pg.oy, 98, 154), 6);
  Key(p, pg.Local(kHitRects[82]), QString::fromUtf8("\u25B2"), KeyState::kNormal, 14);
  Key(p, pg.Local(kHitRects[83]), QString::fromUtf8("\u25BC"), KeyState::kNormal, 14);
  Label(p, QRectF(370 - pg.ox, 401 - pg.oy, 90, 16), "BPM", 11, Qt::AlignCenter, kEngrave);
  Key(p, pg.Local(kHitRects[81]), "TAP", KeyState::kNormal, 26);
  return pg.img;
}

QImage ExpPage() {
  const Rect& panel = kPanels[2];
  Page pg = MakePage(panel.left, panel.top, panel.width(), panel.height(), "EXPRESSION PEDALS",
                     0x5EED0106);
  QPainter p(&pg.img);
  p.setRenderHint(QPainter::Antialiasing);
  PageKey(p, pg.Local(kHitRects[34]), "EXP1", KeyState::kNormal);
  PageKey(p, pg.Local(kHitRects[35]), "EXP2", KeyState::kNormal);
  PageKey(p, pg.Local(kHitRects[90]), "SETTINGS", KeyState::kNormal);
  Label(p, QRectF(61, 283 - pg.oy, 400, 18), "TARGET MODULE", 11, Qt::AlignLeft | Qt::AlignVCenter,
        kInkSoft);
  for (int m = 1; m <= 9; ++m)
    PageKey(p, pg.Local(kHitRects[46 + m]), kModuleNames[m], KeyState::kNormal);
  Label(p, QRectF(61, 453 - pg.oy, 400, 18), "TARGET PARAMETER", 11,
        Qt::AlignLeft | Qt::AlignVCenter, kInkSoft);
  p.setPen(QPen(QColor(200, 200, 202), 1));
  p.drawLine(QPointF(61, 452.5 - pg.oy), QPointF(panel.width() - 61, 452.5 - pg.oy));
  // Empty bays where a module has fewer parameters than there are choices.
  for (int i = 0; i < 14; ++i) {
    const QRectF r = pg.Local(rq700::layout::ExpChoiceRect(i));
    p.setPen(QPen(QColor(196, 196, 198), 1, Qt::DashLine));
    p.setBrush(QColor(228, 228, 229));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
  }
  PageKey(p, pg.Local(kHitRects[33]), "CLOSE", KeyState::kNormal, 12);
  return pg.img;
}

QImage ExpSettingsPage() {
  const Rect& panel = kPanels[21];
  Page pg =
      MakePage(panel.left, panel.top, panel.width(), panel.height(), "PEDAL RANGE", 0x5EED0107);
  QPainter p(&pg.img);
  p.setRenderHint(QPainter::Antialiasing);
  Label(p, QRectF(20, 352 - pg.oy, 430 - pg.ox - 20, 24), "RANGE LIMIT");
  Choice(p, pg, DotCentre(kHitRects[44], 4), "ON");
  Choice(p, pg, DotCentre(kHitRects[45], 4), "OFF");
  Label(p, QRectF(20, 392 - pg.oy, panel.width() - 40, 18),
        "Limits how far the pedal moves its target, as a share of its range.", 11, Qt::AlignCenter,
        kInkSoft);
  for (int s : {14, 15}) {
    const Rect& b = kSliderBars[s];
    Label(p, QRectF(20, b.top - pg.oy - 6, b.left - pg.ox - 30, 24), s == 14 ? "HEEL" : "TOE");
    Track(p, pg, b);
  }
  PageKey(p, pg.Local(kHitRects[91]), "OK", KeyState::kNormal, 12);
  return pg.img;
}

QImage BackupPopup() {
  const Rect& panel = kPanels[22];
  Page pg = MakePage(panel.left, panel.top, panel.width(), panel.height(), "BACKUP / RESTORE",
                     0x5EED0108);
  QPainter p(&pg.img);
  p.setRenderHint(QPainter::Antialiasing);
  Label(p, QRectF(20, 44, panel.width() - 40, 18), "All 200 presets and the settings, in one file.",
        11, Qt::AlignCenter, kInkSoft);
  for (int r : {96, 97}) Well(p, pg.Local(kHitRects[r]).adjusted(-3, -3, 3, 3), 6);
  Label(p, QRectF(20, 306 - pg.oy, panel.width() - 40, 16),
        "Keep the unit connected while a transfer runs.", 10, Qt::AlignCenter, kInkSoft);
  return pg.img;
}

// Keys beside the user slots of the amplifier and cabinet lists.
QImage SlotKey(const QString& glyph, bool lit) {
  QImage img = NewImage(17, 17);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, 17);
  g.setColorAt(0, lit ? kAccent.lighter(110) : QColor(92, 95, 100));
  g.setColorAt(1, lit ? kAccentDeep : QColor(50, 52, 56));
  p.setBrush(g);
  p.setPen(QPen(QColor(10, 10, 12), 1));
  p.drawRoundedRect(QRectF(0.5, 0.5, 16, 16), 3, 3);
  Text(p, QRectF(0, 0, 17, 17), glyph, 12, lit ? kInk : kEngrave, Qt::AlignCenter, QFont::Black);
  return img;
}

}  // namespace

void DrawPages(Sink& out) {
  out.Put(49, SystemPage());
  out.Put(50, KeyOf(kHitRects[20], "CALIBRATE", KeyState::kHover, 12));
  out.Put(51, KeyOf(kHitRects[20], "FACTORY RESET", KeyState::kHover, 12));
  out.Put(52, GridLit());
  out.Put(53, ConfirmPage());
  out.Put(54, ControlSwitchPage());
  for (int k = 0; k < 9; ++k)
    out.Put(55 + k, KeyOf(kHitRects[22 + k], kModuleNames[k + 1], KeyState::kHover));
  out.Put(64, KeyGlow());
  out.Put(65, ExpPage());
  out.Put(66, KeyOf(kHitRects[34], "EXP1", KeyState::kActive));
  out.Put(67, KeyOf(kHitRects[35], "EXP2", KeyState::kActive));
  out.Put(68, Dot());
  for (int m = 1; m <= 9; ++m)
    out.Put(68 + m, KeyOf(kHitRects[46 + m], kModuleNames[m], KeyState::kHover));
  // Load and delete keys of the user slots, plain and lit while their job is marked.
  out.Put(232, SlotKey(QString::fromUtf8("\u2193"), false));
  out.Put(233, SlotKey(QString::fromUtf8("\u2193"), true));
  out.Put(234, SlotKey(QString::fromUtf8("\u00D7"), true));
  out.Put(235, SlotKey(QString::fromUtf8("\u00D7"), false));
  out.Put(236, ControlTempoPage());
  out.Put(237,
          DarkKeyOf(kHitRects[81].width(), kHitRects[81].height(), "TAP", KeyState::kPressed, 26));
  out.Put(238, DarkKeyOf(kHitRects[82].width(), kHitRects[82].height(), QString::fromUtf8("\u25B2"),
                         KeyState::kHover));
  out.Put(239, DarkKeyOf(kHitRects[83].width(), kHitRects[83].height(), QString::fromUtf8("\u25BC"),
                         KeyState::kHover));
  out.Put(245, KeyOf(kHitRects[34], "EXP1", KeyState::kHover));
  out.Put(246, KeyOf(kHitRects[35], "EXP2", KeyState::kHover));
  out.Put(247, KeyOf(kHitRects[90], "SETTINGS", KeyState::kHover));
  out.Put(248, CalibratePage(1));
  out.Put(249, CalibratePage(0));
  out.Put(251, KeyOf(kHitRects[90], "SETTINGS", KeyState::kActive));
  out.Put(252, ExpSettingsPage());
  out.Put(254, BackupPopup());
  out.Put(255,
          DarkKeyOf(kHitRects[96].width(), kHitRects[96].height(), "RESTORE", KeyState::kNormal));
  out.Put(256,
          DarkKeyOf(kHitRects[96].width(), kHitRects[96].height(), "RESTORE", KeyState::kHover));
  out.Put(257,
          DarkKeyOf(kHitRects[97].width(), kHitRects[97].height(), "BACKUP", KeyState::kNormal));
  out.Put(258,
          DarkKeyOf(kHitRects[97].width(), kHitRects[97].height(), "BACKUP", KeyState::kHover));
}

void DrawExpChoices(Sink& out) {
  // Labels of each module's EXP targets, in the device's parameter order.
  static const std::vector<std::vector<const char*>> kLabels = {
      {},
      {"*POSITION*", "Q", "RATE", "ATTACK", "RANGE", "SENS", "THRE", "PEAK", "RATIO", "LEVEL"},
      {"VOLUME", "TONE", "GAIN"},
      {"GAIN", "BASS", "MID", "TREBLE", "PRES", "MST"},
      {"CENTER", "DISTANCE"},
      {"THRES", "SENS", "ATTACK", "RELEASE"},
      {"100HZ", "80HZ", "250HZ", "240HZ", "200HZ", "630HZ", "750HZ", "400HZ", "1.6KHZ", "2.2KHZ",
       "800HZ", "4KHZ", "6.6KHZ", "3.2KHZ"},
      {"RATE", "PITCH", "RISE", "SAMPLE", "MIX", "DEPTH", "LEVEL", "FEEDBACK", "TONE", "Q", "RANGE",
       "BIT"},
      {"LEVEL", "F.BACK", "TIME", "TIME A", "THRE", "TIME B"},
      {"PRE DELAY", "LEVEL", "DECAY", "TONE"},
  };
  for (int m = 1; m <= 9; ++m) {
    const auto& c = rq700::layout::kExpChoices[m];
    for (int i = 0; i < c.count; ++i) {
      const Rect& r = rq700::layout::ExpChoiceRect(i);
      out.Put(c.base + i, KeyOf(r, kLabels[m][i], KeyState::kNormal));
      out.Put(c.chosen + i, KeyOf(r, kLabels[m][i], KeyState::kActive));
    }
  }
}

}  // namespace skin_gen
