#ifndef RQ700_EDITOR_FRAME_PRESENTER_H_
#define RQ700_EDITOR_FRAME_PRESENTER_H_

#include <QImage>
#include <QRegion>
#include <QSize>

namespace rq700 {

// What the window shows of the back buffer. At the base size that is the back buffer
// itself; at any other size a smoothly scaled copy, kept between frames and rescaled only
// where the back buffer changed since the last frame.
class FramePresenter {
 public:
  // Takes a newly painted back buffer for a window area of `size`; returns the part of
  // that area that now shows something else.
  QRegion Take(const QImage& back_buffer, QSize size);

  // What to copy onto the window, pixel for pixel: the scaled frame, or the back buffer.
  const QImage& Frame(const QImage& back_buffer) const {
    return scaled_.isNull() ? back_buffer : scaled_;
  }

 private:
  QImage previous_;  // the back buffer last taken, while scaling
  QImage scaled_;    // null at the base size
};

// Where `now` differs from `before` (two images of one size and format): one rectangle
// per band of changed rows, from the leftmost to the rightmost changed pixel in it.
QRegion ChangedArea(const QImage& before, const QImage& now);

}  // namespace rq700

#endif  // RQ700_EDITOR_FRAME_PRESENTER_H_
