#ifndef RQ700_SKIN_QT_CANVAS_H_
#define RQ700_SKIN_QT_CANVAS_H_

#include <QPainter>
#include <span>

#include "catalog/text_styles.h"
#include "skin/canvas.h"
#include "skin/qt_image.h"

namespace rq700 {

// The canvas over a back buffer, for one frame: it paints from construction until it is
// destroyed. Images come from `images` by number; text styles from `styles` by number.
// Unknown image numbers and text styles draw nothing. Calls take base-canvas pixels; the
// buffer's scale places them on its device pixels: rectangles edge to nearest edge, images
// from their nearest density, text in a font of the scaled size.
class QtCanvas final : public Canvas {
 public:
  QtCanvas(QtBackBuffer& buffer, const QtImageSet& images,
           std::span<const catalog::TextStyle> styles);
  QtCanvas(const QtCanvas&) = delete;
  QtCanvas& operator=(const QtCanvas&) = delete;

  void DrawImage(int image, int x, int y) override;
  void FillRect(int left, int top, int right, int bottom, Rgb colour) override;
  void FrameRect(int left, int top, int right, int bottom, int stock_object) override;
  void DrawText(int style, int x, int y, std::string_view text) override;
  void DrawNumber(int style, int x, int y, int value) override;
  void DrawDbLevel(int style, int x, int y, int value) override;
  void DrawTenths(int style, int x, int y, int value, bool wide_range) override;

 private:
  const catalog::TextStyle* Style(int style) const;
  QRect Device(int left, int top, int right, int bottom) const;
  void DrawValue(int style, int x, int y, const std::string& text);

  QtBackBuffer& buffer_;
  const QtImageSet& images_;
  std::span<const catalog::TextStyle> styles_;
  QPainter painter_;
};

}  // namespace rq700

#endif  // RQ700_SKIN_QT_CANVAS_H_
