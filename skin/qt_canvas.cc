#include "skin/qt_canvas.h"

#include <cmath>

#include "catalog/value_format.h"
#include "skin/qt_text.h"

namespace rq700 {
namespace {

// Stock objects by number: brushes 0..5, pens 6..8.
constexpr int kNullBrush = 5;
constexpr int kWhitePen = 6;
constexpr int kBlackPen = 7;
constexpr int kNullPen = 8;

QColor BrushColour(int brush) {
  switch (brush) {
    case 0:
      return QColor(255, 255, 255);
    case 1:
      return QColor(192, 192, 192);
    case 2:
      return QColor(128, 128, 128);
    case 3:
      return QColor(64, 64, 64);
    default:
      return QColor(0, 0, 0);
  }
}

}  // namespace

QtCanvas::QtCanvas(QtBackBuffer& buffer, const QtImageSet& images,
                   std::span<const catalog::TextStyle> styles)
    : buffer_(buffer), images_(images), styles_(styles), painter_(&buffer.pixels) {}

QRect QtCanvas::Device(int left, int top, int right, int bottom) const {
  // Each edge to its nearest device pixel edge: neighbouring rectangles stay neighbours.
  const int l = static_cast<int>(std::lround(left * buffer_.scale_x));
  const int t = static_cast<int>(std::lround(top * buffer_.scale_y));
  const int r = static_cast<int>(std::lround(right * buffer_.scale_x));
  const int b = static_cast<int>(std::lround(bottom * buffer_.scale_y));
  return QRect(l, t, r - l, b - t);
}

void QtCanvas::DrawImage(int image, int x, int y) {
  if (image < 0 || static_cast<size_t>(image) >= images_.size()) return;
  images_[image].DrawScaled(painter_, x, y, buffer_.scale_x, buffer_.scale_y);
}

void QtCanvas::FillRect(int left, int top, int right, int bottom, Rgb colour) {
  if (right <= left || bottom <= top) return;
  painter_.setCompositionMode(QPainter::CompositionMode_Source);
  painter_.fillRect(Device(left, top, right, bottom), QColor(colour.r, colour.g, colour.b));
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void QtCanvas::FrameRect(int left, int top, int right, int bottom, int stock_object) {
  // Selecting a pen or brush keeps it selected for later calls.
  if (stock_object >= 0 && stock_object <= kNullBrush) buffer_.brush = stock_object;
  if (stock_object >= kWhitePen && stock_object <= kNullPen) buffer_.pen = stock_object;
  if (right <= left || bottom <= top) return;

  painter_.setCompositionMode(QPainter::CompositionMode_Source);
  if (buffer_.pen == kNullPen) {
    // Without a pen the filled area is one pixel smaller to the right and bottom.
    if (buffer_.brush != kNullBrush && right - left > 1 && bottom - top > 1) {
      painter_.fillRect(Device(left, top, right - 1, bottom - 1), BrushColour(buffer_.brush));
    }
  } else {
    // The pen is one base pixel wide, so as many device pixels as that pixel covers.
    const QColor pen = buffer_.pen == kWhitePen ? QColor(255, 255, 255) : QColor(0, 0, 0);
    if (buffer_.brush != kNullBrush && right - left > 2 && bottom - top > 2) {
      painter_.fillRect(Device(left + 1, top + 1, right - 1, bottom - 1),
                        BrushColour(buffer_.brush));
    }
    painter_.fillRect(Device(left, top, right, top + 1), pen);
    painter_.fillRect(Device(left, bottom - 1, right, bottom), pen);
    painter_.fillRect(Device(left, top, left + 1, bottom), pen);
    painter_.fillRect(Device(right - 1, top, right, bottom), pen);
  }
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

const catalog::TextStyle* QtCanvas::Style(int style) const {
  if (style < 0 || static_cast<size_t>(style) >= styles_.size()) return nullptr;
  return &styles_[style];
}

void QtCanvas::DrawText(int style, int x, int y, std::string_view text) {
  const catalog::TextStyle* record = Style(style);
  if (record == nullptr) return;
  DrawTextAt(painter_, *record, record->weight, record->alignment, x, y,
             QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), buffer_.scale_x,
             buffer_.scale_y);
}

void QtCanvas::DrawValue(int style, int x, int y, const std::string& text) {
  const catalog::TextStyle* record = Style(style);
  if (record == nullptr) return;
  DrawTextAt(painter_, *record, catalog::kValueNumberWeight, catalog::kAlignCenterTop, x, y,
             QString::fromStdString(text), buffer_.scale_x, buffer_.scale_y);
}

void QtCanvas::DrawNumber(int style, int x, int y, int value) {
  DrawValue(style, x, y, catalog::FormatPlain(value));
}

void QtCanvas::DrawDbLevel(int style, int x, int y, int value) {
  DrawValue(style, x, y, catalog::FormatEqGainDb(value));
}

void QtCanvas::DrawTenths(int style, int x, int y, int value, bool wide_range) {
  DrawValue(style, x, y, catalog::FormatTenths(value - (wide_range ? 200 : 120)));
}

}  // namespace rq700
