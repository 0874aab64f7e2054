// The view painter over the real skin and the Qt canvas: the frame that reaches the screen
// shows the base picture, the highlight and the images in their places, at 1x as it always
// was and at 2x drawn at that resolution.

#include <gtest/gtest.h>

#include <QDir>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "catalog/text_styles.h"
#include "catalog/value_format.h"
#include "protocol/device_state.h"
#include "skin/image_paths.h"
#include "skin/qt_canvas.h"
#include "skin/qt_text.h"
#include "skin/view_painter.h"
#include "tests/skin/qt_test_app.h"

namespace rq700 {
namespace {

class ViewRenderTest : public ::testing::Test {
 protected:
  ViewRenderTest() : device_(std::make_unique<DeviceState>()), painter_(*device_, view_) {
    testing::EnsureGuiApp();
    ResetToDefaults(*device_);
    for (int i = 0; i < kChainLength; ++i) device_->chain_order[i].SetBoth(i + 1);
    const QDir dir(QString(RQ700_DIST_DIR) + "/ZORVA_RQ700/img");
    images_.resize(kEditorImageCount);
    for (int n = 0; n < kEditorImageCount; ++n) {
      images_[n].Load(dir.filePath(QString::fromStdString(EditorImagePath(n))));
      images_[n].Premultiply();
    }
    for (int i = 0; i < catalog::kTextStyleCount; ++i) styles_[i] = catalog::GetTextStyle(i);
  }

  QImage Render(double scale = 1.0) {
    QtBackBuffer buffer = QtBackBuffer::CreateScaled(1232, 779, scale, scale);
    {
      QtCanvas canvas(buffer, images_, styles_);
      painter_.Paint(canvas);
    }
    return buffer.pixels;
  }

  void NamePresets() {
    for (int i = 0; i < kPresetCount; ++i) {
      const uint8_t name[16] = {'T', 'O', 'N', 'E', ' ', uint8_t('A' + i % 26)};
      SetPresetName(*device_, i, name, sizeof name);
    }
  }

  std::unique_ptr<DeviceState> device_;
  ViewState view_;
  EditorViewPainter painter_;
  QtImageSet images_;
  std::array<catalog::TextStyle, catalog::kTextStyleCount> styles_{};
};

TEST_F(ViewRenderTest, MainViewShowsSkinHighlightAndSelectionFrame) {
  device_->current_preset.store(0);
  device_->selected_module.Set(1);
  const QImage frame = Render();
  // Every corner of the frame carries the skin, not the black of an empty buffer.
  EXPECT_NE(frame.pixelColor(3, 3), QColor(0, 0, 0));
  // The current preset's row band, right of its text and left of the thumb.
  EXPECT_EQ(frame.pixelColor(1195, 180), QColor(246, 174, 69));
  // The selection frame's orange on the left edge of chain slot 1.
  const QColor edge = frame.pixelColor(363, 518);
  EXPECT_GT(edge.red(), 200);
  EXPECT_GT(edge.red() - edge.blue(), 100);
}

TEST_F(ViewRenderTest, VolumeNumberIsWhiteOnItsDarkField) {
  device_->volume.Set(88);
  const QImage frame = Render();
  int white = 0, dark = 0;
  for (int y = 132; y < 156; ++y) {
    for (int x = 934; x < 972; ++x) {
      const QColor c = frame.pixelColor(x, y);
      if (c.lightness() > 200) ++white;
      if (c.lightness() < 70) ++dark;
    }
  }
  EXPECT_GT(white, 20);
  EXPECT_GT(dark, white);
}

// The frame as the canvas drew it before it knew of scales: every image at 1:1, rectangles
// and text on the buffer's own pixels. (The painters frame only with the white brush and
// the black pen.)
class UnscaledCanvas final : public Canvas {
 public:
  UnscaledCanvas(QImage& pixels, const QtImageSet& images,
                 std::span<const catalog::TextStyle> styles)
      : images_(images), styles_(styles), painter_(&pixels) {}
  void DrawImage(int n, int x, int y) override {
    if (n >= 0 && n < static_cast<int>(images_.size())) images_[n].Draw(painter_, x, y);
  }
  void FillRect(int l, int t, int r, int b, Rgb c) override {
    if (r <= l || b <= t) return;
    painter_.setCompositionMode(QPainter::CompositionMode_Source);
    painter_.fillRect(QRect(l, t, r - l, b - t), QColor(c.r, c.g, c.b));
  }
  void FrameRect(int l, int t, int r, int b, int) override {
    painter_.setCompositionMode(QPainter::CompositionMode_Source);
    painter_.fillRect(QRect(l, t, r - l, b - t), Qt::black);
    painter_.fillRect(QRect(l + 1, t + 1, r - l - 2, b - t - 2), Qt::white);
  }
  void DrawText(int style, int x, int y, std::string_view text) override {
    const catalog::TextStyle& s = styles_[style];
    DrawTextAt(painter_, s, s.weight, s.alignment, x, y, QString::fromUtf8(text));
  }
  void DrawNumber(int style, int x, int y, int value) override {
    Value(style, x, y, catalog::FormatPlain(value));
  }
  void DrawDbLevel(int style, int x, int y, int value) override {
    Value(style, x, y, catalog::FormatEqGainDb(value));
  }
  void DrawTenths(int style, int x, int y, int value, bool wide) override {
    Value(style, x, y, catalog::FormatTenths(value - (wide ? 200 : 120)));
  }

 private:
  void Value(int style, int x, int y, const std::string& text) {
    DrawTextAt(painter_, styles_[style], catalog::kValueNumberWeight, catalog::kAlignCenterTop, x,
               y, QString::fromStdString(text));
  }
  const QtImageSet& images_;
  std::span<const catalog::TextStyle> styles_;
  QPainter painter_;
};

TEST_F(ViewRenderTest, At1xTheFrameIsTheUnscaledOnePixelForPixel) {
  NamePresets();
  device_->current_preset.store(2);
  device_->selected_module.Set(3);
  view_.hover_item = 14;
  view_.hover_row = 4;
  // The main view, a page with sliders and value boxes, a list of filled rows.
  for (int active : {255, 6, 90}) {
    device_->active_item.Set(active);
    QImage before(1232, 779, QImage::Format_RGB32);
    before.fill(0xff000000u);
    {
      UnscaledCanvas canvas(before, images_, styles_);
      painter_.Paint(canvas);
    }
    EXPECT_TRUE(Render(1.0) == before) << "active item " << active;
  }
}

// How sharp the edges in a region are: the mean of the strongest 5 % of the brightness
// steps between neighbours in a row (0..255). Stretching spreads an edge over more pixels,
// so its steps are smaller.
double EdgeContrast(const QImage& image, const QRect& region) {
  std::vector<int> steps;
  for (int y = region.top(); y <= region.bottom(); ++y) {
    for (int x = region.left(); x < region.right(); ++x) {
      steps.push_back(std::abs(qGray(image.pixel(x + 1, y)) - qGray(image.pixel(x, y))));
    }
  }
  std::sort(steps.rbegin(), steps.rend());
  const size_t top = std::max<size_t>(1, steps.size() / 20);
  double sum = 0;
  for (size_t i = 0; i < top; ++i) sum += steps[i];
  return sum / static_cast<double>(top);
}

TEST_F(ViewRenderTest, At2xTextIsDrawnSharpAndRectanglesSitOnDevicePixels) {
  for (int n = 0; n < kEditorImageCount; ++n) ASSERT_TRUE(images_[n].HasDoubleDensity()) << n;
  NamePresets();
  device_->current_preset.store(0);
  const QImage sharp = Render(2.0);
  ASSERT_EQ(sharp.size(), QSize(2464, 1558));
  // Today's way to fill such a screen: the 1x frame stretched smoothly.
  const QImage stretched =
      Render(1.0).scaled(sharp.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  // The names of the preset list, rows 1 to 18 (no highlight band behind them).
  const QRect names(2 * 1010, 2 * 192, 2 * 150, 2 * 23 * 18);
  const double sharp_contrast = EdgeContrast(sharp, names);
  const double stretched_contrast = EdgeContrast(stretched, names);
  RecordProperty("edge_contrast_2x_and_stretched",
                 std::to_string(sharp_contrast) + " " + std::to_string(stretched_contrast));
  EXPECT_GT(sharp_contrast, 1.6 * stretched_contrast) << stretched_contrast;

  // The current preset's band covers x 1009..1214 of row 0: device pixels 2018..2429 and
  // not one more, where a stretched picture smears its edge.
  const QColor orange(246, 174, 69);
  EXPECT_EQ(sharp.pixelColor(2018, 2 * 180), orange);
  EXPECT_NE(sharp.pixelColor(2017, 2 * 180), orange);
  EXPECT_EQ(sharp.pixelColor(2 * 1195 + 1, 2 * 180 + 1), orange);
}

}  // namespace
}  // namespace rq700
