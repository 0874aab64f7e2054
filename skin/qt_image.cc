#include "skin/qt_image.h"

#include <QImageReader>
#include <QPainter>
#include <cmath>
#include <cstdint>

#include "skin/image_paths.h"

namespace rq700 {
namespace {

void PremultiplyPixels(QImage& image) {
  if (image.format() != QImage::Format_ARGB32) return;
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const uint32_t p = row[x];
      const uint32_t a = p >> 24;
      const uint32_t r = ((p >> 16) & 0xff) * a / 255;
      const uint32_t g = ((p >> 8) & 0xff) * a / 255;
      const uint32_t b = (p & 0xff) * a / 255;
      row[x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
  }
  // Same bytes, now read as premultiplied: no conversion (and no rounding) by Qt.
  image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
}

int Scaled(int v, double scale) { return static_cast<int>(std::lround(v * scale)); }

}  // namespace

bool QtImage::Load(const QString& path) {
  scaled_ = QImage();
  double_ = QImage();
  double_loaded_ = false;
  double_path_.clear();
  premultiplied_ = false;
  QImage decoded;
  if (!decoded.load(path)) {
    image_ = QImage();
    has_alpha_ = false;
    return false;
  }
  has_alpha_ = decoded.hasAlphaChannel();
  image_ = decoded.convertToFormat(has_alpha_ ? QImage::Format_ARGB32 : QImage::Format_RGB32);

  // Only the header is read now.
  const QString dense = QString::fromStdString(AtDensity(path.toStdString(), 2));
  if (QImageReader(dense).size() == 2 * image_.size()) double_path_ = dense;
  return !image_.isNull();
}

void QtImage::Premultiply() {
  if (!has_alpha_) return;
  PremultiplyPixels(image_);
  PremultiplyPixels(double_);
  premultiplied_ = true;
  scaled_ = QImage();
}

const QImage& QtImage::DoubleDensity() const {
  if (!double_loaded_) {
    double_loaded_ = true;
    QImage dense;
    if (!double_path_.isEmpty() && dense.load(double_path_) && dense.size() == 2 * image_.size()) {
      double_ = dense.convertToFormat(has_alpha_ ? QImage::Format_ARGB32 : QImage::Format_RGB32);
      // Qt reads a ratio from the name; the canvas places pixels itself.
      double_.setDevicePixelRatio(1.0);
      if (premultiplied_) PremultiplyPixels(double_);
    }
  }
  return double_;
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

bool QtImage::DrawScaled(QPainter& painter, int x, int y, double scale_x, double scale_y) const {
  if (scale_x == 1.0 && scale_y == 1.0) return Draw(painter, x, y);
  if (image_.isNull()) return false;
  const QSize size(Scaled(image_.width(), scale_x), Scaled(image_.height(), scale_y));
  if (size.isEmpty()) return true;
  // The nearest density that is not smaller, so that a picture is only ever scaled down.
  const bool above = scale_x > 1.0 || scale_y > 1.0;
  const QImage& source = above && !DoubleDensity().isNull() ? double_ : image_;
  const QImage* picture = &source;
  if (source.size() != size) {
    const bool dense = &source == &double_;
    if (scaled_.size() != size || scaled_dense_ != dense) {
      scaled_ = source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      scaled_dense_ = dense;
    }
    picture = &scaled_;
  }
  const QPoint at(Scaled(x, scale_x), Scaled(y, scale_y));
  const auto previous = painter.compositionMode();
  painter.setCompositionMode(has_alpha_ ? QPainter::CompositionMode_SourceOver
                                        : QPainter::CompositionMode_Source);
  painter.drawImage(at, *picture);
  painter.setCompositionMode(previous);
  return true;
}

QtBackBuffer QtBackBuffer::Create(int width, int height) {
  return CreateScaled(width, height, 1.0, 1.0);
}

QtBackBuffer QtBackBuffer::CreateScaled(int width, int height, double scale_x, double scale_y) {
  QtBackBuffer buffer;
  buffer.scale_x = scale_x;
  buffer.scale_y = scale_y;
  buffer.pixels = QImage(Scaled(width, scale_x), Scaled(height, scale_y), QImage::Format_RGB32);
  buffer.pixels.fill(0xff000000u);
  return buffer;
}

void PresentBackBuffer(QPainter& painter, const QtBackBuffer& buffer, QSize logical,
                       double device_ratio) {
  const QImage& pixels = buffer.pixels;
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  const QSize device(Scaled(logical.width(), device_ratio), Scaled(logical.height(), device_ratio));
  if (pixels.size() != device) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), logical), pixels);
    return;
  }
  if (device_ratio == 1.0) {
    painter.drawImage(QPoint(0, 0), pixels);
    return;
  }
  // The same pixels under another ratio; giving the buffer itself a ratio would copy all of
  // them, and would make the canvas's painter scale.
  QImage frame(const_cast<uchar*>(pixels.constBits()), pixels.width(), pixels.height(),
               pixels.bytesPerLine(), pixels.format());
  frame.setDevicePixelRatio(device_ratio);
  painter.drawImage(QPointF(0, 0), frame);
}

}  // namespace rq700
