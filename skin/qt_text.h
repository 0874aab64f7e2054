#ifndef RQ700_SKIN_QT_TEXT_H_
#define RQ700_SKIN_QT_TEXT_H_

#include <QFont>
#include <QString>

#include "skin/font_record.h"

class QPainter;

namespace rq700 {

// The QFont for a font record drawn with `weight`: a pixel size whose ascent + descent
// is the record's cell height, stretched so that the average character width is the
// record's width. "Arial" is served by its metric-compatible stand-in where the system
// lacks it. Fonts are made once per distinct record and kept.
QFont MakeQFont(const FontRecord& record, int weight);

// Draws `text` with the record's colour in MakeQFont(record, weight), anchored at (x, y)
// by `alignment` (left / right / centre, top / bottom / baseline), background untouched.
void DrawTextAt(QPainter& painter, const FontRecord& record, int weight, int alignment, int x,
                int y, const QString& text);

}  // namespace rq700

#endif  // RQ700_SKIN_QT_TEXT_H_
