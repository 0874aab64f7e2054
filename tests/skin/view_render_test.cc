// The view painter over the real skin and the Qt canvas: the frame that reaches the screen
// shows the base picture, the highlight and the images in their places.

#include <gtest/gtest.h>

#include <QDir>
#include <array>
#include <memory>

#include "catalog/text_styles.h"
#include "protocol/device_state.h"
#include "skin/image_paths.h"
#include "skin/qt_canvas.h"
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

  QImage Render() {
    QtBackBuffer buffer = QtBackBuffer::Create(1232, 779);
    {
      QtCanvas canvas(buffer, images_, styles_);
      painter_.Paint(canvas);
    }
    return buffer.pixels;
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

}  // namespace
}  // namespace rq700
