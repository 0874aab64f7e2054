#include "skin/qt_text.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>

namespace rq700 {
namespace {

constexpr int kAlignRight = 2;
constexpr int kAlignCenter = 6;
constexpr int kAlignBottom = 8;
constexpr int kAlignBaseline = 24;

QString ResolveFace(std::string_view face) {
  const QString name = QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size()));
  if (name.compare("Arial", Qt::CaseInsensitive) == 0 &&
      !QFontDatabase::families().contains(name, Qt::CaseInsensitive) &&
      QFontDatabase::families().contains("Liberation Sans")) {
    return "Liberation Sans";
  }
  return name;
}

double CellHeight(const QFont& font) {
  const QFontMetricsF metrics(font);
  return metrics.ascent() + metrics.descent();
}

// The font records' weights pick the bold face only above 550 (medium weights up to there
// draw with the regular face); Qt would already pick bold at 550.
int FaceWeight(int weight) {
  constexpr int kLastRegularWeight = 550;
  if (weight > QFont::Normal && weight <= kLastRegularWeight) return QFont::Normal;
  return std::clamp(weight, 1, 1000);
}

QFont BuildFont(const catalog::TextStyle& record, int weight, double scale_x, double scale_y) {
  QFont font(ResolveFace(record.face));
  font.setWeight(static_cast<QFont::Weight>(FaceWeight(weight)));
  font.setHintingPreference(QFont::PreferNoHinting);

  const double height = record.height * scale_y;
  if (record.height < 0) {
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(-height))));
  } else if (record.height > 0) {
    // The face's cell at a large reference size gives the first guess; the metrics of
    // the whole pixel sizes around it then pick the nearest.
    QFont reference = font;
    reference.setPixelSize(1000);
    const QFontMetricsF ref_metrics(reference);
    const double cell = ref_metrics.ascent() + ref_metrics.descent();
    int guess = std::max(1, static_cast<int>(std::lround(height * 1000.0 / cell)));
    int best = guess;
    double best_error = 1e9;
    for (int size = std::max(1, guess - 2); size <= guess + 2; ++size) {
      font.setPixelSize(size);
      const double error = std::abs(CellHeight(font) - height);
      if (error < best_error) {
        best_error = error;
        best = size;
      }
    }
    font.setPixelSize(best);
  }

  if (record.width > 0) {
    const double natural = QFontMetricsF(font).averageCharWidth();
    if (natural > 0) {
      const int stretch = static_cast<int>(std::lround(100.0 * record.width * scale_x / natural));
      font.setStretch(std::clamp(stretch, 1, 4000));
    }
  }
  return font;
}

}  // namespace

QFont MakeQFont(const catalog::TextStyle& record, int weight) {
  return MakeQFont(record, weight, 1.0, 1.0);
}

QFont MakeQFont(const catalog::TextStyle& record, int weight, double scale_x, double scale_y) {
  using Key = std::tuple<int, int, int, std::string, double, double>;
  static std::mutex mutex;
  // Kept past the application's end: fonts must not be released after Qt is gone.
  static auto* cache = new std::map<Key, QFont>;
  const Key key{record.height, record.width, weight, std::string(record.face), scale_x, scale_y};
  std::lock_guard lock(mutex);
  auto it = cache->find(key);
  if (it == cache->end()) {
    // Each window size makes its own fonts; a long resize must not pile them up.
    constexpr size_t kMostFonts = 512;
    if (cache->size() >= kMostFonts) cache->clear();
    it = cache->emplace(key, BuildFont(record, weight, scale_x, scale_y)).first;
  }
  return it->second;
}

void DrawTextAt(QPainter& painter, const catalog::TextStyle& record, int weight, int alignment,
                int x, int y, const QString& text, double scale_x, double scale_y) {
  const QFont font = MakeQFont(record, weight, scale_x, scale_y);
  const QFontMetrics metrics(font);
  x = static_cast<int>(std::lround(x * scale_x));
  y = static_cast<int>(std::lround(y * scale_y));
  int left = x;
  switch (alignment & kAlignCenter) {
    case kAlignCenter:
      left = x - metrics.horizontalAdvance(text) / 2;
      break;
    case kAlignRight:
      left = x - metrics.horizontalAdvance(text);
      break;
    default:
      break;
  }
  int baseline = y + metrics.ascent();
  switch (alignment & kAlignBaseline) {
    case kAlignBaseline:
      baseline = y;
      break;
    case kAlignBottom:
      baseline = y - metrics.descent();
      break;
    default:
      break;
  }
  painter.save();
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setFont(font);
  painter.setPen(QColor(record.colour.r, record.colour.g, record.colour.b));
  painter.drawText(QPoint(left, baseline), text);
  painter.restore();
}

}  // namespace rq700
