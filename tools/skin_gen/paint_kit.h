#ifndef RQ700_TOOLS_SKIN_GEN_PAINT_KIT_H_
#define RQ700_TOOLS_SKIN_GEN_PAINT_KIT_H_

// Drawing primitives of the skin: one palette and a handful of hardware-like surfaces
// (brushed metal, light enamel panels, LCD glass, bevelled keys, screws) from which every
// image is composed. Everything is procedural and seeded, so a run always gives the same
// pixels.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <map>

namespace skin_gen {

// Palette.
inline const QColor kMetal(52, 54, 58);       // main brushed panels
inline const QColor kMetalDark(30, 31, 34);   // recesses, wells
inline const QColor kMetalLight(84, 87, 92);  // raised keys
inline const QColor kEnamel(238, 238, 238);   // light panels that carry black text
inline const QColor kEnamelShade(214, 214, 214);
inline const QColor kInk(28, 28, 30);  // text on light panels
inline const QColor kInkSoft(96, 98, 102);
inline const QColor kEngrave(206, 208, 212);  // text on dark panels
inline const QColor kAccent(246, 174, 69);    // the one highlight colour
inline const QColor kAccentDeep(214, 128, 30);
inline const QColor kLcd(232, 228, 212);  // display glass that carries black text
inline const QColor kLed(255, 150, 40);

// Every picture is drawn in base-canvas units; the density (1 or 2) says how many pixels
// each unit gets. NewImage makes a picture of w x h units at the density in force, so the
// same drawing code gives the 1x and the 2x set.
void SetDensity(int density);
int Density();
QImage NewImage(int w, int h, bool opaque = false);

// Deterministic noise.
class Rng {
 public:
  explicit Rng(uint32_t seed) : s_(seed ? seed : 1) {}
  uint32_t Next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return s_;
  }
  int Range(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

 private:
  uint32_t s_;
};

QFont Font(int pixel_size, int weight = QFont::Bold, bool condensed = false);

// Surfaces. Brushed works on the image's own pixels: `r` is in pixels, not units, so the
// grain stays one pixel fine at every density.
void Brushed(QImage& img, const QRect& r, QColor base, uint32_t seed, int strength = 9);
void Enamel(QPainter& p, const QRectF& r, qreal radius = 6, QColor base = kEnamel);
void Lcd(QPainter& p, const QRectF& r, qreal radius = 5);
void Well(QPainter& p, const QRectF& r, qreal radius = 8);
void Bevel(QPainter& p, const QRectF& r, qreal radius, QColor top_light, QColor bottom_dark);
void Screw(QPainter& p, QPointF c, qreal radius = 5, qreal angle = 30);
void Led(QPainter& p, QPointF c, qreal radius, bool lit);

// Keys in their states.
enum class KeyState { kNormal, kHover, kPressed, kActive };
void Key(QPainter& p, const QRectF& r, const QString& label, KeyState state, int font_px = 14);
// A light key for light pages: black text on enamel, orange when chosen.
void PageKey(QPainter& p, const QRectF& r, const QString& label, KeyState state, int font_px = 13);
// Radio ring centred at c (the chosen dot is a separate image).
void RadioRing(QPainter& p, QPointF c, qreal radius = 7);

void Text(QPainter& p, const QRectF& r, const QString& s, int px, QColor colour,
          int flags = Qt::AlignCenter, int weight = QFont::Bold, bool condensed = false);

// Small module pictograms, drawn into r.
void ModuleGlyph(QPainter& p, int type, const QRectF& r, bool on);

// Slider tick marks under a bar (in image coordinates).
void Ticks(QPainter& p, const QRect& bar, int count, QColor colour);

// Output collection.
class Sink {
 public:
  void Put(int n, QImage img) { images_[n] = std::move(img); }
  const std::map<int, QImage>& images() const { return images_; }

 private:
  std::map<int, QImage> images_;
};

// Image producers, by area.
void DrawMainView(Sink& out);
void DrawPages(Sink& out);
void DrawModules(Sink& out);
void DrawExpChoices(Sink& out);
QImage UpdaterImage(int n);
QImage ProgramIcon(bool editor);

}  // namespace skin_gen

#endif  // RQ700_TOOLS_SKIN_GEN_PAINT_KIT_H_
