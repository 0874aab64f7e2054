#ifndef RQ700_SKIN_QT_IMAGE_H_
#define RQ700_SKIN_QT_IMAGE_H_

#include <QImage>
#include <QString>
#include <vector>

class QPainter;

namespace rq700 {

// One skin picture. Pictures with an alpha channel are kept as 32-bit pixels with
// straight alpha until Premultiply, then blended source-over; pictures without alpha
// (JPEG, opaque PNG) are copied. A picture that failed to load is empty and draws
// nothing.
//
// Beside the picture of a file "n.png" the skin may hold the same picture drawn at twice
// the resolution, "n@2x.png"; it serves every scale above 1x. It is decoded the first time
// it is drawn, so a window that never leaves 1x spends neither the time nor the memory
// (four times the 1x picture's).
class QtImage {
 public:
  // Decodes `path` and notes its 2x file when there is one of exactly twice the size. On
  // failure the image is left empty and false is returned.
  bool Load(const QString& path);
  // Each of red, green and blue becomes channel * alpha / 255, rounded down. Does
  // nothing to an opaque or empty image, and nothing the second time.
  void Premultiply();
  // The whole picture at 1:1 with its top-left corner at (x, y). False when empty.
  bool Draw(QPainter& painter, int x, int y) const;
  // The picture of base size w x h drawn at (x, y) of a base canvas that the painter's
  // device shows at `scale_x` x `scale_y` device pixels per base pixel: top-left at
  // (x * scale_x, y * scale_y) rounded, round(w * scale_x) x round(h * scale_y) device
  // pixels. Above 1x it is drawn from the 2x picture where there is one. At 1x exactly
  // this is Draw. A picture scaled to a size it lacks is scaled once and kept for the
  // frames that follow (window thread only).
  bool DrawScaled(QPainter& painter, int x, int y, double scale_x, double scale_y) const;

  bool IsEmpty() const { return image_.isNull(); }
  bool HasAlpha() const { return has_alpha_; }
  // Whether a 2x picture was found beside the file.
  bool HasDoubleDensity() const { return !double_path_.isEmpty(); }
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  const QImage& Pixels() const { return image_; }

 private:
  // The 2x picture, decoded (and premultiplied like the 1x one) on first use; null when
  // there is none or it does not decode.
  const QImage& DoubleDensity() const;

  QImage image_;
  bool has_alpha_ = false;
  bool premultiplied_ = false;
  QString double_path_;
  mutable QImage double_;
  mutable bool double_loaded_ = false;
  // The last size drawn that neither picture has, and which picture it was made from.
  mutable QImage scaled_;
  mutable bool scaled_dense_ = false;
};

// A program's pictures, indexed by image number.
using QtImageSet = std::vector<QtImage>;

// The back buffer every view is painted into, with the pen and brush that stay selected
// between frame-rectangle calls (a black pen and a white brush at first). The painters
// draw in base-canvas pixels; the buffer holds `scale_x` x `scale_y` device pixels for
// each of them, so that a window on a dense or enlarged screen gets a picture drawn at
// its own resolution instead of a stretched one.
struct QtBackBuffer {
  QImage pixels;
  int pen = 7;
  int brush = 0;
  double scale_x = 1.0;
  double scale_y = 1.0;

  // An opaque black buffer of width x height at 1x.
  static QtBackBuffer Create(int width, int height);
  // An opaque black buffer for a base canvas of width x height shown at scale_x x
  // scale_y: round(width * scale_x) x round(height * scale_y) pixels.
  static QtBackBuffer CreateScaled(int width, int height, double scale_x, double scale_y);
};

// Copies a back buffer onto a widget whose screen has `device_ratio` device pixels per
// widget pixel, top-left at (0, 0), covering `logical` widget pixels. A buffer drawn at
// that size on the device is copied pixel for pixel; any other is stretched smoothly.
void PresentBackBuffer(QPainter& painter, const QtBackBuffer& buffer, QSize logical,
                       double device_ratio);

}  // namespace rq700

#endif  // RQ700_SKIN_QT_IMAGE_H_
