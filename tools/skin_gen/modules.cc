// Module panel illustrations: one printed card per group of models, carrying the slider
// labels on the rows where the painter draws that model's sliders.

#include <QLinearGradient>
#include <algorithm>
#include <string>
#include <vector>

#include "catalog/panel_labels.h"
#include "catalog/panel_layout.h"
#include "skin/view_layout.h"
#include "tools/skin_gen/paint_kit.h"

namespace skin_gen {
namespace {

namespace L = rq700::layout;

struct Card {
  int type, model;  // a model of the group: its panel layout decides the rows and labels
  const char* caption;
};

// The slider bars and the list-field rectangles of a model's panel with their labels, in
// the layout's order.
struct Places {
  std::vector<L::Rect> bars, fields;
  std::vector<std::string> bar_labels, field_labels;
};
Places PlacesOf(int type, int model) {
  Places places;
  const rq700::catalog::PanelLayout layout = rq700::catalog::GetPanelLayout(type, model);
  for (int i = 0; i < layout.count; ++i) {
    const rq700::catalog::PanelControl& control = layout.controls[i];
    const std::string label(rq700::catalog::ControlLabel(type, model, i));
    if (control.slider != rq700::catalog::kNoPlace) {
      places.bars.push_back(L::kSliderBars[control.slider]);
      places.bar_labels.push_back(label);
    }
    if (control.field_rect != rq700::catalog::kNoPlace) {
      places.fields.push_back(L::kHitRects[control.field_rect]);
      places.field_labels.push_back(label);
    }
  }
  return places;
}

// Left edge of the label column in front of a control that starts at `left`.
int LabelLeft(int x0, int left) {
  if (left >= 551) return std::max(x0 + 6, 452);  // right column: after the left value boxes
  if (left >= 440 && x0 < 300) return left - 110;
  return x0 + 6;
}

void RowLabel(QPainter& p, int x0, int y0, int left, int top, int bottom, const char* label) {
  const int l = LabelLeft(x0, left);
  const QRectF r(l - x0, top - y0 - 8, left - 10 - l, bottom - top + 16);
  const bool narrow = QFontMetrics(Font(13)).horizontalAdvance(label) > r.width();
  Text(p, r, label, 13, kInk, Qt::AlignRight | Qt::AlignVCenter, QFont::Bold, narrow);
}

QImage DrawCard(const L::Illustration& at, const Card& c) {
  const Places places = PlacesOf(c.type, c.model);
  int right = 0, bottom = 0;
  for (const L::Rect& b : places.bars) {
    right = std::max(right, b.right + 70 + 10);
    bottom = std::max(bottom, b.top + 34);
  }
  for (const L::Rect& r : places.fields) {
    right = std::max(right, r.right + 10);
    bottom = std::max(bottom, r.bottom + 16);
  }
  const int w = right - at.x, h = bottom - at.y;
  QImage img = NewImage(w, h);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // The printed card: the panel's own enamel with a fine keyline.
  p.setPen(QPen(QColor(206, 206, 208), 1));
  p.setBrush(kEnamel);
  p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 6, 6);
  for (size_t i = 0; i < places.bars.size(); ++i) {
    const L::Rect& b = places.bars[i];
    const QRectF bar(b.left - at.x, b.top - at.y, b.width(), b.height());
    Well(p, bar.adjusted(-3, -3, 3, 3), 4);
    Ticks(p, QRect(bar.left(), bar.top(), bar.width(), bar.height()), 10, kInkSoft);
    RowLabel(p, at.x, at.y, b.left, b.top, b.bottom, places.bar_labels[i].c_str());
  }
  for (size_t i = 0; i < places.fields.size(); ++i) {
    const L::Rect& r = places.fields[i];
    RowLabel(p, at.x, at.y, r.left, r.top + 4, r.bottom - 4, places.field_labels[i].c_str());
  }
  // Caption in the lower left corner, small, like a printed model family name.
  Text(p, QRectF(8, h - 14, w - 16, 12), c.caption, 9, kInkSoft, Qt::AlignLeft | Qt::AlignVCenter,
       QFont::Bold);
  return img;
}

QImage CustomEqCard(const L::Illustration& at) {
  const L::Rect& last = L::kSliderBars[13];
  const int w = last.right + 80 - at.x, h = last.top + 34 - at.y;
  QImage img = NewImage(w, h);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(206, 206, 208), 1));
  p.setBrush(kEnamel);
  p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 6, 6);
  static const char* kBands[3] = {"LOW", "MID", "HIGH"};
  for (int i = 0; i < 3; ++i) {
    const L::Rect& b = L::kSliderBars[11 + i];
    const QRectF bar(b.left - at.x, b.top - at.y, b.width(), b.height());
    Well(p, bar.adjusted(-3, -3, 3, 3), 4);
    Ticks(p, QRect(bar.left(), bar.top(), bar.width(), bar.height()), 10, kInkSoft);
    const qreal cy = bar.center().y();
    Text(p, QRectF(4, cy - 15, bar.left() - 12, 16), kBands[i], 13, kInk, Qt::AlignCenter,
         QFont::Bold);
    Text(p, QRectF(4, cy + 1, bar.left() - 12, 12), QString::fromUtf8("\u25C4 GAIN   FREQ \u25BA"),
         9, kInkSoft, Qt::AlignCenter, QFont::Bold);
  }
  Text(p, QRectF(8, h - 14, w - 16, 12), "PARAMETRIC EQ  60 - 18000 HZ", 9, kInkSoft,
       Qt::AlignLeft | Qt::AlignVCenter, QFont::Bold);
  return img;
}

}  // namespace

void DrawModules(Sink& out) {
  const std::vector<Card> cards = {
      {1, 1, "WAH"},
      {1, 3, "AUTO WAH / TALK WAH"},
      {1, 6, "TOUCH WAH"},
      {1, 7, "COMPRESSOR"},
      {2, 1, "DRIVE"},
      {3, 1, "PREAMP"},
      {4, 1, "CABINET"},
      {5, 1, "NOISE KILLER"},
      {5, 2, "INTEL REDUCER"},
      {5, 3, "NOISE GATE"},
      {6, 1, "GRAPHIC EQ  +/-12 DB"},
      {6, 2, "GRAPHIC EQ  +/-12 DB"},
      {6, 3, "GRAPHIC EQ  +/-12 DB"},
      {7, 1, "PHASER"},
      {7, 4, "FLANGER"},
      {7, 6, "TREMOLO / ROTARY"},
      {7, 8, "VIBRATO"},
      {7, 9, "PITCH"},
      {7, 12, "CHORUS"},
      {7, 15, "Q-FILTER"},
      {7, 16, "FILTER"},
      {7, 18, "SLOW GEAR"},
      {7, 19, "LOFI"},
      {8, 1, "DELAY"},
      {8, 8, "DYNAMIC DELAY"},
      {8, 9, "TWO-HEAD DELAY"},
      {9, 1, "REVERB"},
  };
  for (const Card& c : cards) {
    const L::Illustration at = L::IllustrationFor(c.type, c.model);
    out.Put(at.image, DrawCard(at, c));
  }
  out.Put(216, CustomEqCard(L::IllustrationFor(6, 4)));
}

}  // namespace skin_gen
