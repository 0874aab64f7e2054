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
class QtImage {
 public:
  // Decodes `path`. On failure the image is left empty and false is returned.
  bool Load(const QString& path);
  // Each of red, green and blue becomes channel * alpha / 255, rounded down. Does
  // nothing to an opaque or empty image, and nothing the second time.
  void Premultiply();
  // The whole picture at 1:1 with its top-left corner at (x, y). False when empty.
  bool Draw(QPainter& painter, int x, int y) const;

  bool IsEmpty() const { return image_.isNull(); }
  bool HasAlpha() const { return has_alpha_; }
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  const QImage& Pixels() const { return image_; }

 private:
  QImage image_;
  bool has_alpha_ = false;
};

// A program's pictures, indexed by image number.
using QtImageSet = std::vector<QtImage>;

// The back buffer every view is painted into, with the pen and brush that stay selected
// between frame-rectangle calls (a black pen and a white brush at first).
struct QtBackBuffer {
  QImage pixels;
  int pen = 7;
  int brush = 0;

  // An opaque black buffer of width x height.
  static QtBackBuffer Create(int width, int height);
};

}  // namespace rq700

#endif  // RQ700_SKIN_QT_IMAGE_H_
