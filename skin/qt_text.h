#ifndef RQ700_SKIN_QT_TEXT_H_
#define RQ700_SKIN_QT_TEXT_H_

#include <QFont>
#include <QString>

#include "catalog/text_styles.h"

class QPainter;

namespace rq700 {

// The QFont for a text style drawn with `weight`. The style's height is the character
// cell height (ascent + descent) in pixels, or the character height when negative; its
// width the average character width (0: the face's own proportions); weights are on the
// 100..1000 scale, the bold face from above 550 on. "Arial" is served by its metric-compatible
// stand-in where the system lacks it. Fonts are made once per distinct style and kept.
QFont MakeQFont(const catalog::TextStyle& style, int weight);
// The same font for a picture drawn at scale_x x scale_y device pixels per base pixel:
// the style's cell height times scale_y, its average width times scale_x, so that text
// is drawn at its real size there rather than stretched.
QFont MakeQFont(const catalog::TextStyle& style, int weight, double scale_x, double scale_y);

// Draws `text` with the style's colour in MakeQFont(style, weight), anchored at (x, y) by
// `alignment` (horizontal: left 0, right 2, centre 6; vertical: top 0, bottom 8,
// baseline 24), background untouched. With a scale, (x, y) is in base pixels, placed at
// its nearest device pixel, and the font is the scaled one.
void DrawTextAt(QPainter& painter, const catalog::TextStyle& style, int weight, int alignment,
                int x, int y, const QString& text, double scale_x = 1.0, double scale_y = 1.0);

}  // namespace rq700

#endif  // RQ700_SKIN_QT_TEXT_H_
