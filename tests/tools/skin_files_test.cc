// The skin the build draws: every file the editor's painter and the updater load must be
// there under its exact name, decode, have the size of the place it is drawn in, and carry
// a real picture rather than a flat fill.

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "catalog/panel_layout.h"
#include "skin/image_paths.h"
#include "skin/view_layout.h"

namespace {

namespace L = rq700::layout;

const std::string kEditorDir = std::string(RQ700_DIST_DIR) + "/ZORVA_RQ700/img/";
const std::string kUpdaterDir = std::string(RQ700_DIST_DIR) + "/img/";

QImage Load(const std::string& path) { return QImage(QString::fromStdString(path)); }
QImage Editor(int n) { return Load(kEditorDir + rq700::EditorImagePath(n)); }

// Distinct colours among visible pixels, sampled.
int VisibleColours(const QImage& img) {
  std::set<QRgb> colours;
  const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
  const int step = std::max(1, argb.width() * argb.height() / 20000);
  for (int i = 0; i < argb.width() * argb.height(); i += step) {
    const QRgb px = argb.pixel(i % argb.width(), i / argb.width());
    if (qAlpha(px) > 16) colours.insert(px);
  }
  return static_cast<int>(colours.size());
}

TEST(SkinFiles, EveryEditorImageExistsUnderItsExactName) {
  // A few names spelled out, so a change of the path table itself is caught too.
  for (const char* name : {"0.jpg",
                           "1.png",
                           "48.png",
                           "SYSTEM/49.png",
                           "CTRL TAB/54.png",
                           "CTRL TAB/63.png",
                           "64.png",
                           "EXP/65.png",
                           "68.png",
                           "EXP/77.png",
                           "EXP/FX/78.png",
                           "EXP/DS/103.png",
                           "EXP/AMP/104.png",
                           "EXP/CAB/119.png",
                           "EXP/NS/120.png",
                           "EXP/EQ/155.png",
                           "EXP/MOD/156.png",
                           "EXP/DELAY/191.png",
                           "EXP/REVERB/199.png",
                           "200.png",
                           "202.png",
                           "EffChain/FX/205.png",
                           "EffChain/DS/207.png",
                           "EffChain/AMP/208.png",
                           "EffChain/CAB/209.png",
                           "EffChain/NS/212.png",
                           "EffChain/EQ/216.png",
                           "EffChain/MOD/226.png",
                           "EffChain/DLY/229.png",
                           "EffChain/REV/230.png",
                           "231.png",
                           "232.png",
                           "250.png",
                           "EXP/251.png",
                           "EXP/252.png",
                           "253.png",
                           "258.png"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(kEditorDir + name)) << name;
  }
  for (int n = 0; n < rq700::kEditorImageCount; ++n) {
    const QImage img = Editor(n);
    ASSERT_FALSE(img.isNull()) << "image " << n << " " << rq700::EditorImagePath(n);
    EXPECT_GE(VisibleColours(img), 3) << "image " << n << " looks flat";
  }
}

TEST(SkinFiles, BackgroundIsAnOpaqueJpegOfTheBaseCanvas) {
  const QImage base = Editor(0);
  EXPECT_EQ(base.width(), L::kBaseWidth);
  EXPECT_EQ(base.height(), L::kBaseHeight);
  EXPECT_FALSE(base.hasAlphaChannel());
  EXPECT_GT(VisibleColours(base), 200);
}

TEST(SkinFiles, KeysFillTheirHitRectangles) {
  struct Use {
    int image, rect;
  };
  const Use uses[] = {{2, 1},    {3, 2},    {4, 3},    {5, 4},    {6, 1},    {9, 4},
                      {253, 0},  {11, 6},   {12, 7},   {13, 8},   {15, 6},   {17, 8},
                      {45, 6},   {47, 8},   {55, 22},  {63, 30},  {66, 34},  {67, 35},
                      {69, 47},  {77, 55},  {200, 75}, {202, 76}, {237, 81}, {238, 82},
                      {239, 83}, {251, 90}, {255, 96}, {258, 97}, {64, 33},  {64, 91}};
  for (const Use& u : uses) {
    const QImage img = Editor(u.image);
    const L::Rect& r = L::kHitRects[u.rect];
    EXPECT_EQ(img.width(), r.width()) << "image " << u.image;
    EXPECT_EQ(img.height(), r.height()) << "image " << u.image;
  }
}

TEST(SkinFiles, PagesCoverTheirPanels) {
  struct Use {
    int image, panel;
  };
  const Use uses[] = {{49, 0},  {54, 1},   {236, 1},  {65, 2},   {201, 5},
                      {53, 18}, {248, 19}, {249, 19}, {252, 21}, {254, 22}};
  for (const Use& u : uses) {
    const QImage img = Editor(u.image);
    const L::Rect& r = L::kPanels[u.panel];
    EXPECT_EQ(img.width(), r.width()) << "image " << u.image;
    EXPECT_EQ(img.height(), r.height()) << "image " << u.image;
  }
}

TEST(SkinFiles, ChainIconsAndFramesFitTheSlots) {
  for (int t = 1; t <= 9; ++t) {
    for (int image : {20 + t, 30 + t}) {
      const QImage img = Editor(image);
      const auto off = L::kChainIconOffset[t];
      EXPECT_LE(off.x + img.width(), L::kChainSlotWidth) << "icon " << image;
      EXPECT_LE(off.y + img.height(), L::kChainSlotHeight) << "icon " << image;
      // Centred: the same margin left and right.
      EXPECT_EQ(off.x, L::kChainSlotWidth - off.x - img.width()) << "icon " << image;
    }
  }
  for (int image : {42, 43}) {
    EXPECT_EQ(Editor(image).width(), L::kChainSlotWidth);
    EXPECT_EQ(Editor(image).height(), L::kChainSlotHeight);
  }
}

TEST(SkinFiles, IllustrationsStayInsideTheModulePanelAndReachEverySlider) {
  for (int type = 1; type <= 9; ++type) {
    for (int model = 1; model <= 20; ++model) {
      const L::Illustration at = L::IllustrationFor(type, model);
      if (at.image == 0) continue;
      const QImage img = Editor(at.image);
      ASSERT_FALSE(img.isNull());
      EXPECT_LE(at.x + img.width(), 854) << "image " << at.image;
      EXPECT_LE(at.y + img.height(), 443) << "image " << at.image;
      // Every slider of the model, with its value box, lies on the card.
      const rq700::catalog::PanelLayout layout = rq700::catalog::GetPanelLayout(type, model);
      for (int i = 0; i < layout.count; ++i) {
        if (layout.controls[i].slider == rq700::catalog::kNoPlace) continue;
        const L::Rect box = L::ValueBox(L::kSliderBars[layout.controls[i].slider]);
        EXPECT_LE(box.right, at.x + img.width()) << "image " << at.image << " model " << model;
        EXPECT_LE(box.bottom, at.y + img.height()) << "image " << at.image;
      }
    }
  }
}

TEST(SkinFiles, ExpChoicesMatchTheirRectangles) {
  for (int m = 1; m <= 9; ++m) {
    const auto& c = L::kExpChoices[m];
    for (int i = 0; i < c.count; ++i) {
      const L::Rect& r = L::ExpChoiceRect(i);
      for (int image : {c.base + i, c.chosen + i}) {
        const QImage img = Editor(image);
        EXPECT_EQ(img.width(), r.width()) << "image " << image;
        EXPECT_EQ(img.height(), r.height()) << "image " << image;
      }
      // Chosen and plain differ visibly.
      EXPECT_NE(Editor(c.base + i), Editor(c.chosen + i)) << "module " << m << " choice " << i;
    }
  }
}

TEST(SkinFiles, UpdaterImagesHaveTheirPlaces) {
  const QImage bg = Load(kUpdaterDir + "0.jpg");
  ASSERT_FALSE(bg.isNull());
  EXPECT_EQ(bg.size(), QSize(401, 201));
  EXPECT_GT(VisibleColours(bg), 100);
  for (int n = 1; n <= 3; ++n) {
    const QImage img = Load(kUpdaterDir + std::to_string(n) + ".png");
    ASSERT_FALSE(img.isNull()) << n;
    EXPECT_GE(VisibleColours(img), 3) << n;
  }
  // The button fills the update button's click area (160..241 x 153..179); the done
  // variant sits one pixel in and down and must stay inside it; the close highlight
  // covers 385..396 x 2..15.
  EXPECT_EQ(Load(kUpdaterDir + "1.png").size(), QSize(82, 27));
  const QImage done = Load(kUpdaterDir + "2.png");
  EXPECT_LE(161 + done.width() - 1, 241);
  EXPECT_LE(154 + done.height() - 1, 179);
  EXPECT_EQ(Load(kUpdaterDir + "3.png").size(), QSize(12, 14));
}

// Mean difference per channel (0..255) between a picture and its twin reduced to its size,
// premultiplied so that invisible pixels do not count.
double MeanDifference(const QImage& one, const QImage& two) {
  const auto format = QImage::Format_ARGB32_Premultiplied;
  const QImage a = one.convertToFormat(format);
  const QImage b = two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(format);
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      for (int shift : {0, 8, 16, 24})
        sum += std::abs(int(a.pixel(x, y) >> shift & 255) - int(b.pixel(x, y) >> shift & 255));
    }
  }
  return sum / (4.0 * a.width() * a.height());
}

// Every picture is drawn again at 2x for dense screens, "n@2x.png" beside "n.png": twice as
// wide and high, alpha alike, and the same picture. (The brushed metal's grain and the
// edges differ by under 5; a picture drawn unscaled or misplaced by far more.)
TEST(SkinFiles, EveryImageHasATwinAtTwiceTheResolution) {
  EXPECT_TRUE(std::filesystem::is_regular_file(kEditorDir + "CTRL TAB/54@2x.png"));
  std::vector<std::string> paths;
  for (int n = 0; n < rq700::kEditorImageCount; ++n)
    paths.push_back(kEditorDir + rq700::EditorImagePath(n));
  for (int n = 0; n < rq700::kUpdaterImageCount; ++n)
    paths.push_back(kUpdaterDir + rq700::UpdaterImagePath(n));
  for (const std::string& path : paths) {
    const QImage one = Load(path);
    const QImage two = Load(rq700::AtDensity(path, 2));
    ASSERT_EQ(two.size(), 2 * one.size()) << path;
    EXPECT_EQ(two.hasAlphaChannel(), one.hasAlphaChannel()) << path;
    EXPECT_LT(MeanDifference(one, two), 12) << path;
  }
}

TEST(SkinFiles, ProgramIconsExist) {
  for (const char* name : {"zorva-rq700.png", "zorva-studio.png"}) {
    const QImage img = Load(std::string(RQ700_DIST_DIR) + "/icons/" + name);
    ASSERT_FALSE(img.isNull()) << name;
    EXPECT_EQ(img.width(), img.height());
    EXPECT_GT(VisibleColours(img), 50);
  }
}

}  // namespace
