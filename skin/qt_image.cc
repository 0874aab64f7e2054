#include "skin/qt_image.h"

#include <QPainter>
#include <cstdint>

namespace rq700 {

bool QtImage::Load(const QString& path) {
  QImage decoded;
  if (!decoded.load(path)) {
    image_ = QImage();
    has_alpha_ = false;
    return false;
  }
  has_alpha_ = decoded.hasAlphaChannel();
  image_ = decoded.convertToFormat(has_alpha_ ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  return !image_.isNull();
}

void QtImage::Premultiply() {
  if (!has_alpha_ || image_.format() != QImage::Format_ARGB32) return;
  for (int y = 0; y < image_.height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image_.scanLine(y));
    for (int x = 0; x < image_.width(); ++x) {
      const uint32_t p = row[x];
      const uint32_t a = p >> 24;
      const uint32_t r = ((p >> 16) & 0xff) * a / 255;
      const uint32_t g = ((p >> 8) & 0xff) * a / 255;
      const uint32_t b = (p & 0xff) * a / 255;
      row[x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
  }
  // Same bytes, now read as premultiplied: no conversion (and no rounding) by Qt.
  image_.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
}

bool QtImage::Draw(QPainter& painter, int x, int y) const {
  if (image_.isNull()) return false;
  const auto previous = painter.compositionMode();
  painter.setCompositionMode(has_alpha_ ? QPainter::CompositionMode_SourceOver
                                        : QPainter::CompositionMode_Source);
  painter.drawImage(QPoint(x, y), image_);
  painter.setCompositionMode(previous);
  return true;
}

QtBackBuffer QtBackBuffer::Create(int width, int height) {
  QtBackBuffer buffer;
  buffer.pixels = QImage(width, height, QImage::Format_RGB32);
  buffer.pixels.fill(0xff000000u);
  return buffer;
}

}  // namespace rq700
