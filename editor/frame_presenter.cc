#include "editor/frame_presenter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace rq700 {
namespace {

// Smooth scaling reads a pixel's neighbours: a change reaches this far into the scaled
// frame, in back-buffer pixels.
constexpr int kFilterReach = 2;

// Scaling under a clip costs more per pixel than scaling the whole frame in one go: from
// this share of the frame on, the whole is rescaled.
constexpr double kWholeRescaleShare = 0.35;

int64_t Area(const QRegion& region) {
  int64_t area = 0;
  for (const QRect& r : region) area += static_cast<int64_t>(r.width()) * r.height();
  return area;
}

}  // namespace

QRegion ChangedArea(const QImage& before, const QImage& now) {
  QRegion changed;
  const int width = now.width();
  const size_t row_bytes = static_cast<size_t>(width) * 4;
  const auto differs = [&](int y) {
    return std::memcmp(before.constScanLine(y), now.constScanLine(y), row_bytes) != 0;
  };
  for (int y = 0; y < now.height();) {
    if (!differs(y)) {
      ++y;
      continue;
    }
    const int top = y;
    int left = width;
    int right = -1;
    for (; y < now.height() && differs(y); ++y) {
      const auto* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
      const auto* b = reinterpret_cast<const QRgb*>(now.constScanLine(y));
      int l = 0;
      while (a[l] == b[l]) ++l;
      int r = width - 1;
      while (a[r] == b[r]) --r;
      left = std::min(left, l);
      right = std::max(right, r);
    }
    changed += QRect(left, top, right - left + 1, y - top);
  }
  return changed;
}

QRegion FramePresenter::Take(const QImage& back_buffer, QSize size) {
  const QRect whole(QPoint(0, 0), size);
  if (size.isEmpty()) return {};
  if (size == back_buffer.size()) {
    previous_ = QImage();
    scaled_ = QImage();
    return whole;
  }
  QRegion stale;
  if (scaled_.size() != size || previous_.size() != back_buffer.size() ||
      previous_.format() != back_buffer.format()) {
    scaled_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    stale = whole;
  } else {
    const double sx = static_cast<double>(size.width()) / back_buffer.width();
    const double sy = static_cast<double>(size.height()) / back_buffer.height();
    for (const QRect& r : ChangedArea(previous_, back_buffer)) {
      const QRect reach = r.adjusted(-kFilterReach, -kFilterReach, kFilterReach, kFilterReach);
      const int left = static_cast<int>(std::floor(reach.left() * sx));
      const int top = static_cast<int>(std::floor(reach.top() * sy));
      const int right = static_cast<int>(std::ceil((reach.right() + 1) * sx));
      const int bottom = static_cast<int>(std::ceil((reach.bottom() + 1) * sy));
      stale += QRect(left, top, right - left, bottom - top) & whole;
    }
  }
  // Kept without a copy: the next frame's painting copies it as it starts.
  previous_ = back_buffer;
  if (stale.isEmpty()) return stale;
  if (Area(stale) >= kWholeRescaleShare * size.width() * size.height()) stale = whole;
  QPainter painter(&scaled_);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  if (stale == QRegion(whole)) {
    painter.drawImage(whole, back_buffer);
    return stale;
  }
  // Each part drawn under its own clip: the picture a whole rescale gives, give or take a
  // level of rounding.
  for (const QRect& part : stale) {
    painter.setClipRect(part);
    painter.drawImage(whole, back_buffer);
  }
  return stale;
}

}  // namespace rq700
