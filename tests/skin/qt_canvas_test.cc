#include "skin/qt_canvas.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <array>
#include <optional>

#include "skin/qt_text.h"
#include "tests/skin/qt_test_app.h"

namespace rq700 {
namespace {

constexpr QRgb kBackground = 0xff336699u;  // a colour no style draws in

std::array<catalog::TextStyle, catalog::kTextStyleCount> EditorStyles() {
  std::array<catalog::TextStyle, catalog::kTextStyleCount> styles{};
  for (int i = 0; i < catalog::kTextStyleCount; ++i) styles[i] = catalog::GetTextStyle(i);
  return styles;
}
const auto kStyles = EditorStyles();

struct Ink {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
  int pixels = 0;
};

// Where the buffer differs from the background.
std::optional<Ink> FindInk(const QImage& image) {
  Ink ink;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == kBackground) continue;
      ++ink.pixels;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
    }
  }
  if (ink.pixels == 0) return std::nullopt;
  return ink;
}

class QtCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureGuiApp();
    buffer_ = QtBackBuffer::Create(300, 160);
    buffer_.pixels.fill(kBackground);
  }

  template <typename Painter>
  QImage Paint(Painter paint) {
    {
      QtCanvas canvas(buffer_, images_, kStyles);
      paint(canvas);
    }
    return buffer_.pixels;
  }

  QtBackBuffer buffer_;
  QtImageSet images_;
};

TEST_F(QtCanvasTest, FillCoversLeftTopButNotRightBottom) {
  const QImage out = Paint([](Canvas& c) { c.FillRect(10, 20, 13, 22, {136, 136, 136}); });
  const auto ink = FindInk(out);
  ASSERT_TRUE(ink);
  EXPECT_EQ(ink->left, 10);
  EXPECT_EQ(ink->top, 20);
  EXPECT_EQ(ink->right, 12);
  EXPECT_EQ(ink->bottom, 21);
  EXPECT_EQ(ink->pixels, 6);
  EXPECT_EQ(out.pixel(11, 21), qRgb(136, 136, 136));
  // Empty and inverted rectangles draw nothing.
  buffer_.pixels.fill(kBackground);
  EXPECT_FALSE(FindInk(Paint([](Canvas& c) {
    c.FillRect(5, 5, 5, 9, {1, 1, 1});
    c.FillRect(9, 9, 4, 4, {1, 1, 1});
  })));
}

TEST_F(QtCanvasTest, FrameUsesTheSelectedPenAndBrushWhichStaySelected) {
  // At first: black pen and white brush.
  QImage out = Paint([](Canvas& c) { c.FrameRect(10, 10, 20, 16, 7); });
  EXPECT_EQ(out.pixel(10, 10), qRgb(0, 0, 0));
  EXPECT_EQ(out.pixel(19, 15), qRgb(0, 0, 0));
  EXPECT_EQ(out.pixel(15, 12), qRgb(255, 255, 255));
  EXPECT_EQ(out.pixel(20, 16), kBackground) << "right and bottom edges are outside";

  // The null brush stays selected into the next call, which only picks a white pen.
  buffer_.pixels.fill(kBackground);
  out = Paint([](Canvas& c) {
    c.FrameRect(0, 0, 0, 0, 5);
    c.FrameRect(30, 30, 40, 40, 6);
  });
  EXPECT_EQ(out.pixel(30, 30), qRgb(255, 255, 255));
  EXPECT_EQ(out.pixel(39, 35), qRgb(255, 255, 255));
  EXPECT_EQ(out.pixel(35, 35), kBackground);

  // And it is still selected in the next frame.
  buffer_.pixels.fill(kBackground);
  out = Paint([](Canvas& c) { c.FrameRect(50, 50, 60, 60, 7); });
  EXPECT_EQ(out.pixel(50, 50), qRgb(0, 0, 0));
  EXPECT_EQ(out.pixel(55, 55), kBackground);
}

TEST_F(QtCanvasTest, UnknownImagesAndStylesDrawNothing) {
  images_.resize(3);  // none of them loaded
  const QImage out = Paint([](Canvas& c) {
    c.DrawImage(0, 0, 0);
    c.DrawImage(2, 5, 5);
    c.DrawImage(259, 5, 5);
    c.DrawImage(-1, 5, 5);
    c.DrawText(11, 50, 50, "X");
    c.DrawText(-1, 50, 50, "X");
    c.DrawNumber(99, 50, 50, 1);
  });
  EXPECT_FALSE(FindInk(out));
}

TEST_F(QtCanvasTest, TextColoursComeFromTheStyle) {
  const QImage white = Paint([](Canvas& c) { c.DrawText(5, 100, 40, "WHITE"); });
  const auto white_ink = FindInk(white);
  ASSERT_TRUE(white_ink);
  bool saw_white = false;
  for (int y = white_ink->top; y <= white_ink->bottom; ++y)
    for (int x = white_ink->left; x <= white_ink->right; ++x)
      saw_white |= white.pixel(x, y) == qRgb(255, 255, 255);
  EXPECT_TRUE(saw_white);

  buffer_.pixels.fill(kBackground);
  const QImage red = Paint([](Canvas& c) { c.DrawText(10, 20, 80, "RED HOT"); });
  const auto red_ink = FindInk(red);
  ASSERT_TRUE(red_ink);
  bool saw_red = false;
  for (int y = red_ink->top; y <= red_ink->bottom; ++y) {
    for (int x = red_ink->left; x <= red_ink->right; ++x) {
      const QRgb p = red.pixel(x, y);
      saw_red |= p == qRgb(238, 0, 0);
      // Anti-aliased edges mix red into the background, never green.
      if (p != kBackground) {
        EXPECT_LE(qGreen(p), qGreen(kBackground));
      }
    }
  }
  EXPECT_TRUE(saw_red);
}

TEST_F(QtCanvasTest, CentredTopAlignmentHangsTheTextBelowY) {
  const QImage out = Paint([](Canvas& c) { c.DrawText(1, 150, 40, "MMMM"); });
  const auto ink = FindInk(out);
  ASSERT_TRUE(ink);
  EXPECT_GE(ink->top, 40);
  EXPECT_LE(ink->top, 40 + 6);  // capitals start just below the internal leading
  EXPECT_LT(ink->bottom, 40 + 20);
  const int centre2 = ink->left + ink->right;
  EXPECT_NEAR(centre2, 300, 4) << ink->left << ".." << ink->right;
}

TEST_F(QtCanvasTest, LeftBottomAlignmentStandsTheCellOnY) {
  const QImage out = Paint([](Canvas& c) { c.DrawText(0, 30, 90, "Hg"); });
  const auto ink = FindInk(out);
  ASSERT_TRUE(ink);
  EXPECT_GE(ink->left, 30);
  EXPECT_LE(ink->left, 33);
  EXPECT_LT(ink->bottom, 90) << "the descender ends inside the cell";
  EXPECT_GE(ink->bottom, 90 - 3);
  EXPECT_GE(ink->top, 90 - 20) << "the cell is 20 pixels tall";
}

TEST_F(QtCanvasTest, FontsHaveTheRecordsCellHeightAndAverageWidth) {
  for (const catalog::TextStyle& record : kStyles) {
    const QFontMetricsF metrics(MakeQFont(record, record.weight));
    EXPECT_NEAR(metrics.ascent() + metrics.descent(), record.height, 1.0) << record.height;
    EXPECT_NEAR(metrics.averageCharWidth(), record.width, 1.0)
        << record.height << "/" << record.width;
  }
  // Heavier records make bolder fonts.
  const catalog::TextStyle base{20, 10, "Arial", {}, 6, 400};
  EXPECT_GT(MakeQFont(base, 800).weight(), MakeQFont(base, 400).weight());
}

TEST_F(QtCanvasTest, BoldFaceOnlyAbove550) {
  // Styles 0, 7 and 10 ask for 550: the regular face, as the font records mean it.
  for (int style : {0, 7, 10}) {
    const catalog::TextStyle& record = catalog::GetTextStyle(style);
    ASSERT_EQ(record.weight, 550);
    EXPECT_FALSE(QFontInfo(MakeQFont(record, record.weight)).bold()) << style;
  }
  const catalog::TextStyle& base = catalog::GetTextStyle(0);
  EXPECT_FALSE(QFontInfo(MakeQFont(base, 400)).bold());
  EXPECT_TRUE(QFontInfo(MakeQFont(base, 580)).bold());
  EXPECT_TRUE(QFontInfo(MakeQFont(base, 800)).bold());
}

TEST_F(QtCanvasTest, ValueTextsAreCentredAndBoldWhateverTheStyle) {
  // Style 2 is light and left/bottom aligned, but a number is bold and hangs centred
  // below y.
  QImage out = Paint([](Canvas& c) { c.DrawNumber(2, 150, 30, 888); });
  auto ink = FindInk(out);
  ASSERT_TRUE(ink);
  EXPECT_GE(ink->top, 30);
  EXPECT_NEAR(ink->left + ink->right, 300, 4);
  const int number_pixels = ink->pixels;

  // The same digits as plain text are lighter.
  buffer_.pixels.fill(kBackground);
  out = Paint([](Canvas& c) { c.DrawText(2, 100, 110, "888"); });
  ink = FindInk(out);
  ASSERT_TRUE(ink);
  EXPECT_LT(ink->pixels, number_pixels);

  // dB and tenths texts draw their formatted values: as wide as the plain texts.
  buffer_.pixels.fill(kBackground);
  const auto db = FindInk(Paint([](Canvas& c) { c.DrawDbLevel(1, 150, 30, 15); }));
  buffer_.pixels.fill(kBackground);
  const auto db_text = FindInk(Paint([](Canvas& c) { c.DrawText(1, 150, 30, "+3dB"); }));
  ASSERT_TRUE(db && db_text);
  EXPECT_EQ(db->left, db_text->left);
  EXPECT_EQ(db->right, db_text->right);
  buffer_.pixels.fill(kBackground);
  const auto tenths = FindInk(Paint([](Canvas& c) { c.DrawTenths(1, 150, 30, 115, false); }));
  buffer_.pixels.fill(kBackground);
  const auto tenths_text = FindInk(Paint([](Canvas& c) { c.DrawText(1, 150, 30, "-0.5"); }));
  ASSERT_TRUE(tenths && tenths_text);
  EXPECT_EQ(tenths->left, tenths_text->left);
  EXPECT_EQ(tenths->right, tenths_text->right);
}

// At a scale, rectangles run from edge to nearest device edge, so neighbours still meet,
// and text is set in a font of the scaled size.
TEST_F(QtCanvasTest, AtAScaleRectanglesAndTextTakeTheDevicePixels) {
  buffer_ = QtBackBuffer::CreateScaled(200, 100, 1.5, 1.5);
  ASSERT_EQ(buffer_.pixels.size(), QSize(300, 150));
  buffer_.pixels.fill(kBackground);
  const QImage out = Paint([](Canvas& c) {
    c.FillRect(10, 20, 13, 22, {136, 136, 136});
    c.FillRect(13, 20, 15, 22, {1, 2, 3});
  });
  // 10, 13, 15 -> 15, 19.5, 22.5 -> 15, 20, 23; 20, 22 -> 30, 33.
  const auto ink = FindInk(out);
  ASSERT_TRUE(ink);
  EXPECT_EQ(QRect(QPoint(ink->left, ink->top), QPoint(ink->right, ink->bottom)),
            QRect(15, 30, 8, 3));
  EXPECT_EQ(ink->pixels, 8 * 3);
  EXPECT_EQ(out.pixel(20, 31), qRgb(1, 2, 3));

  buffer_ = QtBackBuffer::Create(300, 160);
  buffer_.pixels.fill(kBackground);
  const auto one = FindInk(Paint([](Canvas& c) { c.DrawText(1, 75, 20, "MMMM"); }));
  buffer_ = QtBackBuffer::CreateScaled(150, 80, 2.0, 2.0);
  buffer_.pixels.fill(kBackground);
  const auto two = FindInk(Paint([](Canvas& c) { c.DrawText(1, 75, 20, "MMMM"); }));
  ASSERT_TRUE(one && two);
  EXPECT_NEAR(two->bottom - two->top, 2 * (one->bottom - one->top), 2);
  EXPECT_NEAR(two->right - two->left, 2 * (one->right - one->left), 3);
  EXPECT_NEAR(two->left + two->right, 300, 4);
}

}  // namespace
}  // namespace rq700
