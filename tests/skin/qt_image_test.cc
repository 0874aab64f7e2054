#include "skin/qt_image.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "skin/qt_canvas.h"
#include "tests/skin/qt_test_app.h"

namespace rq700 {
namespace {

class QtImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureGuiApp();
    ASSERT_TRUE(dir_.isValid());
  }

  // Writes a one-pixel-per-entry PNG with straight alpha.
  QString WritePng(const QString& name, std::initializer_list<QRgb> pixels) {
    QImage image(static_cast<int>(pixels.size()), 1, QImage::Format_ARGB32);
    int x = 0;
    for (QRgb p : pixels) image.setPixel(x++, 0, p);
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(image.save(path, "PNG"));
    return path;
  }

  // A 4x4 back buffer filled with `colour`, with the image drawn at (1, 1).
  QImage DrawOnto(const QtImage& image, QRgb colour) {
    QtBackBuffer buffer = QtBackBuffer::Create(4, 4);
    buffer.pixels.fill(colour);
    QtImageSet set;
    set.push_back(image);
    {
      QtCanvas canvas(buffer, set, {});
      canvas.DrawImage(0, 1, 1);
    }
    return buffer.pixels;
  }

  QTemporaryDir dir_;
};

TEST_F(QtImageTest, PremultiplyRoundsDown) {
  QtImage image;
  ASSERT_TRUE(image.Load(WritePng("p.png", {qRgba(50, 100, 200, 128), qRgba(1, 1, 1, 128),
                                            qRgba(255, 254, 3, 255), qRgba(9, 9, 9, 0)})));
  ASSERT_TRUE(image.HasAlpha());
  image.Premultiply();
  const QImage& px = image.Pixels();
  ASSERT_EQ(px.format(), QImage::Format_ARGB32_Premultiplied);
  const auto* row = reinterpret_cast<const uint32_t*>(px.constScanLine(0));
  // (blue, green, red, alpha) = (200, 100, 50, 128) becomes (100, 50, 25, 128).
  EXPECT_EQ(row[0], 0x80193264u);
  // 1 * 128 / 255 is 0.5: rounded down, where Qt's own conversion would give 1.
  EXPECT_EQ(row[1], 0x80000000u);
  EXPECT_EQ(row[2], 0xfffffe03u);
  EXPECT_EQ(row[3], 0x00000000u);

  // A second call must not darken the picture again.
  image.Premultiply();
  EXPECT_EQ(reinterpret_cast<const uint32_t*>(image.Pixels().constScanLine(0))[0], 0x80193264u);
}

TEST_F(QtImageTest, AlphaPicturesBlendSourceOver) {
  QtImage image;
  ASSERT_TRUE(image.Load(
      WritePng("b.png", {qRgba(255, 0, 0, 0), qRgba(10, 20, 30, 255), qRgba(0, 0, 255, 128)})));
  image.Premultiply();
  const QRgb grey = qRgb(100, 100, 100);
  const QImage out = DrawOnto(image, grey);
  EXPECT_EQ(out.pixel(1, 1), grey) << "alpha 0 draws nothing";
  EXPECT_EQ(out.pixel(2, 1), qRgb(10, 20, 30)) << "alpha 255 is copied unchanged";
  const QRgb half = out.pixel(3, 1);
  EXPECT_NEAR(qBlue(half), 128 + 100 * 127 / 255, 1);
  EXPECT_NEAR(qRed(half), 100 * 127 / 255, 1);
  EXPECT_EQ(out.pixel(0, 0), grey);
  EXPECT_EQ(out.pixel(1, 2), grey);
}

TEST_F(QtImageTest, JpegIsCopiedOpaque) {
  QImage source(2, 2, QImage::Format_RGB32);
  source.fill(qRgb(255, 255, 255));
  const QString path = dir_.filePath("o.jpg");
  ASSERT_TRUE(source.save(path, "JPEG", 100));
  QtImage image;
  ASSERT_TRUE(image.Load(path));
  EXPECT_FALSE(image.HasAlpha());
  image.Premultiply();  // nothing to do for an opaque picture
  const QImage out = DrawOnto(image, qRgb(0, 0, 0));
  for (int y = 1; y <= 2; ++y) {
    for (int x = 1; x <= 2; ++x) {
      EXPECT_GE(qRed(out.pixel(x, y)), 250);
      EXPECT_EQ(qAlpha(out.pixel(x, y)), 255);
    }
  }
  EXPECT_EQ(out.pixel(3, 3), qRgb(0, 0, 0));
}

TEST_F(QtImageTest, OpaquePngIsCopiedAndNotPremultiplied) {
  QImage source(1, 1, QImage::Format_RGB32);
  source.setPixel(0, 0, qRgb(7, 8, 9));
  const QString path = dir_.filePath("rgb.png");
  ASSERT_TRUE(source.save(path, "PNG"));
  QtImage image;
  ASSERT_TRUE(image.Load(path));
  EXPECT_FALSE(image.HasAlpha());
  image.Premultiply();
  EXPECT_EQ(DrawOnto(image, qRgb(200, 200, 200)).pixel(1, 1), qRgb(7, 8, 9));
}

TEST_F(QtImageTest, MissingOrBrokenFileIsEmptyAndDrawsNothing) {
  QtImage missing;
  EXPECT_FALSE(missing.Load(dir_.filePath("none.png")));
  EXPECT_TRUE(missing.IsEmpty());
  missing.Premultiply();

  QFile broken(dir_.filePath("broken.png"));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("\x89PNG\r\n\x1a\n garbage");
  broken.close();
  QtImage bad;
  EXPECT_FALSE(bad.Load(broken.fileName()));
  EXPECT_TRUE(bad.IsEmpty());

  // A loaded picture that is then reloaded from a missing file becomes empty too.
  QtImage reloaded;
  ASSERT_TRUE(reloaded.Load(WritePng("r.png", {qRgba(1, 2, 3, 255)})));
  EXPECT_FALSE(reloaded.Load(dir_.filePath("gone.png")));
  EXPECT_TRUE(reloaded.IsEmpty());

  const QRgb colour = qRgb(12, 34, 56);
  for (const QtImage* image : {&missing, &bad, &reloaded}) {
    const QImage out = DrawOnto(*image, colour);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) ASSERT_EQ(out.pixel(x, y), colour);
  }
}

// Above 1x the "@2x" twin is drawn, scaled down below 2x; at 1x and below the picture
// itself. Without a twin of exactly twice the size the picture is scaled up.
TEST_F(QtImageTest, PicksTheNearestDensityAndScalesItToTheDevicePixels) {
  const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), grey = qRgb(100, 100, 100);
  QImage twin(4, 2, QImage::Format_ARGB32);
  twin.fill(blue);
  ASSERT_TRUE(twin.save(dir_.filePath("p@2x.png")));
  ASSERT_TRUE(twin.copy(0, 0, 3, 2).save(dir_.filePath("w@2x.png")));
  QtImage paired, single, wrong;
  ASSERT_TRUE(paired.Load(WritePng("p.png", {red, red})));
  ASSERT_TRUE(single.Load(WritePng("s.png", {red, red})));
  ASSERT_TRUE(wrong.Load(WritePng("w.png", {red, red})));
  paired.Premultiply();
  struct Case {
    const QtImage* image;
    double scale;
    QRect covers;  // device pixels of the picture drawn at base (1, 1)
    QRgb colour;
  } cases[] = {{&paired, 1.0, QRect(1, 1, 2, 1), red},  {&paired, 2.0, QRect(2, 2, 4, 2), blue},
               {&paired, 1.5, QRect(2, 2, 3, 2), blue}, {&paired, 0.5, QRect(1, 1, 1, 1), red},
               {&single, 2.0, QRect(2, 2, 4, 2), red},  {&wrong, 2.0, QRect(2, 2, 4, 2), red}};
  for (const Case& c : cases) {
    QtBackBuffer buffer = QtBackBuffer::CreateScaled(5, 5, c.scale, c.scale);
    buffer.pixels.fill(grey);
    QtImageSet set{*c.image};
    {
      QtCanvas canvas(buffer, set, {});
      canvas.DrawImage(0, 1, 1);
      canvas.DrawImage(0, 1, 1);  // the scaled picture kept from the first draw
    }
    for (int y = 0; y < buffer.pixels.height(); ++y) {
      for (int x = 0; x < buffer.pixels.width(); ++x) {
        ASSERT_EQ(buffer.pixels.pixel(x, y), c.covers.contains(x, y) ? c.colour : grey)
            << c.scale << " at " << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace rq700
